// Auto-login on the pages of today, end to end, as a user meets it: the real browse window on
// the real engine, Links marked "Load At Start" that open at start behind the first one (their
// panes never shown), nothing clicked. The lab's server says what each page received.
#include <gtest/gtest.h>
#include <memory>

#include "browse/BrowseWindow.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/OfflineState.h"
#include "core/AppState.h"
#include "core/SecretCipher.h"
#include "e2e/E2eSupport.h"
#include "frame/MainWindow.h"
#include "links/Links.h"
#include "sites/LoginLab.h"

namespace {

using sites::LoginLab;

LoginLab& Lab() {
    static LoginLab lab;
    return lab;
}

// Empty when the page received what its Link had to deliver (or, for a page that is no login,
// nothing at all); else what it did receive.
QString Mismatch(const LoginLab::Page& page) {
    const QString name = QLatin1String(page.name);
    const QList<LoginLab::Sent> got = Lab().Received(name);
    if (page.expected.isEmpty())
        return got.isEmpty() ? QString() : QStringLiteral("received ") + Lab().Describe(name);
    const QString to = QStringLiteral("/%1/%2").arg(name, QLatin1String(page.to));
    for (const LoginLab::Sent& sent : got) {
        if (sent.path != to) continue;
        bool all = true;
        for (QString want : page.expected) {
            want.replace(QLatin1String("USER"), QLatin1String(LoginLab::kUser))
                .replace(QLatin1String("PASS"), QLatin1String(LoginLab::kPassword));
            const QString field = want.section(QLatin1Char('='), 0, 0);
            all = all && sent.fields.contains(field) &&
                  sent.fields.value(field) == want.section(QLatin1Char('='), 1);
        }
        if (all) return {};
    }
    return QStringLiteral("expected %1 at %2, received: %3")
        .arg(page.expected.join(QLatin1Char(' ')), to, Lab().Describe(name));
}

class LoginLabE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Lab().ok());
        Lab().Forget();
        OfflineState::SetConnectionProbe([] { return true; });
        App().CurrentUser = QStringLiteral("lab");
        App().PassPhrase = QStringLiteral("lab pass");
    }
    void TearDown() override {
        Close();
        OfflineState::SetConnectionProbe({});
    }
    void Close() {
        App().Unloading = true;
        frame.reset();
        App().Unloading = false;
    }

    // A window whose Links all load at start: one without a login first (it stays in front),
    // then one per page that logs in, each behind it.
    void Start(const QList<LoginLab::Page>& pages, const std::function<QString(const LoginLab::Page&)>& url) {
        const auto enc = [](const QString& text) { return SecretCipher::EncryptMessage(text); };
        {
            Links links(App().CurrentUser);
            links.Add(QStringLiteral("Home"), enc(Lab().Url(QStringLiteral("/home"))), QString(), QString(),
                      QString(), QString(), true, false, -1, false);
            for (const LoginLab::Page& page : pages)
                links.Add(QLatin1String(page.name), enc(url(page)), enc(QLatin1String(LoginLab::kUser)),
                          enc(QLatin1String(LoginLab::kPassword)), QString(), QString(), true, true, -1,
                          false);
        }
        Open();
    }
    // The browse window of the stored Links, their start-up navigation run.
    void Open() {
        frame = std::make_unique<MainWindow>();
        frame->show();
        const QString user = App().CurrentUser;
        browse = frame->LoadBrowseWindow([user](QWidget* parent) { return new WebEnginePane(user, parent); });
        browse->findChild<QTimer*>(QStringLiteral("loadFavoritesTimer"))->stop();
        browse->OnLoadFavoritesTimer();
    }
    Link& LinkOf(const char* caption) {
        for (Link* l : browse->links())
            if (l->Caption() == QLatin1String(caption)) return *l;
        throw std::runtime_error(caption);
    }

    TempStore store;
    std::unique_ptr<MainWindow> frame;
    BrowseWindow* browse = nullptr;
};

} // namespace

TEST_F(LoginLabE2e, TodaysLoginPagesLogInFromTheBackground) {
    const QList<LoginLab::Page>& pages = LoginLab::Layouts();
    Start(pages, [](const LoginLab::Page& p) { return Lab().Url(QLatin1Char('/') + QLatin1String(p.name)); });
    const auto allIn = [&] {
        for (const LoginLab::Page& page : pages)
            if (!Mismatch(page).isEmpty() || !LinkOf(page.name).LoggedIn()) return false;
        return true;
    };
    WaitFor(allIn, 60000);
    for (const LoginLab::Page& page : pages) {
        SCOPED_TRACE(
            QStringLiteral("%1: %2").arg(QLatin1String(page.name), QLatin1String(page.about)).toStdString());
        EXPECT_EQ(Mismatch(page), QString());
        const Link& link = LinkOf(page.name);
        EXPECT_TRUE(link.LoggedIn() && !link.LoginAssumed()) << link.ProgressText().toStdString();
        // The Links stayed behind the first one, which was never covered.
        EXPECT_NE(browse->links().Visible(), link.Index());
    }
    // Nothing went where no login was: the search and newsletter boxes, the sign-up form.
    EXPECT_TRUE(Lab().Received(QStringLiteral("mixed")).size() == 1) << Lab().Describe("mixed").toStdString();
    EXPECT_TRUE(Lab().Received(QStringLiteral("both")).size() == 1) << Lab().Describe("both").toStdString();
    EXPECT_TRUE(Lab().Received(QStringLiteral("late")).size() == 1) << Lab().Describe("late").toStdString();
}

TEST_F(LoginLabE2e, PagesThatAreNoLoginOfTheLinksSiteReceiveNothing) {
    const QList<LoginLab::Page>& pages = LoginLab::WrongPages();
    Start(pages, [](const LoginLab::Page& p) { return Lab().Url(QLatin1Char('/') + QLatin1String(p.name)); });
    // Each ends as "Could not Log-In" with nothing sent.
    const auto allGivenUp = [&] {
        for (const LoginLab::Page& page : pages)
            if (!LinkOf(page.name).LoginAssumed()) return false;
        return true;
    };
    EXPECT_TRUE(WaitFor(allGivenUp, 40000));
    Pump(3000); // a page watched for a late login form has its chance to go wrong
    for (const LoginLab::Page& page : pages) {
        SCOPED_TRACE(
            QStringLiteral("%1: %2").arg(QLatin1String(page.name), QLatin1String(page.about)).toStdString());
        EXPECT_EQ(Mismatch(page), QString());
        EXPECT_EQ(LinkOf(page.name).ProgressText(), QStringLiteral("Could not Log-In"));
    }
}

TEST_F(LoginLabE2e, ALoginOnAnotherSiteIsFilledWhenTheLinkAllowsThatSite) {
    // The Link's address leads to a login page of another site (which the Link without it may
    // not fill: see the page "away" above).
    const LoginLab::Page away = LoginLab::WrongPages().last();
    ASSERT_EQ(QLatin1String(away.name), QLatin1String("away"));
    {
        Links links(App().CurrentUser);
        links.Add(QStringLiteral("Home"), SecretCipher::EncryptMessage(Lab().Url(QStringLiteral("/home"))),
                  QString(), QString(), QString(), QString(), true, false, -1, false);
        Link* link = links.Add(QStringLiteral("away"),
                               SecretCipher::EncryptMessage(Lab().Url(QStringLiteral("/away"))),
                               SecretCipher::EncryptMessage(QLatin1String(LoginLab::kUser)),
                               SecretCipher::EncryptMessage(QLatin1String(LoginLab::kPassword)), QString(),
                               QString(), true, true, -1, false);
        link->SetAlsoAllowedSite(QStringLiteral("elsewhere.localhost"));
        links.SaveLink(link->Index());
    }
    Open();
    Link& link = LinkOf("away");
    EXPECT_EQ(link.AlsoAllowedSite(), QStringLiteral("elsewhere.localhost"));
    ASSERT_TRUE(WaitFor([&] { return link.LoggedIn() && !link.LoginAssumed(); }, 30000))
        << link.ProgressText().toStdString();
    EXPECT_EQ(Mismatch({"away", "", {"user=USER", "pass=PASS"}, "got"}), QString());
}
