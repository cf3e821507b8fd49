#include <gtest/gtest.h>
#include <memory>

#include "browse/engine/WebEnginePane.h"
#include "browse/FormFiller.h"
#include "core/AppState.h"
#include "core/SecretCipher.h"
#include "e2e/E2eSupport.h"
#include "e2e/LoginPages.h"
#include "links/Links.h"
#include "sites/TestSites.h"
#include "support/TestSupport.h"

// The form filler on the real engine: a pane loads a login page of the local test sites, the
// filler runs inside its DocumentComplete as the login decision will run it, and the server
// says whether the login arrived.

namespace {

using sites::SharedSites;
using sites::TestSites;

// The browse window's side of the filler, over the one pane.
class PaneHost : public FormFillerHost {
public:
    explicit PaneHost(BrowserPane* pane) : m_pane(pane) {}
    QStringList calls;
    int parseCount = 0;

    bool NavigateStopped() const override { return false; }
    void NavigatePane(int index, const QString& url) override {
        calls << QStringLiteral("NavigatePane %1 %2").arg(index).arg(url);
        m_pane->Navigate2(url);
    }
    QString SSN() const override { return {}; }
    int SignInParseCount() const override { return parseCount; }
    void SetSignInParseCount(int count) override { parseCount = count; }
    void RememberActiveControl() override { calls << QStringLiteral("Remember"); }
    void RestoreActiveControl() override { calls << QStringLiteral("Restore"); }

private:
    BrowserPane* m_pane;
};

class FormFillerE2e : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        loginpages::AddPages();
        s_pane = new WebEnginePane(QStringLiteral("filler"));
        s_pane->widget()->resize(800, 600);
    }
    static void TearDownTestSuite() {
        delete s_pane;
        s_pane = nullptr;
    }

    void SetUp() override {
        App().CurrentUser = QStringLiteral("filler");
        App().PassPhrase = QStringLiteral("filler-pass");
        links = std::make_unique<Links>(QStringLiteral("filler"));
        log = std::make_unique<EventLog>(s_pane);
        host = std::make_unique<PaneHost>(s_pane);
        filler = std::make_unique<FormFiller>(*host);
        ASSERT_TRUE(LoadAndWait(*s_pane, *log, SharedSites().Url(QStringLiteral("/logout"))));
    }
    void TearDown() override { log->onTopDocumentComplete = nullptr; }

    // Opens the Link's page and fills every top-level document while its password has not
    // been sent, as the login decision does. Waits for the server's answer.
    bool LogIn(const QString& url, const QString& selectOption = {}) {
        Link* link = links->Add(QStringLiteral("Bank"), SecretCipher::EncryptMessage(url),
                                SecretCipher::EncryptMessage(QString::fromLatin1(TestSites::kUser)),
                                SecretCipher::EncryptMessage(QString::fromLatin1(TestSites::kPassword)),
                                selectOption, QString(), false, true);
        const int index = link->Index() - 1;
        log->onTopDocumentComplete = [this, link, index](const QString& completed) {
            if (link->PasswordSent()) return;
            parsed << completed;
            results << filler->ParsePage(s_pane->Document().get(), index, *link);
        };
        before = int(SharedSites().AcceptedLogins().size());
        refusedBefore = int(SharedSites().RefusedLogins().size());
        log->Clear();
        s_pane->Navigate2(url);
        const bool answered = WaitFor(
            [&] {
                return SharedSites().AcceptedLogins().size() > before ||
                       SharedSites().RefusedLogins().size() > refusedBefore;
            },
            15000);
        sent = link->PasswordSent();
        progress = link->ProgressValue();
        return answered;
    }
    QStringList Accepted() const { return SharedSites().AcceptedLogins().mid(before); }
    QStringList Refused() const { return SharedSites().RefusedLogins().mid(refusedBefore); }
    QString Events() const { return log->events.join(QLatin1Char('\n')); }
    bool WelcomeShown() {
        return log->WaitFor(QStringLiteral("DocumentComplete top ") +
                            SharedSites().Url(QStringLiteral("/welcome")));
    }

    static WebEnginePane* s_pane;
    TempStore temp;
    std::unique_ptr<Links> links;
    std::unique_ptr<EventLog> log;
    std::unique_ptr<PaneHost> host;
    std::unique_ptr<FormFiller> filler;
    QStringList parsed;
    QList<bool> results;
    int before = 0;
    int refusedBefore = 0;
    bool sent = false;
    int progress = -1;
};

WebEnginePane* FormFillerE2e::s_pane = nullptr;

} // namespace

TEST_F(FormFillerE2e, PlainFormLogsInThroughItsSubmitButton) {
    ASSERT_TRUE(LogIn(SharedSites().Url(QStringLiteral("/login")))) << Events().toStdString();
    EXPECT_EQ(Accepted(), QStringList{"alice/p"});
    EXPECT_EQ(results, QList<bool>{true});
    EXPECT_TRUE(sent);
    EXPECT_EQ(progress, 0);
    EXPECT_TRUE(WelcomeShown());
    // The page after the login has no form to fill: the filler was not asked again.
    EXPECT_EQ(parsed.size(), 1);
    EXPECT_TRUE(host->calls.isEmpty());
}

TEST_F(FormFillerE2e, FormLayoutsThatStillLogIn) {
    for (const loginpages::Layout& c : loginpages::kLayouts) {
        SCOPED_TRACE(c.path);
        results.clear();
        ASSERT_TRUE(LogIn(SharedSites().Url(QLatin1String(c.path)), QLatin1String(c.option)))
            << Events().toStdString();
        EXPECT_EQ(Accepted(), QStringList{QString::fromLatin1(c.accepted)});
        EXPECT_TRUE(Refused().isEmpty());
        EXPECT_EQ(results, QList<bool>{true});
        EXPECT_TRUE(WelcomeShown()) << Events().toStdString();
        ASSERT_TRUE(LoadAndWait(*s_pane, *log, SharedSites().Url(QStringLiteral("/logout"))));
    }
    // The card-number form was never submitted.
    EXPECT_EQ(SharedSites().main().CountRequests(QStringLiteral("/fill/nowhere")), 0);
}

TEST_F(FormFillerE2e, LoginFormInASameOriginFrameIsFilledInPlace) {
    ASSERT_TRUE(LogIn(SharedSites().Url(QStringLiteral("/fill/frame-same")))) << Events().toStdString();
    EXPECT_EQ(Accepted(), QStringList{"alice"});
    EXPECT_EQ(results, QList<bool>{true});
    // The frame moved on to the welcome page; the frameset stayed.
    EXPECT_TRUE(log->WaitFor(QStringLiteral("DocumentComplete frame ") +
                             SharedSites().Url(QStringLiteral("/welcome"))));
    EXPECT_EQ(s_pane->LocationURL(), SharedSites().Url(QStringLiteral("/fill/frame-same")));
    EXPECT_TRUE(host->calls.isEmpty());
}

TEST_F(FormFillerE2e, LoginPageInAFrameFromAnotherSiteIsLoadedInThePaneAndFilledThere) {
    ASSERT_TRUE(LogIn(SharedSites().Url(QStringLiteral("/fill/frame-cross")))) << Events().toStdString();
    EXPECT_EQ(Accepted(), QStringList{"alice"});
    const QString frameUrl = SharedSites().OtherUrl(QStringLiteral("/fill/frame-login"));
    EXPECT_EQ(host->calls, QStringList{"NavigatePane 0 " + frameUrl});
    // The frameset "needed nothing" (its frame was handed to the pane); the frame's page,
    // loaded on its own, was filled and submitted.
    EXPECT_EQ(parsed, (QStringList{SharedSites().Url(QStringLiteral("/fill/frame-cross")), frameUrl}));
    EXPECT_EQ(results, (QList<bool>{true, true}));
    EXPECT_TRUE(WelcomeShown());
}

TEST_F(FormFillerE2e, FrameworkPageSeesTheValuesThroughItsOwnListeners) {
    ASSERT_TRUE(LogIn(SharedSites().Url(QStringLiteral("/fill/framework")))) << Events().toStdString();
    EXPECT_EQ(Accepted(), QStringList{"alice"});
    EXPECT_TRUE(Refused().isEmpty());
    // Its <button> is the form's submit control: clicked, no Enter and no focus handling.
    EXPECT_TRUE(host->calls.isEmpty());
    EXPECT_TRUE(WelcomeShown());
}

TEST_F(FormFillerE2e, TheWrittenPasswordNeverReachesTheFieldsMarkup) {
    // A fresh snapshot after the fill: the value is in the field, not in its markup.
    Link* link = links->Add(
        QStringLiteral("Bank"), SecretCipher::EncryptMessage(SharedSites().Url("/fill/option")),
        SecretCipher::EncryptMessage(QStringLiteral("nobody")),
        SecretCipher::EncryptMessage(QStringLiteral("pw-in-markup?")), QString(), QString(), false, true);
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, SharedSites().Url(QStringLiteral("/fill/option"))));
    // Filled but not submitted: a special-site parse that defers its click.
    LoginSites sites;
    sites.specialSitePrefix = SharedSites().Url(QStringLiteral("/fill/"));
    FormFiller deferring(*host, sites);
    EXPECT_FALSE(deferring.ParsePage(s_pane->Document().get(), 0, *link));
    bool applied = false;
    s_pane->ApplyActions([&](bool) { applied = true; });
    ASSERT_TRUE(WaitFor([&] { return applied; }));
    DocumentPtr fresh;
    s_pane->RefreshDocument([&](DocumentPtr d) { fresh = d; });
    ASSERT_TRUE(WaitFor([&] { return fresh != nullptr; }));
    DomElement* pass = nullptr;
    for (DomElement* e : fresh->forms()[0]->elements())
        if (e->name() == "pass") pass = e;
    ASSERT_TRUE(pass);
    EXPECT_EQ(pass->value(), "pw-in-markup?");
    EXPECT_FALSE(pass->outerHTML().contains("pw-in-markup"));
    EXPECT_FALSE(FormFiller::LoggedHtml(pass).contains("pw-in-markup"));
}
