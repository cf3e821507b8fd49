// Auto-login on the pages of today, end to end, as a user meets it: the real browse window on
// the real engine, Links marked "Load At Start" that open at start behind the first one (their
// panes never shown), nothing clicked. The lab's server says what each page received.
#include <gtest/gtest.h>

#include "browse/BrowseWindow.h"
#include "core/AppState.h"
#include "e2e/E2eSupport.h"
#include "links/Links.h"
#include "sites/LoginLab.h"

namespace {

using sites::LoginLab;

LoginLab& Lab() {
    static LoginLab lab;
    return lab;
}

// Empty when the page received what its Link had to deliver at an address ending in /got, and
// nothing anywhere else but a next step (for a page that is no login: nothing at all); else
// what it did receive.
QString Mismatch(const LoginLab::Page& page) {
    const QString name = QLatin1String(page.name);
    bool delivered = page.expected.isEmpty();
    for (const LoginLab::Sent& sent : Lab().Received(name)) {
        if (page.expected.isEmpty() || !sent.path.endsWith(QLatin1String("/got"))) {
            if (sent.path.endsWith(QLatin1String("/next"))) continue;
            return QStringLiteral("received ") + Lab().Describe(name);
        }
        bool all = true;
        for (QString want : page.expected) {
            want.replace(QLatin1String("USER"), QLatin1String(LoginLab::kUser))
                .replace(QLatin1String("PASS"), QLatin1String(LoginLab::kPassword));
            const QString field = want.section(QLatin1Char('='), 0, 0);
            all = all && sent.fields.contains(field) &&
                  sent.fields.value(field) == want.section(QLatin1Char('='), 1);
        }
        delivered = delivered || all;
    }
    return delivered ? QString()
                     : QStringLiteral("expected %1, received: %2")
                           .arg(page.expected.join(QLatin1Char(' ')), Lab().Describe(name));
}

class LoginLabE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Lab().ok());
        Lab().Forget();
        App().CurrentUser = QStringLiteral("lab");
        App().PassPhrase = QStringLiteral("lab pass");
    }
    // A window whose Links all load at start: one without a login first (it stays in front),
    // then one per page that logs in, each behind it.
    void Start(const QList<LoginLab::Page>& pages) {
        QList<E2eLink> links{{"Home", Lab().Url(QStringLiteral("/home")), {}, {}, {}, {}, true}};
        for (const LoginLab::Page& p : pages)
            links.append({p.name,
                          Lab().Url(QLatin1Char('/') + QLatin1String(p.name)),
                          LoginLab::kUser,
                          LoginLab::kPassword,
                          p.option,
                          {},
                          true});
        StoreLinks(links);
        window = std::make_unique<E2eWindow>();
        window->browse->OnLoadFavoritesTimer();
    }
    Link& LinkOf(const char* caption) { return window->link(QLatin1String(caption)); }

    TempStore store;
    std::unique_ptr<E2eWindow> window;
};

} // namespace

TEST_F(LoginLabE2e, TodaysLoginPagesLogInFromTheBackground) {
    const QList<LoginLab::Page> pages = LoginLab::Layouts();
    Start(pages);
    WaitFor(
        [&] {
            for (const LoginLab::Page& page : pages)
                if (!Mismatch(page).isEmpty() || !LinkOf(page.name).LoggedIn()) return false;
            return true;
        },
        90000);
    for (const LoginLab::Page& page : pages) {
        SCOPED_TRACE(std::string(page.name) + ": " + page.about);
        EXPECT_EQ(Mismatch(page), QString());
        const Link& link = LinkOf(page.name);
        EXPECT_TRUE(link.LoggedIn() && !link.LoginAssumed()) << link.ProgressText().toStdString();
        // The Links stayed behind the first one, which was never covered.
        EXPECT_NE(window->browse->LinkList().Visible(), link.Index());
    }
}

TEST_F(LoginLabE2e, PagesThatAreNoLoginOfTheLinksSiteReceiveNothing) {
    const QList<LoginLab::Page> pages = LoginLab::WrongPages();
    Start(pages);
    // Each ends as "Could not Log-In" with nothing sent.
    EXPECT_TRUE(WaitFor(
        [&] {
            for (const LoginLab::Page& page : pages)
                if (!LinkOf(page.name).LoginAssumed()) return false;
            return true;
        },
        40000));
    Pump(3000); // a page watched for a late login form has its chance to go wrong
    for (const LoginLab::Page& page : pages) {
        SCOPED_TRACE(std::string(page.name) + ": " + page.about);
        EXPECT_EQ(Mismatch(page), QString());
        EXPECT_EQ(LinkOf(page.name).ProgressText(), QStringLiteral("Could not Log-In"));
    }
}

TEST_F(LoginLabE2e, ALoginOnAnotherSiteIsFilledWhenTheLinkAllowsThatSite) {
    // "away" leads to a login page of another site, which the Link without leave may not fill.
    LoginLab::Page away = LoginLab::WrongPages().last();
    ASSERT_EQ(QLatin1String(away.name), QLatin1String("away"));
    away.expected = QStringList{"user=USER", "pass=PASS"};
    StoreLinks(
        {{"Home", Lab().Url(QStringLiteral("/home")), {}, {}, {}, {}, true},
         {"away", Lab().Url(QStringLiteral("/away")), LoginLab::kUser, LoginLab::kPassword, {}, {}, true}});
    {
        Links links(App().CurrentUser);
        Link* link = links.Item(PaneIndexOf(links, QStringLiteral("away")) + 1);
        link->SetAlsoAllowedSite(QStringLiteral("elsewhere.localhost"));
        links.SaveLink(link->Index());
    }
    window = std::make_unique<E2eWindow>();
    window->browse->OnLoadFavoritesTimer();
    Link& link = LinkOf("away");
    ASSERT_TRUE(WaitFor([&] { return link.LoggedIn() && !link.LoginAssumed(); }, 30000))
        << link.ProgressText().toStdString();
    EXPECT_EQ(Mismatch(away), QString());
}
