// The login decision in the browse window over scripted panes: the fine rules of what a Link's
// completed pages lead to.

#include "browse/LoginDecision.h"
#include "BrowseSupport.h"

namespace {

// The elements the pane clicked since the last call.
QList<int> Clicks(RecordingPane& pane) {
    QList<int> out;
    for (const PageAction& a : pane.appliedActions())
        if (a.kind == PageAction::Click) out << a.element;
    pane.ClearRecords();
    return out;
}

PageModelBuilder FormPage(const QString& url, bool password, const QString& button = QStringLiteral("Go")) {
    PageModelBuilder page(url);
    page.Form("f");
    page.Input("text", "user");
    if (password) page.Input("password", "pass");
    page.Input("submit").Value(button);
    page.EndForm();
    return page;
}

} // namespace

TEST(LoginDecision, TheSignInServiceImageOnceAndTheSiteThatWantsASecondFill) {
    BrowseFixture w({{"Bank", "http://bank.test/", false, true, "me@mail.test", "pw"}});
    BrowseWindow& browse = w.Load();
    LoginSites sites;
    sites.signInServiceDomain = QStringLiteral("signin.test");
    sites.signInImageSrc = QStringLiteral("signin.gif");
    sites.signInImageAlt = QStringLiteral("Sign-in Service");
    sites.specialSitePrefix = QStringLiteral("http://twice.bank.test/");
    sites.specialSiteWord = QStringLiteral("twice");
    browse.Login().SetSites(sites);
    BrowseFixture::freezeClock();
    Link& link = w.link("Bank");
    RecordingPane& pane = w.pane(0);

    // A user name for the sign-in service, a page without a login form: its image is clicked
    // once; the next page that is not the service's is taken as logged in.
    PageModelBuilder page = FormPage("http://bank.test/", false);
    const int image = page.Image("http://img.test/SIGNIN.GIF", "Use your Sign-in Service account").ref();
    w.click("Bank");
    pane.SimulateLoad("http://bank.test/", page.Build());
    EXPECT_EQ(Clicks(pane), QList<int>{image});
    EXPECT_FALSE(link.LoggedIn());
    EXPECT_TRUE(browse.IsPlaceholderShown());
    pane.SimulateLoad("http://bank.test/", page.Build());
    EXPECT_EQ(Clicks(pane), QList<int>{});
    EXPECT_TRUE(link.LoginAssumed());
    EXPECT_FALSE(browse.IsPlaceholderShown());

    // Filled now, its button pressed by the busy timer's parse a second later.
    PageModelBuilder twice = FormPage("http://twice.bank.test/login", true);
    w.click("Bank");
    pane.SimulateLoad("http://twice.bank.test/login", twice.Build());
    EXPECT_FALSE(link.PasswordSent());
    Clock::Advance(1000);
    browse.OnBusyTimer();
    pane.ApplyActions();
    EXPECT_TRUE(link.PasswordSent());
    EXPECT_EQ(Clicks(pane).size(), 1);
    Clock::Reset();
}

// (A login page sent with 401, a refused password, two steps and a form that appears late log in
// end to end: LoginLabE2e, Everyday.FilesSignInBoxesAutoLogin...)
TEST(LoginDecision, TheWatchForALateFormEndsWithTheTimeOutAndTheUserNameGoesOnce) {
    BrowseFixture w({{"Bank", "http://bank.test/", false, true, "me@bank.test", "pw"}});
    w.Load();
    BrowseFixture::freezeClock();
    Link& link = w.link("Bank");
    RecordingPane& pane = w.pane(0);
    const auto change = [&](PageModelBuilder page) {
        pane.SetDocument(page.Build(3));
        pane.RaisePageChanged();
        return Clicks(pane);
    };
    // The page has only a search form when it completes: watched for a login form until the
    // login time-out.
    PageModelBuilder search("http://bank.test/");
    search.Form("s");
    search.Input("text", "q");
    search.EndForm();
    w.click("Bank");
    pane.SimulateLoad("http://bank.test/", search.Build());
    EXPECT_TRUE(link.LoginAssumed() && pane.watchingPage());
    Clock::Advance(25000);
    EXPECT_EQ(change(FormPage("http://bank.test/", true)).size(), 0);
    EXPECT_FALSE(pane.watchingPage());

    // A site that asks for the user name again is not given it twice.
    w.click("Bank");
    for (int twice = 0; twice < 2; ++twice)
        pane.SimulateLoad("http://bank.test/signin",
                          FormPage("http://bank.test/signin", false, "Next").Build());
    EXPECT_EQ(Clicks(pane).size(), 1);
    EXPECT_TRUE(link.LoginAssumed());
    // With many pages loading, the user name reaches the page long after it was decided on:
    // the password field the page then shows is waited for from that moment.
    w.click("Bank");
    pane.HoldActions();
    pane.SimulateLoad("http://bank.test/signin", FormPage("http://bank.test/signin", false, "Next").Build());
    Clock::Advance(20000);
    pane.ReleaseActions();
    EXPECT_EQ(Clicks(pane).size(), 1);
    Clock::Advance(20000);
    EXPECT_TRUE(pane.watchingPage());
    EXPECT_EQ(change(FormPage("http://bank.test/signin", true)).size(), 1);
    EXPECT_TRUE(link.PasswordSent());
    Clock::Reset();
}
