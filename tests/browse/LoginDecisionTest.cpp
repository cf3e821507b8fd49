// The login decision in the browse window over scripted panes: the fine rules of what a Link's
// completed pages lead to, and what a server's error answer does to a login under way.
#include "browse/LoginDecision.h"
#include "browse/engine/PageModelBuilder.h"
#include "browse/PaneArea.h"
#include "browse/TabColour.h"
#include "BrowseSupport.h"
#include "core/Clock.h"
#include "links/Links.h"

using namespace browsetest;

namespace {

// The elements the pane clicked since the last call.
QList<int> Clicks(RecordingPane& pane) {
    QList<int> out;
    for (const PageAction& a : pane.appliedActions())
        if (a.kind == PageAction::Click) out << a.element;
    pane.ClearRecords();
    return out;
}

PageModelBuilder FormPage(const QString& url, bool password) {
    PageModelBuilder page(url);
    page.Form("f");
    page.Input("text", "user");
    if (password) page.Input("password", "pass");
    page.Input("submit").Value("Go");
    page.EndForm();
    return page;
}

} // namespace

TEST(LoginDecision, ThePostLoginTextPicksOneControlInTwoPassesOnce) {
    BrowseWindow w({{"Bank", "http://bank.test/", false, true, "me", "pw"}});
    frmBrowse& browse = w.Load();
    Link& link = w.link("Bank");
    // The Link has logged in; the site's next page completes.
    const auto follow = [&](const QString& text, PageModelBuilder page) {
        page.BodyHtml(QStringLiteral("<p>Welcome</p>"));
        w.click(QStringLiteral("Bank"));
        link.SetNavigateAfterLogin(text);
        link.SetLoggedIn(true);
        w.pane(0).SimulateLoad(QStringLiteral("http://bank.test/start"), page.Build());
        return Clicks(w.pane(0));
    };
    PageModelBuilder names;
    names.Anchor("http://bank.test/mine", "My Accounts");
    const int accounts = names.Anchor("http://bank.test/acc", "  ACCOUNTS ").ref();
    EXPECT_EQ(follow("Accounts", names), QList<int>{accounts});
    EXPECT_EQ(link.ProgressText(), QStringLiteral("Going to link 'Accounts' - Bank  "));
    EXPECT_EQ(browse.TabColour(0), TabColour::Green);

    // Second pass: the first link whose address holds the text.
    PageModelBuilder addresses;
    addresses.Anchor("http://bank.test/mine", "My Accounts");
    const int statements = addresses.Anchor("http://bank.test/ACCOUNTS/list", "Statements").ref();
    EXPECT_EQ(follow("Accounts", addresses), QList<int>{statements});

    PageModelBuilder images;
    images.Input("image", "find").Alt("Search!");
    const int go = images.Input("image", "go").Alt("Go!").ref();
    EXPECT_EQ(follow("go", images), QList<int>{go});

    // Nothing matches: looked for all the same, and not again on the next page.
    PageModelBuilder none;
    none.Anchor("http://bank.test/help", "Help");
    EXPECT_EQ(follow("Accounts", none), QList<int>{});
    EXPECT_TRUE(link.NavigateAfterLoginDone());
    names.BodyHtml(QStringLiteral("<p>Accounts</p>"));
    w.pane(0).SimulateLoad(QStringLiteral("http://bank.test/acc"), names.Build());
    EXPECT_EQ(Clicks(w.pane(0)), QList<int>{});
}

TEST(LoginDecision, PagesWithoutAFormLookLoggedInByTheirLinksOrShowSoon) {
    BrowseWindow w({{"Bank", "http://bank.test/", false, true, "me", "pw"}, {"News", "http://news.test/"}});
    frmBrowse& browse = w.Load();
    const QDateTime start = BrowseWindow::freezeClock();
    Link& link = w.link("Bank");
    const auto open = [&](const QString& linkText) {
        PageModelBuilder page("http://bank.test/");
        page.Anchor("http://bank.test/hours", "Opening hours");
        if (!linkText.isNull()) page.Anchor("http://bank.test/out", linkText);
        w.click(QStringLiteral("Bank"));
        w.pane(0).SimulateLoad(QStringLiteral("http://bank.test/"), page.Build());
    };

    // No form, no frame, no way out: the page shows after five seconds.
    open(QString());
    EXPECT_FALSE(link.LoggedIn());
    EXPECT_EQ(link.LoginTimeOut(), start.addSecs(LoginDecision::kNoFormSeconds));
    EXPECT_TRUE(browse.IsPlaceholderShown());
    Clock::Advance(5000);
    browse.tmrShowPage_Timer();
    EXPECT_EQ(browse.Panes().Front(), 0);

    // A "Sign Out" link, or one without text, shows a logged-in page: taken as such at once.
    for (const QString& text : {QStringLiteral(" Sign Out "), QStringLiteral("")}) {
        open(text);
        EXPECT_TRUE(link.LoggedIn() && link.LoginAssumed());
        EXPECT_EQ(link.ProgressText(), QStringLiteral("Could not Log-In"));
        EXPECT_FALSE(browse.IsPlaceholderShown());
    }
    EXPECT_FALSE(LoginDecision::InLogoutList(QStringLiteral("Sign Outside")));

    // A Link without login never waits, whatever its page holds.
    w.click(QStringLiteral("News"));
    w.pane(1).SimulateLoad(QStringLiteral("http://news.test/"));
    EXPECT_FALSE(w.link("News").LoginTimeOut().isValid());
    EXPECT_EQ(browse.Panes().Front(), 1);
    Clock::Reset();
}

TEST(LoginDecision, TheSignInServiceImageOnceAndTheSiteThatWantsASecondFill) {
    BrowseWindow w({{"Bank", "http://bank.test/", false, true, "me@mail.test", "pw"}});
    frmBrowse& browse = w.Load();
    LoginSites sites;
    sites.signInServiceDomain = QStringLiteral("signin.test");
    sites.signInImageSrc = QStringLiteral("signin.gif");
    sites.signInImageAlt = QStringLiteral("Sign-in Service");
    sites.specialSitePrefix = QStringLiteral("http://twice.test/");
    sites.specialSiteWord = QStringLiteral("twice");
    browse.Login().SetSites(sites);
    BrowseWindow::freezeClock();
    Link& link = w.link("Bank");
    RecordingPane& pane = w.pane(0);

    // A user name for the sign-in service, a page without a login form: its image is clicked
    // once; the next page that is not the service's is taken as logged in.
    PageModelBuilder page = FormPage("http://bank.test/", false);
    const int image = page.Image("http://img.test/SIGNIN.GIF", "Use your Sign-in Service account").ref();
    w.click(QStringLiteral("Bank"));
    pane.SimulateLoad(QStringLiteral("http://bank.test/"), page.Build());
    EXPECT_EQ(Clicks(pane), QList<int>{image});
    EXPECT_FALSE(link.LoggedIn());
    EXPECT_TRUE(browse.IsPlaceholderShown());
    pane.SimulateLoad(QStringLiteral("http://bank.test/"), page.Build());
    EXPECT_EQ(Clicks(pane), QList<int>{});
    EXPECT_TRUE(link.LoginAssumed());
    EXPECT_FALSE(browse.IsPlaceholderShown());

    // Filled now, its button pressed by the busy timer's parse a second later.
    PageModelBuilder twice = FormPage("http://twice.test/login", true);
    w.click(QStringLiteral("Bank"));
    pane.SimulateLoad(QStringLiteral("http://twice.test/login"), twice.Build());
    EXPECT_FALSE(link.PasswordSent());
    Clock::Advance(999);
    browse.tmrBusy_Timer();
    EXPECT_FALSE(link.PasswordSent());
    Clock::Advance(1);
    browse.tmrBusy_Timer();
    pane.ApplyActions();
    EXPECT_TRUE(link.PasswordSent());
    EXPECT_EQ(Clicks(pane).size(), 1);
    Clock::Reset();
}

TEST(LoginDecision, AServerErrorAnswerIsNoLoginAndShowsAtOnce) {
    BrowseWindow w({{"Bank", "http://bank.test/login", false, true, "me", "pw"}});
    frmBrowse& browse = w.Load();
    BrowseWindow::freezeClock();
    Link& link = w.link("Bank");
    RecordingPane& pane = w.pane(0);
    // The engine commits a server's error page before it reports the error.
    const auto serverError = [&](const QString& url, long code) {
        pane.RaiseBeforeNavigate2(url);
        pane.RaiseDownloadBegin();
        pane.SetLocation(url);
        pane.SetDocument(PageModel::Empty(url, 2)->documentPtr());
        pane.RaiseNavigateComplete2(url);
        const bool takenAsAnswer = link.LoggedIn();
        pane.SetErrorPage(true);
        pane.RaiseNavigateError(url, code);
        pane.RaiseDownloadComplete();
        pane.RaiseDocumentComplete(url);
        pane.SetErrorPage(false);
        return takenAsAnswer;
    };
    w.click(QStringLiteral("Bank"));
    pane.SimulateLoad(QStringLiteral("http://bank.test/login"),
                      FormPage("http://bank.test/login", true).Build());
    ASSERT_TRUE(link.PasswordSent());
    EXPECT_TRUE(serverError(QStringLiteral("http://bank.test/login/failed"), 401));
    EXPECT_FALSE(link.LoggedIn());
    EXPECT_TRUE(link.NavigationError());
    EXPECT_LE(link.LoginTimeOut(), Clock::Now());
    browse.tmrShowPage_Timer();
    EXPECT_EQ(browse.Panes().Front(), 0);

    // A Link logged in before stays so when a later page of it fails.
    w.click(QStringLiteral("Bank"));
    link.SetLoggedIn(true);
    serverError(QStringLiteral("http://bank.test/gone"), 404);
    EXPECT_TRUE(link.LoggedIn());
    Clock::Reset();
}

TEST(LoginDecision, APageReachedPastACertificateErrorIsNeverFilled) {
    BrowseWindow w({{"Bank", "https://bank.test/", false, true, "me", "pw"}});
    w.Load();
    const auto open = [&](bool overridden) {
        w.click(QStringLiteral("Bank"));
        w.pane(0).ClearRecords();
        w.pane(0).SetCertificateOverridden(overridden);
        w.pane(0).SimulateLoad(QStringLiteral("https://bank.test/login"),
                               FormPage(QStringLiteral("https://bank.test/login"), true).Build());
        return w.pane(0).appliedActions().size();
    };
    EXPECT_EQ(open(true), 0);
    EXPECT_FALSE(w.link(QStringLiteral("Bank")).PasswordSent());
    EXPECT_GT(open(false), 0);
    EXPECT_TRUE(w.link(QStringLiteral("Bank")).PasswordSent());
}
