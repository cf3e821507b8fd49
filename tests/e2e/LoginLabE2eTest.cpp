// Auto-login on the pages of today, end to end, as a user meets it: the real browse window on
// the real engine, Links marked "Load At Start" that open at start behind the first one (their
// panes never shown), nothing clicked. The lab's server says what each page received.
#include <algorithm>
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
    QStringList want = page.expected;
    want.replaceInStrings("USER", LoginLab::kUser).replaceInStrings("PASS", LoginLab::kPassword);
    const QStringList got = Lab().Received(page.name);
    bool delivered = want.isEmpty();
    for (const QString& sent : got) {
        const QStringList words = sent.split(' ');
        if (want.isEmpty() || !words[1].endsWith("/got")) return "received " + got.join('\n');
        delivered = delivered || std::all_of(want.begin(), want.end(),
                                             [&](const QString& field) { return words.contains(field); });
    }
    return delivered ? QString() : "expected " + want.join(' ') + ", received: " + got.join('\n');
}

class LoginLabE2e : public ::testing::Test {
protected:
    void SetUp() override {
        Lab().Forget();
        App().CurrentUser = "lab";
        App().PassPhrase = "lab pass";
    }
    // A window whose Links all load at start: one without a login first (it stays in front),
    // then one per page, each behind it. The Link of "away" may fill a login of the other site.
    void Start(const QList<LoginLab::Page>& pages) {
        QList<E2eLink> links{{"Home", Lab().Url("/home"), {}, {}, {}, {}, true}};
        for (const LoginLab::Page& p : pages) {
            const QString name = QLatin1String(p.name);
            const QString leave = name == "away" && !p.expected.isEmpty() ? "elsewhere.localhost" : "";
            links.append(E2eLink{name, Lab().Url('/' + name), LoginLab::kUser, LoginLab::kPassword, p.option,
                                 QString(), true, leave});
        }
        StoreLinks(links);
        window = std::make_unique<E2eWindow>();
        window->browse->OnLoadFavoritesTimer();
    }

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
                if (!Mismatch(page).isEmpty() || !window->link(page.name).LoggedIn()) return false;
            return true;
        },
        90000);
    for (const LoginLab::Page& page : pages) {
        SCOPED_TRACE(std::string(page.name) + ": " + page.about);
        EXPECT_EQ(Mismatch(page), QString());
        const Link& link = window->link(page.name);
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
                if (!window->link(page.name).LoginAssumed()) return false;
            return true;
        },
        40000));
    QTest::qWait(3000); // a page watched for a late login form has its chance to go wrong
    for (const LoginLab::Page& page : pages) {
        SCOPED_TRACE(std::string(page.name) + ": " + page.about);
        EXPECT_EQ(Mismatch(page), QString());
        EXPECT_EQ(window->link(page.name).ProgressText(), QStringLiteral("Could not Log-In"));
    }
}
