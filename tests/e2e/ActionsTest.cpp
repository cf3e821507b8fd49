#include <gtest/gtest.h>
#include <QWebEnginePage>

#include "browse/engine/WebEnginePane.h"
#include "e2e/E2eSupport.h"
#include "sites/TestSites.h"
#include "support/TestSupport.h"

namespace {

using sites::SharedSites;
using sites::TestSites;

class Actions : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pane = new WebEnginePane(QStringLiteral("actions"));
        // A pane that is not shown, as a Link's pane behind the "Please wait..." page.
        s_pane->widget()->resize(800, 600);
    }
    static void TearDownTestSuite() {
        delete s_pane;
        s_pane = nullptr;
    }
    void SetUp() override {
        log = std::make_unique<EventLog>(s_pane);
        // Each case starts signed out.
        ASSERT_TRUE(LoadAndWait(*s_pane, *log, SharedSites().Url(QStringLiteral("/logout"))));
    }
    DocumentPtr Load(const QString& path) {
        if (!LoadAndWait(*s_pane, *log, SharedSites().Url(path))) return nullptr;
        return s_pane->Document();
    }
    DocumentPtr Fresh() {
        DocumentPtr out;
        bool done = false;
        s_pane->RefreshDocument([&](DocumentPtr d) {
            out = d;
            done = true;
        });
        WaitFor([&] { return done; });
        return out;
    }
    QString Text(const QString& id) {
        // Spans are not in the snapshot: the page is asked.
        return RunScript(*s_pane, QStringLiteral("(function () { var e = document.getElementById('%1'); "
                                                 "return e ? e.textContent : '<no %1>'; })()")
                                      .arg(id));
    }

    static WebEnginePane* s_pane;
    std::unique_ptr<EventLog> log;
};

WebEnginePane* Actions::s_pane = nullptr;

TEST_F(Actions, FillingAndClickingSubmitLogsInWithTheChosenOption) {
    const int before = int(SharedSites().AcceptedLogins().size());
    // Written inside DocumentComplete, as the login logic does; applied once the handler returns.
    log->onTopDocumentComplete = [&](const QString& url) {
        if (!url.endsWith(QLatin1String("/login"))) return;
        DocumentPtr doc = s_pane->Document();
        DomElement* form = doc->forms().value(0);
        ASSERT_TRUE(form);
        for (DomElement* e : form->elements()) {
            if (e->name() == "user") e->SetValue(QString::fromLatin1(TestSites::kUser));
            if (e->name() == "pass") e->SetValue(QString::fromLatin1(TestSites::kPassword));
            if (e->nodeName() == "OPTION") e->SetSelected(e->innerText() == "Business");
        }
        EXPECT_EQ(form->elements()[0]->value(), "b"); // the list follows its options at once
        DomElement* submit = doc->getElementById("signin");
        submit->Focus();
        submit->Click();
        EXPECT_EQ(doc->model().pendingActions().size(), 6);
    };
    log->Clear();
    s_pane->Navigate2(SharedSites().Url(QStringLiteral("/login")));
    ASSERT_TRUE(log->WaitFor("DocumentComplete top " + SharedSites().Url(QStringLiteral("/welcome"))))
        << log->events.join("\n").toStdString();
    log->onTopDocumentComplete = nullptr;
    EXPECT_EQ(SharedSites().AcceptedLogins().mid(before), QStringList{"alice/b"});
    // The POST is announced, the redirect is not.
    EXPECT_TRUE(log->events.contains("BeforeNavigate2 top " + SharedSites().Url(QStringLiteral("/login"))));
    const DocumentPtr welcome = s_pane->Document();
    ASSERT_TRUE(welcome);
    // Of its links, the one the rules have words for.
    ASSERT_EQ(welcome->links().size(), 1);
    EXPECT_EQ(welcome->links()[0]->innerText(), "Sign Out");
}

TEST_F(Actions, EnterKeyAndTheSubmitHandlerSubmitTheFocusedForm) {
    // Through the focused password field and a real Enter key press.
    const int before = int(SharedSites().AcceptedLogins().size());
    DocumentPtr doc = Load(QStringLiteral("/login"));
    ASSERT_TRUE(doc);
    doc->getElementById("user")->SetValue(QString::fromLatin1(TestSites::kUser));
    DomElement* pass = doc->getElementById("pass");
    pass->SetValue(QString::fromLatin1(TestSites::kPassword));
    pass->Focus();
    doc->PressEnter();
    log->Clear();
    ASSERT_TRUE(log->WaitFor("DocumentComplete top " + SharedSites().Url(QStringLiteral("/welcome"))));
    EXPECT_EQ(SharedSites().AcceptedLogins().mid(before), QStringList{"alice/p"});

    // The form's inline onsubmit runs before Enter submits (it marks the form).
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, SharedSites().Url(QStringLiteral("/logout"))));
    doc = Load(QStringLiteral("/login-onsubmit"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->forms()[0]->onsubmit(), "function anonymous() { return checkLogin(this) }");
    doc->getElementById("user")->SetValue(QString::fromLatin1(TestSites::kUser));
    doc->getElementById("pass")->SetValue(QStringLiteral("wrong"));
    doc->getElementById("pass")->Focus();
    doc->forms()[0]->CallOnSubmit();
    doc->PressEnter();
    log->Clear();
    ASSERT_TRUE(log->WaitFor("DocumentComplete top"));
    EXPECT_EQ(SharedSites().RefusedLogins().last(), "alice/p (onsubmit)");
    EXPECT_EQ(s_pane->LocationName(), "Sign In Failed");
}

TEST_F(Actions, PageListenersSeeValuesAndListChanges) {
    DocumentPtr doc = Load(QStringLiteral("/echo"));
    ASSERT_TRUE(doc);
    doc->getElementById("name")->SetValue(QStringLiteral("typed by the program"));
    DomElement* list = doc->getElementById("pick");
    for (DomElement* option : list->children())
        option->SetSelected(option->innerText() == "Blue");
    list->FireChange();
    bool applied = false;
    bool ok = false;
    s_pane->ApplyActions([&](bool result) {
        applied = true;
        ok = result;
    });
    ASSERT_TRUE(WaitFor([&] { return applied; }));
    EXPECT_TRUE(ok);
    EXPECT_EQ(Text("echo"), "typed by the program");
    EXPECT_EQ(Text("changed"), "typed by the program");
    EXPECT_EQ(Text("picked"), "Blue");
    // A new snapshot reads what the page now holds.
    const DocumentPtr now = s_pane->Document();
    EXPECT_EQ(now->getElementById("name")->value(), "typed by the program");
    EXPECT_EQ(now->getElementById("pick")->value(), "Blue");
}

TEST_F(Actions, StaleSnapshotsAndVanishedElementsAreRefused) {
    const DocumentPtr old = Load(QStringLiteral("/echo"));
    ASSERT_TRUE(old);
    const DocumentPtr fresh = Fresh();
    ASSERT_TRUE(fresh);
    EXPECT_GT(fresh->generation(), old->generation());

    // An older snapshot of the same page.
    old->getElementById("name")->SetValue(QStringLiteral("from the old snapshot"));
    bool answered = false;
    bool ok = true;
    s_pane->ApplyDocumentActions(old, [&](bool result) {
        answered = true;
        ok = result;
    });
    ASSERT_TRUE(WaitFor([&] { return answered; }));
    EXPECT_FALSE(ok);
    EXPECT_TRUE(old->model().pendingActions().isEmpty());
    EXPECT_EQ(Text("echo"), "");

    // The page reloaded since: nothing reaches the new page, not even through the automatic
    // application of writes.
    const DocumentPtr before = s_pane->Document();
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, SharedSites().Url(QStringLiteral("/echo"))));
    before->getElementById("name")->SetValue(QStringLiteral("after reload"));
    Pump(300);
    EXPECT_EQ(Text("echo"), "");

    // The current snapshot, but its element has been taken out of the page by the page.
    DocumentPtr current = s_pane->Document();
    bool removed = false;
    s_pane->page()->runJavaScript(QStringLiteral("document.getElementById('name').remove(); true"),
                                  [&](const QVariant&) { removed = true; });
    ASSERT_TRUE(WaitFor([&] { return removed; }));
    current->getElementById("name")->SetValue(QStringLiteral("gone"));
    answered = false;
    s_pane->ApplyDocumentActions(current, [&](bool result) {
        answered = true;
        ok = result;
    });
    ASSERT_TRUE(WaitFor([&] { return answered; }));
    EXPECT_FALSE(ok);
}

TEST_F(Actions, ActionsReachSameOriginFramesAndNavigateEndsARun) {
    DocumentPtr doc = Load(QStringLiteral("/iframes"));
    ASSERT_TRUE(doc);
    DomDocument* frame = doc->frames()[0].document;
    ASSERT_TRUE(frame);
    frame->getElementById("user")->SetValue(QStringLiteral("in the frame"));
    bool applied = false;
    s_pane->ApplyActions([&](bool ok) { applied = ok; });
    ASSERT_TRUE(WaitFor([&] { return applied; }));
    DocumentPtr now = Fresh();
    ASSERT_TRUE(now && now->frames()[0].document);
    EXPECT_EQ(now->frames()[0].document->getElementById("user")->value(), "in the frame");

    now->Navigate(SharedSites().Url(QStringLiteral("/plain")));
    log->Clear();
    ASSERT_TRUE(log->WaitFor("DocumentComplete top " + SharedSites().Url(QStringLiteral("/plain"))));
}

} // namespace
