// What the program writes into a real page: values, clicks, Enter, list choices, reaching
// frames, refused on stale snapshots, and a password that never shows in the page's markup.
#include <gtest/gtest.h>
#include <QWebEnginePage>

#include "browse/engine/WebEnginePane.h"
#include "browse/FormFiller.h"
#include "browse/FormFillerHost.h"
#include "core/AppState.h"
#include "core/SecretCipher.h"
#include "e2e/E2eSupport.h"
#include "links/Links.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;
using sites::TestSites;

class Actions : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pane = new WebEnginePane(QStringLiteral("actions"));
        // A pane that is not shown, as a Link's pane behind the "Please wait..." page.
        s_pane->Widget()->resize(800, 600);
    }
    static void TearDownTestSuite() { delete s_pane; }
    void SetUp() override {
        log = std::make_unique<EventLog>(s_pane);
        ASSERT_TRUE(Load("/logout")); // each case starts signed out
    }
    DocumentPtr Load(const char* path) {
        return LoadAndWait(*s_pane, *log, SharedSites().Url(QLatin1String(path))) ? s_pane->Document()
                                                                                  : nullptr;
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
    bool Reached(const char* path) {
        log->Clear();
        return log->WaitFor("DocumentComplete top " + SharedSites().Url(QLatin1String(path)));
    }
    void FillLogin(const DocumentPtr& doc, const QString& password) {
        doc->getElementById("user")->SetValue(QLatin1String(TestSites::kUser));
        doc->getElementById("pass")->SetValue(password);
    }

    static WebEnginePane* s_pane;
    std::unique_ptr<EventLog> log;
};

WebEnginePane* Actions::s_pane = nullptr;

TEST_F(Actions, ClickEnterAndTheSubmitHandlerSendTheFormWithTheChosenOption) {
    const int before = int(SharedSites().AcceptedLogins().size());
    // Written inside DocumentComplete, as the login logic does; applied once the handler returns.
    log->onTopDocumentComplete = [&](const QString& url) {
        if (!url.endsWith(QLatin1String("/login"))) return;
        DocumentPtr doc = s_pane->Document();
        FillLogin(doc, QLatin1String(TestSites::kPassword));
        for (DomElement* e : doc->forms()[0]->elements())
            if (e->nodeName() == "OPTION") e->SetSelected(e->innerText() == "Business");
        EXPECT_EQ(doc->getElementById("realm")->value(), "b"); // the list follows its options at once
        doc->getElementById("signin")->Focus();
        doc->getElementById("signin")->Click();
        EXPECT_EQ(doc->model().pendingActions().size(), 6);
    };
    s_pane->Navigate2(SharedSites().Url(QStringLiteral("/login")));
    ASSERT_TRUE(log->WaitFor("DocumentComplete top " + SharedSites().Url(QStringLiteral("/welcome"))))
        << log->events.join("\n").toStdString();
    log->onTopDocumentComplete = nullptr;
    EXPECT_EQ(SharedSites().AcceptedLogins().mid(before), QStringList{"alice/b"});
    // The POST is announced, the redirect is not.
    EXPECT_TRUE(log->events.contains("BeforeNavigate2 top " + SharedSites().Url(QStringLiteral("/login"))));
    // Of the welcome page's links, the one the rules have words for.
    ASSERT_EQ(s_pane->Document()->links().size(), 1);
    EXPECT_EQ(s_pane->Document()->links()[0]->innerText(), "Sign Out");

    // Enter in the focused password field.
    ASSERT_TRUE(Load("/logout"));
    DocumentPtr doc = Load("/login");
    FillLogin(doc, QLatin1String(TestSites::kPassword));
    doc->getElementById("pass")->Focus();
    doc->PressEnter();
    ASSERT_TRUE(Reached("/welcome"));
    EXPECT_EQ(SharedSites().AcceptedLogins().mid(before + 1), QStringList{"alice/p"});

    // The form's inline onsubmit runs before Enter submits (it marks the form).
    ASSERT_TRUE(Load("/logout"));
    doc = Load("/login-onsubmit");
    EXPECT_EQ(doc->forms()[0]->onsubmit(), "function anonymous() { return checkLogin(this) }");
    FillLogin(doc, QStringLiteral("wrong"));
    doc->getElementById("pass")->Focus();
    doc->forms()[0]->CallOnSubmit();
    doc->PressEnter();
    log->Clear();
    ASSERT_TRUE(log->WaitFor("DocumentComplete top"));
    EXPECT_EQ(SharedSites().RefusedLogins().last(), "alice/p (onsubmit)");
    EXPECT_EQ(s_pane->LocationName(), "Sign In Failed");
}

TEST_F(Actions, PageListenersSeeValuesAndStaleOrVanishedTargetsAreRefused) {
    const DocumentPtr old = Load("/echo");
    DocumentPtr doc = Fresh();
    EXPECT_GT(doc->generation(), old->generation());
    doc->getElementById("name")->SetValue(QStringLiteral("typed by the program"));
    for (DomElement* option : doc->getElementById("pick")->children())
        option->SetSelected(option->innerText() == "Blue");
    doc->getElementById("pick")->FireChange();
    ASSERT_TRUE(Apply());
    EXPECT_EQ(Text("echo") + "|" + Text("changed") + "|" + Text("picked"),
              "typed by the program|typed by the program|Blue");
    const DocumentPtr now = s_pane->Document(); // a new snapshot reads what the page holds
    EXPECT_EQ(now->getElementById("name")->value(), "typed by the program");
    EXPECT_EQ(now->getElementById("pick")->value(), "Blue");

    // An older snapshot of the same page.
    old->getElementById("name")->SetValue(QStringLiteral("from the old snapshot"));
    EXPECT_FALSE(Apply(old));
    EXPECT_TRUE(old->model().pendingActions().isEmpty());
    // The page reloaded since: nothing reaches the new page, not even through the automatic
    // application of writes.
    const DocumentPtr before = s_pane->Document();
    ASSERT_TRUE(Load("/echo"));
    before->getElementById("name")->SetValue(QStringLiteral("after reload"));
    Pump(300);
    EXPECT_EQ(Text("echo"), "");
    // The current snapshot, but the page took its element out.
    const DocumentPtr current = s_pane->Document();
    RunScript(*s_pane, QStringLiteral("document.getElementById('name').remove(); true"));
    current->getElementById("name")->SetValue(QStringLiteral("gone"));
    EXPECT_FALSE(Apply(current));
}

TEST_F(Actions, ActionsReachSameOriginFramesAndNavigateEndsARun) {
    DocumentPtr doc = Load("/iframes");
    ASSERT_TRUE(doc && doc->frames()[0].document);
    doc->frames()[0].document->getElementById("user")->SetValue(QStringLiteral("in the frame"));
    ASSERT_TRUE(Apply());
    DocumentPtr now = Fresh();
    ASSERT_TRUE(now && now->frames()[0].document);
    EXPECT_EQ(now->frames()[0].document->getElementById("user")->value(), "in the frame");
    now->Navigate(SharedSites().Url(QStringLiteral("/plain")));
    ASSERT_TRUE(Reached("/plain"));
}

// The filler's side of the engine: the password it writes is in the field, never in its markup.
class NoHost : public FormFillerHost {
    bool NavigateStopped() const override { return false; }
    void NavigatePane(int, const QString&) override {}
    QString SSN() const override { return {}; }
    int SignInParseCount() const override { return 0; }
    void SetSignInParseCount(int) override {}
    void RememberActiveControl() override {}
    void RestoreActiveControl() override {}
};

TEST_F(Actions, TheWrittenPasswordNeverReachesTheFieldsMarkup) {
    TempStore temp;
    App().CurrentUser = QStringLiteral("filler");
    App().PassPhrase = QStringLiteral("filler-pass");
    Links links(App().CurrentUser);
    Link* link =
        links.Add(QStringLiteral("Bank"), SecretCipher::EncryptMessage(SharedSites().Url("/login")),
                  SecretCipher::EncryptMessage(QStringLiteral("nobody")),
                  SecretCipher::EncryptMessage(QStringLiteral("pw-in-markup?")), {}, {}, false, true);
    ASSERT_TRUE(Load("/login"));
    // Filled but not submitted: a special-site parse defers its click.
    LoginSites sites;
    sites.specialSitePrefix = SharedSites().Url(QStringLiteral("/login"));
    NoHost host;
    EXPECT_FALSE(FormFiller(host, sites).ParsePage(s_pane->Document().get(), 0, *link));
    ASSERT_TRUE(Apply());
    DomElement* pass = Fresh()->getElementById("pass");
    ASSERT_TRUE(pass);
    EXPECT_EQ(pass->value(), "pw-in-markup?");
    EXPECT_FALSE(pass->outerHTML().contains("pw-in-markup"));
    EXPECT_FALSE(FormFiller::LoggedHtml(pass).contains("pw-in-markup"));
    App().CurrentUser.clear();
}

} // namespace
