#include <gtest/gtest.h>
#include <QTcpServer>
#include <QWebEnginePage>

#include "browse/engine/WebEnginePane.h"
#include "e2e/E2eSupport.h"
#include "sites/TestSites.h"
#include "support/TestSupport.h"

namespace {

using sites::SharedSites;

// One pane for the event-order cases: loads follow one another as in a real pane.
class EngineEvents : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pane = new WebEnginePane(QStringLiteral("events"));
        s_pane->widget()->resize(800, 600);
        s_pane->widget()->show();
    }
    static void TearDownTestSuite() {
        delete s_pane;
        s_pane = nullptr;
    }
    void SetUp() override { log = std::make_unique<EventLog>(s_pane); }

    static WebEnginePane* s_pane;
    std::unique_ptr<EventLog> log;
};

WebEnginePane* EngineEvents::s_pane = nullptr;

// A port on 127.0.0.1 that refuses connections.
int ClosedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const int port = server.serverPort();
    server.close();
    return port;
}

TEST_F(EngineEvents, PlainLoadRaisesTheEventsInOrderAndSnapshotsBeforeDocumentComplete) {
    const QString url = SharedSites().Url(QStringLiteral("/plain"));
    DocumentPtr seen;
    int stateAtComplete = -1;
    log->onTopDocumentComplete = [&](const QString&) {
        seen = s_pane->Document(); // synchronous read inside the handler
        stateAtComplete = s_pane->ReadyState();
    };
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, url));
    EXPECT_EQ(log->TopLevel(),
              (QStringList{"BeforeNavigate2 top " + url, "DownloadBegin", "NavigateComplete2 top " + url,
                           "DownloadComplete", "DocumentComplete top " + url}));
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->URL(), url);
    EXPECT_EQ(seen->title(), "Plain Page");
    EXPECT_EQ(stateAtComplete, PaneReadyState::Complete);
    EXPECT_EQ(s_pane->LocationURL(), url);
    EXPECT_EQ(s_pane->LocationName(), "Plain Page");
    EXPECT_FALSE(s_pane->IsErrorPage());
    EXPECT_TRUE(s_pane->IsHtmlDocument());
    EXPECT_FALSE(s_pane->Busy());
    EXPECT_TRUE(log->other.contains("TitleChange Plain Page"));
    EXPECT_TRUE(log->other.contains("SetSecureLockIcon 0"));
}

TEST_F(EngineEvents, RedirectAnnouncesTheFirstAddressAndCompletesAtTheTarget) {
    const QString from = SharedSites().Url(QStringLiteral("/redirect"));
    const QString to = SharedSites().Url(QStringLiteral("/plain"));
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, from));
    EXPECT_EQ(log->TopLevel(),
              (QStringList{"BeforeNavigate2 top " + from, "DownloadBegin", "NavigateComplete2 top " + to,
                           "DownloadComplete", "DocumentComplete top " + to}));
    EXPECT_EQ(s_pane->LocationURL(), to);
}

TEST_F(EngineEvents, FramePageReportsEachFrameBeforeTheTopDocumentCompletes) {
    const QString url = SharedSites().Url(QStringLiteral("/frames"));
    const QString left = SharedSites().Url(QStringLiteral("/frame-left"));
    const QString right = SharedSites().OtherUrl(QStringLiteral("/frame-right"));
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, url));
    const QStringList& e = log->events;
    EXPECT_EQ(log->TopLevel(),
              (QStringList{"BeforeNavigate2 top " + url, "DownloadBegin", "NavigateComplete2 top " + url,
                           "DownloadComplete", "DocumentComplete top " + url}));
    for (const QString& frame : {left, right}) {
        const qsizetype before = e.indexOf("BeforeNavigate2 frame " + frame);
        const qsizetype committed = e.indexOf("NavigateComplete2 frame " + frame);
        const qsizetype complete = e.indexOf("DocumentComplete frame " + frame);
        ASSERT_GE(before, 0) << frame.toStdString();
        EXPECT_GT(committed, before);
        EXPECT_GT(complete, committed);
        EXPECT_GT(committed, e.indexOf("NavigateComplete2 top " + url));
        EXPECT_LT(complete, e.indexOf("DocumentComplete top " + url));
    }
}

TEST_F(EngineEvents, UnknownHostAndRefusedConnectionReportCannotConnectAndShowTheErrorPage) {
    for (const QString& url : {QStringLiteral("http://no-such-host.invalid/"),
                               QStringLiteral("http://127.0.0.1:%1/").arg(ClosedPort())}) {
        ASSERT_TRUE(LoadAndWait(*s_pane, *log, url)) << url.toStdString();
        EXPECT_EQ(
            log->TopLevel(),
            (QStringList{"BeforeNavigate2 top " + url, "DownloadBegin",
                         QStringLiteral("NavigateError %1 ").arg(PaneError::CannotConnect) + url,
                         "NavigateComplete2 top " + url, "DownloadComplete", "DocumentComplete top " + url}));
        EXPECT_TRUE(s_pane->IsErrorPage());
        EXPECT_EQ(s_pane->LocationURL(), url);
        ASSERT_TRUE(s_pane->Document());
        EXPECT_EQ(s_pane->Document()->URL(), url);
    }
    // The next good load clears the error state.
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, SharedSites().Url(QStringLiteral("/plain"))));
    EXPECT_FALSE(s_pane->IsErrorPage());
}

TEST_F(EngineEvents, ServerErrorsReportTheirStatusAndKeepTheServersPage) {
    for (const auto& [path, code, title] :
         {std::tuple{"/missing", 404, "Not Found"}, {"/broken", 500, "Server Error"}}) {
        const QString url = SharedSites().Url(QLatin1String(path));
        ASSERT_TRUE(LoadAndWait(*s_pane, *log, url));
        EXPECT_EQ(log->TopLevel(),
                  (QStringList{"BeforeNavigate2 top " + url, "DownloadBegin", "NavigateComplete2 top " + url,
                               QStringLiteral("NavigateError %1 ").arg(code) + url, "DownloadComplete",
                               "DocumentComplete top " + url}));
        EXPECT_TRUE(s_pane->IsErrorPage());
        ASSERT_TRUE(s_pane->Document());
        EXPECT_EQ(s_pane->Document()->title(), QLatin1String(title));
    }
}

TEST_F(EngineEvents, CancelledNavigationRaisesNothingMoreAndKeepsThePage) {
    const QString plain = SharedSites().Url(QStringLiteral("/plain"));
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, plain));
    const QString refused = SharedSites().Url(QStringLiteral("/welcome"));
    log->Clear();
    log->onBeforeNavigate = [&](NavigateEvent& e) {
        if (e.url == refused) e.cancel = true;
    };
    s_pane->Navigate2(refused);
    ASSERT_TRUE(log->WaitFor("BeforeNavigate2"));
    Pump(700);
    EXPECT_EQ(log->events, QStringList{"BeforeNavigate2 top " + refused});
    EXPECT_EQ(s_pane->LocationURL(), plain);
    EXPECT_FALSE(s_pane->Busy());
    // History moves and the command state follows.
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, SharedSites().Url(QStringLiteral("/echo"))));
    EXPECT_TRUE(s_pane->CanGoBack());
    log->Clear();
    s_pane->GoBack();
    ASSERT_TRUE(log->WaitFor("DocumentComplete top"));
    EXPECT_EQ(s_pane->LocationURL(), plain);
    EXPECT_TRUE(s_pane->CanGoForward());
    EXPECT_TRUE(log->other.contains(QStringLiteral("CommandStateChange %1 1").arg(PaneCommand::Forward)));
}

TEST_F(EngineEvents, ScriptErrorsAndPdfDocuments) {
    const QString url = SharedSites().Url(QStringLiteral("/script-error"));
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, url));
    ASSERT_TRUE(log->WaitFor("ScriptError"));
    EXPECT_TRUE(log->events.filter("ScriptError").first().contains("noSuchFunction"))
        << log->events.join("\n").toStdString();
    EXPECT_TRUE(log->events.filter("ScriptError").first().startsWith("ScriptError 5 "));

    // Errors inside frames (of this site or another) are the frames' own, not the page's.
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, SharedSites().Url(QStringLiteral("/framed-errors"))));
    ASSERT_TRUE(log->WaitFor("DocumentComplete frame", 2));
    Pump(300);
    EXPECT_EQ(log->Count("ScriptError"), 0) << log->events.join("\n").toStdString();
    EXPECT_EQ(log->other.filter("FrameScriptError 5 ").size(), 2) << log->other.join("\n").toStdString();

    const QString pdf = SharedSites().Url(QStringLiteral("/doc.pdf"));
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, pdf));
    EXPECT_FALSE(s_pane->IsHtmlDocument());
    EXPECT_EQ(s_pane->DocumentTypeName(), "Document");
    ASSERT_TRUE(s_pane->Document());
    EXPECT_EQ(s_pane->Document()->typeName(), "PDFDocument");
    EXPECT_FALSE(s_pane->IsErrorPage());
}

TEST(EnginePaneLifecycle, NeverNavigatedPaneHasNoEnginePageAndAnswersBlankWithoutIt) {
    WebEnginePane pane(QStringLiteral("lazy"));
    EventLog log(&pane);
    EXPECT_FALSE(pane.HasEnginePage());
    EXPECT_EQ(pane.ReadyState(), PaneReadyState::Uninitialized);
    EXPECT_EQ(pane.LocationURL(), "");
    EXPECT_FALSE(pane.Document());

    pane.Navigate2(QStringLiteral("about:blank"));
    EXPECT_TRUE(log.events.isEmpty()); // raised after Navigate2 returns
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    const QString blank = QStringLiteral("about:blank");
    EXPECT_EQ(log.events,
              (QStringList{"BeforeNavigate2 top " + blank, "DownloadBegin", "NavigateComplete2 top " + blank,
                           "DownloadComplete", "DocumentComplete top " + blank}));
    EXPECT_FALSE(pane.HasEnginePage());
    EXPECT_FALSE(pane.page());
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

    // The first real navigation makes the engine page; "about:blank" then goes through it and
    // still raises the whole sequence (the engine does not ask before loading it).
    ASSERT_TRUE(LoadAndWait(pane, log, SharedSites().Url(QStringLiteral("/plain"))));
    EXPECT_TRUE(pane.HasEnginePage());
    ASSERT_TRUE(LoadAndWait(pane, log, blank));
    EXPECT_EQ(log.TopLevel(),
              (QStringList{"BeforeNavigate2 top " + blank, "DownloadBegin", "NavigateComplete2 top " + blank,
                           "DownloadComplete", "DocumentComplete top " + blank}));
    EXPECT_EQ(pane.LocationURL(), blank);
    EXPECT_TRUE(pane.CanGoBack());
}

TEST(EnginePaneLifecycle, BodyMarkupShowsWithoutEvents) {
    WebEnginePane pane(QStringLiteral("wait"));
    EventLog log(&pane);
    pane.SetBodyHtml(QStringLiteral("<p id=\"w\">Please wait...</p>"));
    // The body is asked for in a way that raises no script error before the page has one.
    const QString body = QStringLiteral("document.body ? document.body.innerHTML : ''");
    ASSERT_TRUE(WaitFor([&] {
        Pump(100);
        return RunScript(pane, body).contains("Please wait...");
    }));
    EXPECT_TRUE(log.events.isEmpty()) << log.events.join("\n").toStdString();
    EXPECT_EQ(pane.LocationURL(), "about:blank");
    // Again, on the page already there: the body is replaced in place.
    pane.SetBodyHtml(QStringLiteral("<p>Signing In</p>"));
    ASSERT_TRUE(WaitFor([&] {
        Pump(100);
        return RunScript(pane, body) == "<p>Signing In</p>";
    }));
    EXPECT_TRUE(log.events.isEmpty());
}

TEST(EnginePaneLifecycle, AnIdlePageIsFrozenLetGoAndComesBackWhereItWasInOneLoad) {
    WebEnginePane pane(QStringLiteral("idle"));
    EventLog log(&pane);
    const QString login = SharedSites().Url(QStringLiteral("/login"));
    ASSERT_TRUE(LoadAndWait(pane, log, SharedSites().Url(QStringLiteral("/plain"))));
    ASSERT_TRUE(LoadAndWait(pane, log, login));
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
    const QString page = SharedSites().Url(QStringLiteral("/generated?n=1000"));
    ASSERT_TRUE(LoadAndWait(pane, log, page));
    pane.widget()->resize(600, 400);
    pane.widget()->show();
    RunScript(pane, QStringLiteral("window.scrollTo(0, 500)"));
    ASSERT_TRUE(WaitFor([&] { return pane.page()->scrollPosition().y() >= 499; }));
    pane.widget()->hide();
    const QString title = pane.LocationName();

    pane.SetIdle(PaneIdle::Frozen);
    ASSERT_TRUE(WaitFor([&] { return pane.Idle() == PaneIdle::Frozen; }));
    pane.SetIdle(PaneIdle::Discarded);
    ASSERT_TRUE(WaitFor([&] { return pane.Idle() == PaneIdle::Discarded; }));
    // Let go altogether: no engine page, no renderer; what the pane says of its page holds.
    EXPECT_FALSE(pane.HasEnginePage());
    EXPECT_EQ(pane.LocationURL(), page);
    EXPECT_EQ(pane.LocationName(), title);
    EXPECT_EQ(pane.ReadyState(), PaneReadyState::Complete);
    EXPECT_TRUE(pane.CanGoBack());
    log.Clear();
    // As the window does: woken, then shown.
    pane.SetIdle(PaneIdle::Active);
    pane.widget()->show();
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    Pump(300);
    EXPECT_EQ(log.Count("DocumentComplete top"), 1) << log.events.join("\n").toStdString();
    EXPECT_EQ(pane.Idle(), PaneIdle::Active);
    EXPECT_EQ(pane.LocationURL(), page);
    EXPECT_TRUE(WaitFor([&] { return pane.page()->scrollPosition().y() >= 499; }));
    pane.widget()->hide();
    // Its history came back with it.
    pane.GoBack();
    ASSERT_TRUE(WaitFor([&] { return pane.LocationURL() == login && !pane.Busy(); }));
    EXPECT_TRUE(pane.CanGoBack());
}

} // namespace
