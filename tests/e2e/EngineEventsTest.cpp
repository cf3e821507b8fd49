// The engine pane's events, in the order and with the values the program's handlers rely on.
#include <gtest/gtest.h>
#include <QTcpServer>
#include <QWebEnginePage>

#include "browse/engine/WebEnginePane.h"
#include "e2e/E2eSupport.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;

QString Url(const char* path) {
    return SharedSites().Url(QLatin1String(path));
}

// One pane for the event-order cases: loads follow one another as in a real pane.
class EngineEvents : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pane = new WebEnginePane(QStringLiteral("events"));
        s_pane->Widget()->resize(800, 600);
        s_pane->Widget()->show();
    }
    static void TearDownTestSuite() { delete s_pane; }
    void SetUp() override { log = std::make_unique<EventLog>(s_pane); }

    static WebEnginePane* s_pane;
    std::unique_ptr<EventLog> log;
};

WebEnginePane* EngineEvents::s_pane = nullptr;

TEST_F(EngineEvents, EachKindOfLoadRaisesItsEventsInOrderAndEndsInItsState) {
    QTcpServer closed; // a port on 127.0.0.1 that refuses connections
    closed.listen(QHostAddress::LocalHost);
    const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
    closed.close();
    const struct {
        QString url, at;
        long error;
        const char* title;
    } cases[] = {
        {Url("/plain"), {}, 0, "Plain Page"},
        {Url("/redirect"), Url("/plain"), 0, "Plain Page"},
        {Url("/frames"), {}, 0, "Frames"},
        {QStringLiteral("http://no-such-host.invalid/"), {}, PaneError::CannotConnect, nullptr},
        {refused, {}, PaneError::CannotConnect, nullptr},
        {Url("/missing"), {}, 404, "Not Found"},
        {Url("/broken"), {}, 500, "Server Error"},
        {Url("/plain"), {}, 0, "Plain Page"}, // a good load clears the error state
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url.toStdString());
        DocumentPtr seen;
        int stateAtComplete = -1;
        log->onTopDocumentComplete = [&](const QString&) {
            seen = s_pane->Document(); // a synchronous read inside the handler
            stateAtComplete = s_pane->ReadyState();
        };
        ASSERT_TRUE(LoadAndWait(*s_pane, *log, c.url));
        const QString at = c.at.isEmpty() ? c.url : c.at;
        EXPECT_EQ(log->TopLevel(), LoadEvents(c.url, at, c.error));
        ASSERT_TRUE(seen);
        EXPECT_EQ(seen->URL(), at);
        if (c.title) {
            EXPECT_EQ(seen->title(), QLatin1String(c.title));
        }
        EXPECT_EQ(stateAtComplete, PaneReadyState::Complete);
        EXPECT_EQ(s_pane->LocationURL(), at);
        EXPECT_EQ(s_pane->IsErrorPage(), c.error != 0);
        EXPECT_FALSE(s_pane->Busy());
    }
    log->onTopDocumentComplete = nullptr;
    EXPECT_TRUE(log->other.contains("TitleChange Plain Page"));
    EXPECT_TRUE(log->other.contains("SetSecureLockIcon 0"));

    // Each frame is reported between the page's commit and its DocumentComplete.
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, Url("/frames")));
    const QStringList& e = log->events;
    for (const QString& frame : {Url("/frame-left"), SharedSites().OtherUrl("/frame-right")}) {
        const qsizetype before = e.indexOf("BeforeNavigate2 frame " + frame);
        const qsizetype committed = e.indexOf("NavigateComplete2 frame " + frame);
        const qsizetype complete = e.indexOf("DocumentComplete frame " + frame);
        ASSERT_GE(before, 0) << frame.toStdString();
        EXPECT_GT(committed, before);
        EXPECT_GT(complete, committed);
        EXPECT_GT(committed, e.indexOf("NavigateComplete2 top " + Url("/frames")));
        EXPECT_LT(complete, e.indexOf("DocumentComplete top " + Url("/frames")));
    }
}

TEST_F(EngineEvents, CancelledNavigationRaisesNothingMoreAndHistoryMoves) {
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, Url("/plain")));
    log->Clear();
    log->onBeforeNavigate = [&](NavigateEvent& e) { e.cancel = e.url == Url("/welcome"); };
    s_pane->Navigate2(Url("/welcome"));
    ASSERT_TRUE(log->WaitFor("BeforeNavigate2"));
    Pump(700);
    EXPECT_EQ(log->events, QStringList{"BeforeNavigate2 top " + Url("/welcome")});
    EXPECT_EQ(s_pane->LocationURL(), Url("/plain"));
    EXPECT_FALSE(s_pane->Busy());
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, Url("/echo")));
    EXPECT_TRUE(s_pane->CanGoBack());
    log->Clear();
    s_pane->GoBack();
    ASSERT_TRUE(log->WaitFor("DocumentComplete top"));
    EXPECT_EQ(s_pane->LocationURL(), Url("/plain"));
    EXPECT_TRUE(s_pane->CanGoForward());
    EXPECT_TRUE(log->other.contains(QStringLiteral("CommandStateChange %1 1").arg(PaneCommand::Forward)));
}

TEST_F(EngineEvents, ScriptErrorsAreThePagesOrTheFramesAndPdfIsNoHtml) {
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, Url("/script-error")));
    ASSERT_TRUE(log->WaitFor("ScriptError"));
    EXPECT_TRUE(log->events.filter("ScriptError").first().startsWith("ScriptError 5 "));
    EXPECT_TRUE(log->events.filter("ScriptError").first().contains("noSuchFunction"));
    // Errors inside frames (of this site or another) are the frames' own, not the page's.
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, Url("/framed-errors")));
    ASSERT_TRUE(log->WaitFor("DocumentComplete frame", 2));
    Pump(300);
    EXPECT_EQ(log->Count("ScriptError"), 0) << log->events.join("\n").toStdString();
    EXPECT_EQ(log->other.filter("FrameScriptError 5 ").size(), 2) << log->other.join("\n").toStdString();

    ASSERT_TRUE(LoadAndWait(*s_pane, *log, Url("/doc.pdf")));
    EXPECT_FALSE(s_pane->IsHtmlDocument());
    EXPECT_EQ(s_pane->DocumentTypeName(), "Document");
    ASSERT_TRUE(s_pane->Document());
    EXPECT_EQ(s_pane->Document()->typeName(), "PDFDocument");
    EXPECT_FALSE(s_pane->IsErrorPage());
}

TEST(EnginePaneLifecycle, ANeverNavigatedPaneAnswersBlankWithoutAnEnginePageAndShowsMarkupSilently) {
    WebEnginePane pane(QStringLiteral("lazy"));
    EventLog log(&pane);
    EXPECT_FALSE(pane.HasEnginePage());
    EXPECT_EQ(pane.ReadyState(), PaneReadyState::Uninitialized);
    EXPECT_FALSE(pane.Document());
    const QString blank = QStringLiteral("about:blank");
    pane.Navigate2(blank);
    EXPECT_TRUE(log.events.isEmpty()); // raised after Navigate2 returns
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    EXPECT_EQ(log.events, LoadEvents(blank));
    EXPECT_FALSE(pane.HasEnginePage());
    EXPECT_EQ(pane.LocationURL(), blank);
    EXPECT_EQ(pane.ReadyState(), PaneReadyState::Complete);
    ASSERT_TRUE(pane.Document());
    EXPECT_TRUE(pane.Document()->forms().isEmpty());

    // A cancelled blank navigation changes nothing.
    WebEnginePane other(QStringLiteral("lazy"));
    EventLog otherLog(&other);
    otherLog.onBeforeNavigate = [](NavigateEvent& e) { e.cancel = true; };
    other.Navigate2(blank);
    Pump(200);
    EXPECT_EQ(otherLog.events, QStringList{"BeforeNavigate2 top " + blank});
    EXPECT_EQ(other.LocationURL(), "");

    // Body markup shows without events, and again in place. It is asked for in a way that raises
    // no script error before the page has a body.
    const QString body = QStringLiteral("document.body ? document.body.innerHTML : ''");
    for (const QString& markup :
         {QStringLiteral("<p id=\"w\">Please wait...</p>"), QStringLiteral("<p>Signing In</p>")}) {
        other.SetBodyHtml(markup);
        ASSERT_TRUE(WaitFor([&] {
            Pump(100);
            return RunScript(other, body) == markup;
        }));
    }
    EXPECT_EQ(otherLog.events.size(), 1) << otherLog.events.join("\n").toStdString();
    EXPECT_EQ(other.LocationURL(), blank);

    // The first real navigation makes the engine page; "about:blank" then goes through it and
    // still raises the whole sequence (the engine does not ask before loading it).
    ASSERT_TRUE(LoadAndWait(pane, log, Url("/plain")));
    EXPECT_TRUE(pane.HasEnginePage());
    ASSERT_TRUE(LoadAndWait(pane, log, blank));
    EXPECT_EQ(log.TopLevel(), LoadEvents(blank));
    EXPECT_TRUE(pane.CanGoBack());
}

TEST(EnginePaneLifecycle, AnIdlePageIsFrozenLetGoAndComesBackWhereItWasInOneLoad) {
    WebEnginePane pane(QStringLiteral("idle"));
    EventLog log(&pane);
    ASSERT_TRUE(LoadAndWait(pane, log, Url("/plain")));
    ASSERT_TRUE(LoadAndWait(pane, log, Url("/login")));
    const auto keepAwake = [&] {
        int answer = -1;
        pane.AskKeepAwake([&](bool keep) { answer = keep; });
        WaitFor([&] { return answer >= 0; });
        return answer == 1;
    };
    EXPECT_FALSE(keepAwake());
    const QString field = QStringLiteral("document.querySelector('input[type=text]')");
    RunScript(pane, field + QStringLiteral(".value = 'typed'"));
    EXPECT_TRUE(keepAwake()) << "input not sent";
    RunScript(pane, field + QStringLiteral(".value = ") + field + QStringLiteral(".defaultValue"));
    EXPECT_FALSE(keepAwake());

    // A long page, scrolled down: it comes back where it was.
    const QString page = Url("/generated?n=1000");
    ASSERT_TRUE(LoadAndWait(pane, log, page));
    pane.Widget()->resize(600, 400);
    pane.Widget()->show();
    RunScript(pane, QStringLiteral("window.scrollTo(0, 500)"));
    ASSERT_TRUE(WaitFor([&] { return pane.Page()->scrollPosition().y() >= 499; }));
    pane.Widget()->hide();
    const QString title = pane.LocationName();
    pane.SetIdle(PaneIdle::Frozen);
    ASSERT_TRUE(WaitFor([&] { return pane.Idle() == PaneIdle::Frozen; }));
    pane.SetIdle(PaneIdle::Discarded);
    ASSERT_TRUE(WaitFor([&] { return pane.Idle() == PaneIdle::Discarded; }));
    // Let go altogether: no engine page, no renderer; what the pane says of its page holds.
    EXPECT_FALSE(pane.HasEnginePage());
    EXPECT_EQ(pane.LocationURL() + pane.LocationName(), page + title);
    EXPECT_EQ(pane.ReadyState(), PaneReadyState::Complete);
    EXPECT_TRUE(pane.CanGoBack());
    log.Clear();
    // As the window does: woken, then shown.
    pane.SetIdle(PaneIdle::Active);
    pane.Widget()->show();
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    Pump(300);
    EXPECT_EQ(log.Count("DocumentComplete top"), 1) << log.events.join("\n").toStdString();
    EXPECT_EQ(pane.LocationURL(), page);
    EXPECT_TRUE(WaitFor([&] { return pane.Page()->scrollPosition().y() >= 499; }));
    pane.Widget()->hide();
    // Its history came back with it.
    pane.GoBack();
    ASSERT_TRUE(WaitFor([&] { return pane.LocationURL() == Url("/login") && !pane.Busy(); }));
    EXPECT_TRUE(pane.CanGoBack());
}

} // namespace
