// The engine pane on real pages: its events in the order and with the values the program's
// handlers rely on, the snapshot the login rules read, what the program writes into a page, and
// what it offers the menus, the properties box and the search pane.
#include <algorithm>
#include <gtest/gtest.h>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/engine/WebProfiles.h"
#include "browse/FormFiller.h"
#include "browse/SearchPane.h"
#include "browse/SearchPaneHost.h"
#include "e2e/E2eSupport.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;

QString Url(const QString& path) {
    return SharedSites().Url(path);
}

// "TAG:type name" (or "TAG:type#id") per element.
QStringList Names(const QList<DomElement*>& list) {
    QStringList out;
    for (const DomElement* e : list)
        out << e->nodeName() + (e->type().isEmpty() ? "" : ':' + e->type()) +
                   (!e->name().isEmpty() ? ' ' + e->name()
                    : e->id().isEmpty()  ? ""
                                         : '#' + e->id());
    return out;
}

// One pane, not shown (as a Link's pane behind the "Please wait..." page); each test's loads
// follow one another as in a real pane.
class EnginePane : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pane = new WebEnginePane("engine");
        s_pane->Widget()->resize(800, 600);
    }
    static void TearDownTestSuite() { delete s_pane; }
    void SetUp() override { log = std::make_unique<EventLog>(s_pane); }
    // The snapshot of a page, read with the Link's own texts (links the rules have no words for
    // are left out otherwise).
    DocumentPtr Load(const QString& path, const QStringList& texts = {}) {
        s_pane->SetSnapshotTexts(texts);
        const bool loaded = LoadAndWait(*s_pane, *log, Url(path));
        s_pane->SetSnapshotTexts({});
        return loaded ? s_pane->Document() : nullptr;
    }
    bool Apply(const DocumentPtr& doc = {}) {
        int result = -1;
        const auto done = [&](bool ok) { result = ok; };
        doc ? s_pane->ApplyDocumentActions(doc, done) : s_pane->ApplyActions(done);
        return WaitFor([&] { return result >= 0; }) && result == 1;
    }
    DocumentPtr Fresh() {
        DocumentPtr out;
        s_pane->RefreshDocument([&](DocumentPtr d) { out = d; });
        WaitFor([&] { return out != nullptr; });
        return out;
    }
    // Spans are not in the snapshot: the page is asked.
    QString Text(const QString& id) {
        return RunScript(*s_pane, QStringLiteral("document.getElementById('%1').textContent").arg(id));
    }

    static WebEnginePane* s_pane;
    std::unique_ptr<EventLog> log;
};

WebEnginePane* EnginePane::s_pane = nullptr;

TEST_F(EnginePane, EachKindOfLoadRaisesItsEventsInOrderAndEndsInItsState) {
    const struct {
        QString url, at;
        long error;
        QString title;
    } cases[] = {
        {Url("/plain"), {}, 0, "Plain Page"},
        {Url("/redirect"), Url("/plain"), 0, "Plain Page"},
        {Url("/frames"), {}, 0, "Frames"},
        {"http://no-such-host.invalid/", {}, PaneError::CannotConnect, {}},
        {Url("/missing"), {}, 404, "Not Found"},
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
        EXPECT_TRUE(c.title.isEmpty() || seen->title() == c.title) << seen->title().toStdString();
        EXPECT_EQ(stateAtComplete, PaneReadyState::Complete);
        EXPECT_EQ(s_pane->LocationURL(), at);
        EXPECT_EQ(s_pane->IsErrorPage(), c.error != 0);
        EXPECT_FALSE(s_pane->Busy());
    }
    log->onTopDocumentComplete = nullptr;
    EXPECT_TRUE(log->other.contains("TitleChange Plain Page"));
    EXPECT_TRUE(log->other.contains("SetSecureLockIcon 0"));

    // Each frame is reported between the page's commit and its DocumentComplete; a frameset's
    // frame of the same origin is read, the other's only marked.
    const DocumentPtr frameset = Load("/frames");
    ASSERT_TRUE(frameset && frameset->frames().size() == 2 && frameset->frames()[0].document);
    EXPECT_EQ(frameset->frames()[0].document->forms().size(), 1);
    EXPECT_FALSE(frameset->frames()[1].document);
    const QStringList& e = log->events;
    for (const QString& frame : {Url("/frame-left"), SharedSites().OtherUrl("/frame-right")}) {
        const QList<qsizetype> at{
            e.indexOf("NavigateComplete2 top " + Url("/frames")), e.indexOf("BeforeNavigate2 frame " + frame),
            e.indexOf("NavigateComplete2 frame " + frame), e.indexOf("DocumentComplete frame " + frame),
            e.indexOf("DocumentComplete top " + Url("/frames"))};
        EXPECT_TRUE(!at.contains(-1) && std::is_sorted(at.begin(), at.end())) << e.join('\n').toStdString();
    }

    // A navigation the handler cancels raises nothing more and leaves the page where it was.
    log->Clear();
    log->onBeforeNavigate = [&](NavigateEvent& n) { n.cancel = n.url == Url("/welcome"); };
    s_pane->Navigate2(Url("/welcome"));
    QTest::qWait(700);
    log->onBeforeNavigate = nullptr;
    EXPECT_EQ(log->events, QStringList{"BeforeNavigate2 top " + Url("/welcome")});
    EXPECT_EQ(s_pane->LocationURL(), Url("/frames"));
    EXPECT_FALSE(s_pane->Busy());
}

TEST_F(EnginePane, ScriptErrorsAreThePagesOrTheFramesAndPdfIsNoHtml) {
    ASSERT_TRUE(Load("/script-error"));
    ASSERT_TRUE(log->WaitFor("ScriptError 5 ")); // its line
    EXPECT_TRUE(log->events.filter("ScriptError").first().contains("noSuchFunction"));
    // Errors inside frames (of this site or another) are the frames' own, not the page's.
    ASSERT_TRUE(Load("/framed-errors"));
    ASSERT_TRUE(log->WaitFor("DocumentComplete frame", 2));
    QTest::qWait(300);
    EXPECT_EQ(log->Count("ScriptError"), 0) << log->events.join("\n").toStdString();
    EXPECT_EQ(log->other.filter("FrameScriptError 5 ").size(), 2) << log->other.join("\n").toStdString();

    const DocumentPtr pdf = Load("/doc.pdf");
    ASSERT_TRUE(pdf);
    EXPECT_FALSE(s_pane->IsHtmlDocument() || s_pane->IsErrorPage());
    EXPECT_EQ(s_pane->DocumentTypeName() + ' ' + pdf->typeName(), "Document PDFDocument");
}

TEST_F(EnginePane, SnapshotOfTheLoginPageWithoutTheWrittenPasswordAndOfAnchorsImagesAndButtons) {
    const DocumentPtr doc = Load("/login");
    ASSERT_TRUE(doc);
    EXPECT_EQ(QStringList({doc->URL(), doc->domain(), doc->title(), doc->typeName()}),
              QStringList({Url("/login"), "127.0.0.1", "Sign In - Bramble Test Bank", "HTMLDocument"}));
    EXPECT_TRUE(doc->hasBody() && doc->bodyHasContent() && doc->frames().isEmpty());
    ASSERT_EQ(doc->forms().size(), 1);
    const DomElement* form = doc->forms()[0];
    EXPECT_EQ(Names(form->elements()),
              (QStringList{"SELECT:select-one realm", "OPTION", "OPTION", "INPUT:text user",
                           "INPUT:password pass", "INPUT:hidden from", "INPUT:submit#signin"}));
    EXPECT_EQ(Names(doc->all()), Names(form->elements()) + QStringList{"A"});
    EXPECT_EQ(form->elements()[3]->form(), form);
    const DomElement* list = form->elements()[0];
    ASSERT_EQ(list->children().size(), 2);
    EXPECT_EQ(list->children()[1]->innerText(), "Business");
    EXPECT_TRUE(list->children()[0]->selected() && !list->children()[1]->selected());
    EXPECT_EQ(list->value(), "p");
    EXPECT_EQ(form->elements()[3]->parentParentText(), ""); // read for password fields only
    EXPECT_TRUE(form->elements()[4]->parentParentText().contains("Password")); // the table row
    ASSERT_EQ(doc->links().size(), 1);
    const DomElement* help = doc->links()[0];
    EXPECT_EQ(QStringList({help->innerText(), help->href(), help->hostname()}),
              QStringList({"Help with signing in", Url("/help"), "127.0.0.1"}));
    // The filler writes passwords with SetValue: the value is in the field, never in its markup.
    doc->getElementById("pass")->SetValue("pw-in-markup?");
    ASSERT_TRUE(Apply());
    DomElement* pass = Fresh()->getElementById("pass");
    ASSERT_TRUE(pass);
    EXPECT_EQ(pass->value(), "pw-in-markup?");
    EXPECT_FALSE(pass->outerHTML().contains("pw-in-markup"));
    EXPECT_FALSE(FormFiller::LoggedHtml(pass).contains("pw-in-markup"));

    // Links the rules have no words for are left out unless the Link's texts name them.
    EXPECT_EQ(Names(Load("/plain")->links()), (QStringList{"A#pic", "A#script"})); // no text; "Log in"
    const DocumentPtr plain = Load("/plain", {"welcome", "Go to accounts", "Anchor"});
    ASSERT_TRUE(plain);
    EXPECT_EQ(Names(plain->links()), (QStringList{"A#first", "A#pic", "A#script"}));
    EXPECT_EQ(Names(plain->getElementsByTagName("a")), // one without href: not a link
              (QStringList{"A#first", "A#pic", "A#script", "A anchor-only"}));
    const DomElement* pic = plain->getElementById("pic");
    ASSERT_TRUE(pic && pic->firstChild());
    EXPECT_EQ(pic->firstChild()->alt(), "Go to accounts");
    const DomElement* first = plain->getElementById("first");
    ASSERT_TRUE(first && first->firstChild());
    EXPECT_TRUE(first->firstChild()->isText());
    EXPECT_EQ(first->innerHTML(), "Welcome"); // sent once, as its text
    EXPECT_EQ(plain->getElementById("script")->hostname(), "doLogin()");
    ASSERT_EQ(plain->images().size(), 2);
    EXPECT_EQ(plain->images()[0]->src(), Url("/img/dot.gif"));
    EXPECT_EQ(plain->images()[0]->readyState() + ' ' + plain->images()[1]->readyState(), "complete loading");
    const DomElement* button = plain->getElementById("btn");
    ASSERT_TRUE(button);
    EXPECT_EQ(QStringList({button->type(), button->innerText(), button->onclick()}),
              QStringList({"submit", "Sign\u00a0In", "go()"}));
    ASSERT_EQ(plain->scripts().size(), 1);
    EXPECT_TRUE(plain->scripts()[0].contains("function doLogin() { document.forms[0].submit(); }"));
}

TEST_F(EnginePane, PageListenersSeeValuesAndStaleOrVanishedTargetsAreRefused) {
    const DocumentPtr old = Load("/echo");
    DocumentPtr doc = Fresh();
    EXPECT_GT(doc->generation(), old->generation());
    doc->getElementById("name")->SetValue("typed by the program");
    for (DomElement* option : doc->getElementById("pick")->children())
        option->SetSelected(option->innerText() == "Blue");
    doc->getElementById("pick")->FireChange();
    ASSERT_TRUE(Apply());
    EXPECT_EQ(Text("echo") + "|" + Text("changed") + "|" + Text("picked"),
              "typed by the program|typed by the program|Blue");
    const DocumentPtr now = s_pane->Document(); // a new snapshot reads what the page holds
    EXPECT_EQ(now->getElementById("name")->value() + '|' + now->getElementById("pick")->value(),
              "typed by the program|Blue");

    // An older snapshot of the same page.
    old->getElementById("name")->SetValue("from the old snapshot");
    EXPECT_FALSE(Apply(old));
    EXPECT_TRUE(old->model().pendingActions().isEmpty());
    // The page reloaded since: nothing reaches the new page, not even through the automatic
    // application of writes.
    const DocumentPtr before = s_pane->Document();
    ASSERT_TRUE(Load("/echo"));
    before->getElementById("name")->SetValue("after reload");
    QTest::qWait(300);
    EXPECT_EQ(Text("echo"), "");
    // The current snapshot, but the page took its element out.
    const DocumentPtr current = s_pane->Document();
    RunScript(*s_pane, "document.getElementById('name').remove(); true");
    current->getElementById("name")->SetValue("gone");
    EXPECT_FALSE(Apply(current));

    // Frames of the same origin are read, nested ones too; another origin's are only marked.
    // Writes reach a frame of the same origin; Navigate ends a run.
    doc = Load("/iframes", {"/plain"}); // the frames' links lead there
    ASSERT_TRUE(doc && doc->frames().size() == 3 && doc->frames()[0].document);
    EXPECT_EQ(doc->frames()[0].document->parentDocument(), doc.get());
    EXPECT_TRUE(doc->all().contains(doc->frames()[0].element));
    EXPECT_EQ(doc->frames()[1].document, nullptr);
    EXPECT_EQ(doc->frames()[1].src, SharedSites().OtherUrl("/frame-right"));
    const DomDocument* nest = doc->frames()[2].document;
    ASSERT_TRUE(nest && nest->frames().size() == 1 && nest->frames()[0].document);
    EXPECT_EQ(nest->frames()[0].document->forms().size(), 1);
    // Each document's lists hold only its own elements.
    EXPECT_EQ(nest->links().size() + doc->links().size() + doc->forms().size(), 2);
    EXPECT_EQ(doc->model().documents().size(), 4u);
    doc->frames()[0].document->getElementById("user")->SetValue("in the frame");
    ASSERT_TRUE(Apply());
    EXPECT_EQ(RunScript(*s_pane, "frames[0].document.getElementById('user').value"), "in the frame");
    doc->Navigate(Url("/plain"));
    log->Clear();
    ASSERT_TRUE(log->WaitFor("DocumentComplete top " + Url("/plain")));
}

TEST(EnginePaneLifecycle, ABlankPaneHasNoEnginePageAnIdleOneIsLetGoAndComesBackWhereItWasInOneLoad) {
    WebEnginePane pane("idle");
    EventLog log(&pane);
    EXPECT_EQ(pane.ReadyState(), PaneReadyState::Uninitialized);
    EXPECT_FALSE(pane.Document());
    const QString blank = QStringLiteral("about:blank");
    pane.Navigate2(blank);
    EXPECT_TRUE(log.events.isEmpty()); // raised after Navigate2 returns
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    EXPECT_EQ(log.events, LoadEvents(blank));
    EXPECT_FALSE(pane.HasEnginePage());
    EXPECT_TRUE(pane.Document() && pane.LocationURL() == blank &&
                pane.ReadyState() == PaneReadyState::Complete);
    // The first real navigation makes the engine page; "about:blank" then goes through it and
    // still raises the whole sequence (the engine does not ask before loading it).
    ASSERT_TRUE(LoadAndWait(pane, log, Url("/plain")));
    EXPECT_TRUE(pane.HasEnginePage());
    ASSERT_TRUE(LoadAndWait(pane, log, blank));
    EXPECT_EQ(log.TopLevel(), LoadEvents(blank));
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
    QTest::qWait(300);
    EXPECT_EQ(log.Count("DocumentComplete top"), 1) << log.events.join("\n").toStdString();
    EXPECT_EQ(pane.LocationURL(), page);
    EXPECT_TRUE(WaitFor([&] { return pane.Page()->scrollPosition().y() >= 499; }));
    pane.Widget()->hide();
    // Its history came back with it.
    pane.GoBack();
    ASSERT_TRUE(WaitFor([&] { return pane.LocationURL() == Url("/login") && !pane.Busy(); }));
    EXPECT_TRUE(pane.CanGoBack());
}

TEST(PaneFeatures, PrintFindSaveTextSizeAndPageFacts) {
    WebEnginePane pane("features");
    pane.Widget()->resize(800, 600);
    pane.Widget()->show();
    EXPECT_FALSE(pane.CanPrint());
    EventLog log(&pane);
    ASSERT_TRUE(LoadAndWait(pane, log, Url("/plain")));
    EXPECT_TRUE(pane.CanPrint());
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("page.pdf"));
    int done = -1;
    pane.PrintTo(&printer, [&](bool ok) { done = ok; });
    ASSERT_TRUE(WaitFor([&] { return done >= 0; }, 20000));
    EXPECT_EQ(done, 1);
    QFile pdf(dir.filePath("page.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
    // Found without case, not found with it, and words not there.
    for (const auto& [text, matchCase, found] :
         {std::tuple{"welcome", false, 1}, {"welcome", true, 0}, {"no such words", false, 0}}) {
        done = -1;
        pane.FindText(QLatin1String(text), false, matchCase, [&](bool ok) { done = ok; });
        ASSERT_TRUE(WaitFor([&] { return done >= 0; }));
        EXPECT_EQ(done, found) << text << matchCase;
    }
    const QString saved = dir.filePath("saved.html");
    pane.SavePage(saved);
    ASSERT_TRUE(WaitFor([&] { return FileBytes(saved).contains("Plain Page"); }));
    pane.SetTextSize(4);
    EXPECT_EQ(pane.TextSize(), 4);
    EXPECT_DOUBLE_EQ(pane.View()->zoomFactor(), BrowserPane::ZoomForTextSize(4));

    // The page's facts are its type, size and dates as it was served.
    const QByteArray body = "<!DOCTYPE html><title>Dated</title><p>Hello.</p>";
    SharedSites().main().Route("GET", "/dated", [body](const sites::Request&, sites::Reply& reply) {
        reply.body = body;
        reply.AddHeader("Last-Modified", "Fri, 01 Mar 2024 09:30:00 GMT");
    });
    const auto read = [&](const char* path) {
        PageFacts facts;
        EXPECT_TRUE(LoadAndWait(pane, log, Url(QLatin1String(path))));
        bool answered = false;
        pane.ReadPageFacts([&](const PageFacts& f) { facts = f, answered = true; });
        EXPECT_TRUE(WaitFor([&] { return answered; }));
        return facts;
    };
    PageFacts facts = read("/dated");
    EXPECT_EQ(facts.contentType, "text/html");
    EXPECT_EQ(facts.size, body.size());
    EXPECT_EQ(facts.lastModified, QDateTime(QDate(2024, 3, 1), QTime(9, 30), Qt::UTC));
    EXPECT_LT(qAbs(facts.loaded.secsTo(QDateTime::currentDateTime())), 120);
    EXPECT_FALSE(read("/plain").lastModified.isValid()); // no date from the server, none here
}

// Offline, network loads fail but the program's own pages load, under the scheme and the
// product's site address; back and forward pass over them.
TEST(PaneFeatures, ProgramPagesAreServedOfflineAndHistoryPassesOverThem) {
    WebProfiles::SetOffline(true);
    WebEnginePane pane("pages");
    pane.Widget()->resize(800, 600);
    EventLog log(&pane);
    const QString plain = Url("/plain");
    {
        WebEnginePane blocked("pages");
        EventLog blockedLog(&blocked);
        const auto fails = [&](const QString& url, long code) {
            return LoadAndWait(blocked, blockedLog, url) &&
                   blockedLog.events.contains(QStringLiteral("NavigateError %1 ").arg(code) + url);
        };
        EXPECT_TRUE(fails(plain, PaneError::CannotConnect));
        EXPECT_TRUE(fails("file:///no/such/file.html", PaneError::ObjectNotFound)); // files are no network
    }
    const QString start = QString::fromLatin1(ProgramPages::kStartPageUrl);
    ASSERT_TRUE(LoadAndWait(pane, log, start));
    EXPECT_FALSE(pane.IsErrorPage());
    EXPECT_EQ(pane.LocationName(), "Bramblegate Start Page");
    ASSERT_TRUE(LoadAndWait(pane, log, "http://bramblegate.localhost/help/quickstart.asp"));
    EXPECT_EQ(pane.LocationName(), "Getting Started with Bramblegate");
    EXPECT_EQ(pane.LocationURL(), "bramblegate://help/quickstart.asp");
    ASSERT_TRUE(LoadAndWait(pane, log, "bramblegate://help/nothing-here"));
    EXPECT_TRUE(pane.IsErrorPage()) << "an unknown page of the scheme is an error, not an empty page";
    WebProfiles::SetOffline(false);

    const QString other = SharedSites().OtherUrl("/plain");
    ASSERT_TRUE(LoadAndWait(pane, log, start));
    ASSERT_TRUE(LoadAndWait(pane, log, plain));
    EXPECT_FALSE(pane.CanGoBack()) << "only program pages lie behind";
    ASSERT_TRUE(LoadAndWait(pane, log, QString::fromLatin1(ProgramPages::kHelpUrl)));
    ASSERT_TRUE(LoadAndWait(pane, log, other));
    pane.GoBack();
    ASSERT_TRUE(WaitFor([&] { return pane.LocationURL() == plain && !pane.Busy(); }));
    EXPECT_FALSE(pane.CanGoBack());
    EXPECT_TRUE(pane.CanGoForward());
    pane.GoForward();
    ASSERT_TRUE(WaitFor([&] { return pane.LocationURL() == other && !pane.Busy(); }));
    EXPECT_FALSE(pane.CanGoForward());
}

// (Where results open: SearchPaneTest.)
class NoHost : public SearchPaneHost {
public:
    void Nav2Visible(const QString&, int) override {}
    quintptr WindowHandle() const override { return 1; }
};

TEST(SearchPaneE2e, TheLocalPageReachesTheServiceAndItsResultsAreTidied) {
    SharedSites().AddPage("/svc/search", "<div id=results>one</div><p>x</p><div id=results>two</div>");
    SearchServiceTable services = SearchPages::DefaultServices();
    const QUrl site(SharedSites().Url());
    for (int i : {0, 2}) {
        services[i].host = site.host() + ":" + QString::number(site.port());
        services[i].searchUrl = SharedSites().Url("/svc/search");
    }
    ASSERT_TRUE(SearchPages::CreateHtmFiles(services));
    NoHost host;
    SearchPane search(
        host, [](QWidget* parent) { return new WebEnginePane("search-e2e", parent); }, nullptr, services);
    search.resize(300, 600);
    auto& pane = *static_cast<WebEnginePane*>(search.Pane());
    EventLog log(&pane);
    // Opens the service's local page (a file), and sends its form with the query in `field`.
    const auto searchWith = [&](int service, const QString& field) {
        log.Clear();
        search.OnSearchClicked(service);
        EXPECT_TRUE(log.WaitFor("DocumentComplete top"));
        EXPECT_TRUE(pane.LocationURL().startsWith("file:"));
        log.Clear();
        RunScript(pane,
                  "var f = document.forms[0]; f.elements['" + field + "'].value = 'bramble'; f.submit();");
        return log.WaitFor("DocumentComplete top");
    };

    // The local page may send its form to the service, whose result page stays.
    ASSERT_TRUE(searchWith(0, "q"));
    EXPECT_TRUE(pane.LocationURL().startsWith(services[0].searchUrl + "?q=bramble"))
        << pane.LocationURL().toStdString();

    // The third service's result page has its "results" DIVs renamed once it has loaded.
    ASSERT_TRUE(searchWith(2, "p"));
    QString ids;
    ASSERT_TRUE(WaitFor([&] {
        ids = RunScript(pane, "Array.from(document.getElementsByTagName('div')).map(d => d.id).join(',')");
        return ids == "result,result";
    })) << ids.toStdString();
}

} // namespace
