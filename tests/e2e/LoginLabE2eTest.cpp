// Auto-login on the pages of today, end to end, as a user meets it: the real browse window on
// the real engine, Links marked "Load At Start" that open at start behind the first one (their
// panes never shown), nothing clicked. The lab's server says what each page received.
#include <gtest/gtest.h>

#include "browse/BrowseWindow.h"
#include "core/AppState.h"
#include "e2e/E2eSupport.h"
#include "links/Links.h"
#include "sites/TestSites.h"

namespace {

using sites::LoginLab;

LoginLab& Lab() {
    static LoginLab lab;
    return lab;
}

// Empty when the page received what its Link had to deliver at an address ending in /got, and
// nothing anywhere else (for a page that is no login: nothing at all); else what it did receive.
QString Mismatch(const LoginLab::Page& page) {
    bool delivered = page.expected.isEmpty();
    for (const LoginLab::Sent& sent : Lab().Received(page.name)) {
        if (page.expected.isEmpty() || !sent.path.endsWith("/got"))
            return "received " + Lab().Describe(page.name);
        bool all = true;
        for (QString want : page.expected) {
            want.replace("USER", LoginLab::kUser).replace("PASS", LoginLab::kPassword);
            const QString field = want.section('=', 0, 0);
            all = all && sent.fields.contains(field) && sent.fields.value(field) == want.section('=', 1);
        }
        delivered = delivered || all;
    }
    return delivered ? QString()
                     : "expected " + page.expected.join(' ') + ", received: " + Lab().Describe(page.name);
}

class LoginLabE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Lab().ok());
        Lab().Forget();
        App().CurrentUser = "lab";
        App().PassPhrase = "lab pass";
    }
    // A window whose Links all load at start: one without a login first (it stays in front),
    // then one per page, each behind it. The Link of "away" may fill a login of the other site.
    void Start(const QList<LoginLab::Page>& pages) {
        QList<E2eLink> links{{"Home", Lab().Url("/home"), {}, {}, {}, {}, true}};
        for (const LoginLab::Page& p : pages) {
            E2eLink& link = links.emplace_back(E2eLink{p.name, Lab().Url('/' + QLatin1String(p.name)),
                                                       LoginLab::kUser, LoginLab::kPassword, p.option});
            link.loadAtStart = true;
            if (QLatin1String(p.name) == "away" && !p.expected.isEmpty())
                link.alsoAllowedSite = "elsewhere.localhost";
        }
        StoreLinks(links);
        window = std::make_unique<E2eWindow>();
        window->browse->OnLoadFavoritesTimer();
    }
    Link& LinkOf(const char* caption) { return window->link(caption); }

    TempStore store;
    std::unique_ptr<E2eWindow> window;
};

} // namespace

TEST_F(LoginLabE2e, TodaysLoginPagesLogInFromTheBackground) {
    QList<LoginLab::Page> pages = LoginLab::Pages(true);
    // "away" leads to a login page of another site: filled only by a Link with leave for that site.
    pages << LoginLab::Pages(false).last();
    ASSERT_EQ(QLatin1String(pages.last().name), "away");
    pages.last().expected = QStringList{"user=USER", "pass=PASS"};
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
    const QList<LoginLab::Page> pages = LoginLab::Pages(false);
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
