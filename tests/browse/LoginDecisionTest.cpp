// The login decision in the browse window over scripted panes: the fine rules of what a Link's
// completed pages lead to, and what a server's error answer does to a login under way.
#include <QFile>
#include <QTemporaryDir>

#include "browse/engine/PageModelBuilder.h"
#include "browse/LoginDecision.h"
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

TEST(LoginDecision, ThePostLoginTextPicksOneControlInTwoPassesOnce) {
    BrowseFixture w({{"Bank", "http://bank.test/", false, true, "me", "pw"}});
    BrowseWindow& browse = w.Load();
    Link& link = w.link("Bank");
    // The Link has logged in; the site's next page completes.
    const auto follow = [&](const QString& text, PageModelBuilder page) {
        page.BodyContent();
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
    names.BodyContent();
    w.pane(0).SimulateLoad(QStringLiteral("http://bank.test/acc"), names.Build());
    EXPECT_EQ(Clicks(w.pane(0)), QList<int>{});
}

TEST(LoginDecision, PagesWithoutAFormLookLoggedInByTheirLinksOrShowSoon) {
    BrowseFixture w({{"Bank", "http://bank.test/", false, true, "me", "pw"}, {"News", "http://news.test/"}});
    BrowseWindow& browse = w.Load();
    const QDateTime start = BrowseFixture::freezeClock();
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
    browse.OnShowPageTimer();
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
    PageModelBuilder twice = FormPage("http://twice.bank.test/login", true);
    w.click(QStringLiteral("Bank"));
    pane.SimulateLoad(QStringLiteral("http://twice.bank.test/login"), twice.Build());
    EXPECT_FALSE(link.PasswordSent());
    Clock::Advance(999);
    browse.OnBusyTimer();
    EXPECT_FALSE(link.PasswordSent());
    Clock::Advance(1);
    browse.OnBusyTimer();
    pane.ApplyActions();
    EXPECT_TRUE(link.PasswordSent());
    EXPECT_EQ(Clicks(pane).size(), 1);
    Clock::Reset();
}

TEST(LoginDecision, AServerErrorAnswerIsNoLoginAndShowsAtOnce) {
    BrowseFixture w({{"Bank", "http://bank.test/login", false, true, "me", "pw"}});
    BrowseWindow& browse = w.Load();
    BrowseFixture::freezeClock();
    Link& link = w.link("Bank");
    RecordingPane& pane = w.pane(0);
    // The engine commits a server's error page before it reports the error.
    const auto serverError = [&](const QString& url, long code, DocumentPtr page = {}) {
        pane.RaiseBeforeNavigate2(url);
        pane.RaiseDownloadBegin();
        pane.SetLocation(url);
        pane.SetHtmlDocument(true);
        pane.SetDocument(page ? page : PageModel::Empty(url, 2)->documentPtr());
        pane.RaiseNavigateComplete2(url);
        const bool takenAsAnswer = link.LoggedIn();
        pane.SetErrorPage(true);
        pane.RaiseNavigateError(url, code);
        pane.RaiseDownloadComplete();
        pane.RaiseDocumentComplete(url);
        pane.SetErrorPage(false);
        return takenAsAnswer;
    };
    // Some sites send their login page with 401 or 403: it is filled like any other ...
    w.click(QStringLiteral("Bank"));
    serverError(QStringLiteral("http://bank.test/login"), 403,
                FormPage("http://bank.test/login", true).Build());
    EXPECT_EQ(Clicks(pane).size(), 1);
    ASSERT_TRUE(link.PasswordSent());
    // ... but the error answer to it is a refusal, never filled again, even with the form.
    EXPECT_TRUE(serverError(QStringLiteral("http://bank.test/login/failed"), 401,
                            FormPage("http://bank.test/login/failed", true).Build()));
    EXPECT_TRUE(Clicks(pane).isEmpty());
    EXPECT_FALSE(link.LoggedIn());
    EXPECT_TRUE(link.NavigationError());
    EXPECT_LE(link.LoginTimeOut(), Clock::Now());
    browse.OnShowPageTimer();
    EXPECT_EQ(browse.Panes().Front(), 0);

    // A Link logged in before stays so when a later page of it fails.
    w.click(QStringLiteral("Bank"));
    link.SetLoggedIn(true);
    serverError(QStringLiteral("http://bank.test/gone"), 404);
    EXPECT_TRUE(link.LoggedIn());
    Clock::Reset();
}

TEST(LoginDecision, APendingLoginEndsOnAPageOfAnotherSiteWithNothingFilled) {
    BrowseFixture w({{"Bank", "https://bank.test/", false, true, "me", "pw"}});
    BrowseWindow& browse = w.Load();
    Link& link = w.link("Bank");
    for (const char* away : {"https://bank-login.test/", "http://bank.test/login"}) {
        SCOPED_TRACE(away);
        w.click(QStringLiteral("Bank"));
        w.pane(0).ClearRecords();
        w.pane(0).SimulateLoad(QLatin1String(away), FormPage(QLatin1String(away), true).Build());
        EXPECT_TRUE(w.pane(0).appliedActions().isEmpty());
        EXPECT_TRUE(link.LoginAssumed() && !link.PasswordSent());
        EXPECT_EQ(link.ProgressText(), QStringLiteral("Could not Log-In"));
        EXPECT_FALSE(browse.IsPlaceholderShown());
    }
}

TEST(LoginDecision, TheWatchedPageFillsAFormThatAppearsLateAndTakesAnAnswerWithoutANewPage) {
    BrowseFixture w({{"Bank", "http://bank.test/", false, true, "me", "pw"}});
    BrowseWindow& browse = w.Load();
    BrowseFixture::freezeClock();
    Link& link = w.link("Bank");
    RecordingPane& pane = w.pane(0);
    const auto change = [&](PageModelBuilder page, const QString& at = QStringLiteral("http://bank.test/")) {
        pane.SetLocation(at);
        pane.SetDocument(page.Build(3));
        pane.RaisePageChanged();
        return Clicks(pane);
    };
    // The page has only a search form when it completes: no login form to be found yet.
    PageModelBuilder search("http://bank.test/");
    search.Form("s");
    search.Input("text", "q");
    search.EndForm();
    w.click(QStringLiteral("Bank"));
    EXPECT_TRUE(browse.Panes().IsWorking(0));
    pane.SimulateLoad(QStringLiteral("http://bank.test/"), search.Build());
    EXPECT_TRUE(link.LoginAssumed());
    EXPECT_TRUE(pane.watchingPage());
    // Its script builds the login form: the login goes on after all.
    EXPECT_EQ(change(search).size(), 0);
    EXPECT_EQ(change(FormPage("http://bank.test/", true)).size(), 1);
    EXPECT_TRUE(link.PasswordSent() && !link.LoginAssumed());
    EXPECT_TRUE(browse.IsPlaceholderShown());
    // The script sends it and moves the address on: that is the answer.
    EXPECT_EQ(change(FormPage("http://bank.test/", true)).size(), 0);
    EXPECT_FALSE(link.LoggedIn());
    PageModelBuilder home("http://bank.test/home");
    home.Anchor("http://bank.test/logout", "Sign out");
    change(home, QStringLiteral("http://bank.test/home"));
    EXPECT_TRUE(link.LoggedIn() && !link.LoginAssumed());
    EXPECT_EQ(browse.TabColour(0), TabColour::Green);
    browse.OnBusyTimer();
    EXPECT_FALSE(browse.Panes().IsWorking(0));
    EXPECT_FALSE(pane.watchingPage());

    // The watch ends with the login time-out.
    w.click(QStringLiteral("Bank"));
    pane.SimulateLoad(QStringLiteral("http://bank.test/"), search.Build());
    Clock::Advance(25000);
    EXPECT_EQ(change(FormPage("http://bank.test/", true)).size(), 0);
    EXPECT_FALSE(pane.watchingPage());
    Clock::Reset();
}

TEST(LoginDecision, ATwoStepLoginIsOneLogin) {
    BrowseFixture w({{"Bank", "http://bank.test/", false, true, "me@bank.test", "pw"}});
    BrowseWindow& browse = w.Load();
    Link& link = w.link("Bank");
    RecordingPane& pane = w.pane(0);
    w.click(QStringLiteral("Bank"));
    pane.SimulateLoad(QStringLiteral("http://bank.test/signin"),
                      FormPage("http://bank.test/signin", false, "Next").Build());
    EXPECT_EQ(Clicks(pane).size(), 1);
    EXPECT_TRUE(link.IdentifierSent && !link.PasswordSent());
    EXPECT_EQ(link.ProgressText(), QStringLiteral("Signing In Bank  "));
    EXPECT_TRUE(browse.IsPlaceholderShown());
    // The password page that answers is not the login's answer: it is filled.
    pane.SimulateLoad(QStringLiteral("http://bank.test/password"),
                      FormPage("http://bank.test/password", true).Build());
    EXPECT_FALSE(link.LoggedIn());
    EXPECT_EQ(Clicks(pane).size(), 1);
    EXPECT_TRUE(link.PasswordSent());
    pane.SimulateLoad(QStringLiteral("http://bank.test/home"));
    EXPECT_TRUE(link.LoggedIn() && !link.LoginAssumed());
    // A site that asks for the user name again is not given it twice.
    w.click(QStringLiteral("Bank"));
    for (int twice = 0; twice < 2; ++twice)
        pane.SimulateLoad(QStringLiteral("http://bank.test/signin"),
                          FormPage("http://bank.test/signin", false, "Next").Build());
    EXPECT_EQ(Clicks(pane).size(), 1);
    EXPECT_TRUE(link.LoginAssumed());

    // With many pages loading, the user name reaches the page long after it was decided on:
    // the password field the page then shows is waited for from that moment.
    BrowseFixture::freezeClock();
    w.click(QStringLiteral("Bank"));
    pane.HoldActions();
    pane.SimulateLoad(QStringLiteral("http://bank.test/signin"),
                      FormPage("http://bank.test/signin", false, "Next").Build());
    Clock::Advance(20000);
    pane.ReleaseActions();
    EXPECT_EQ(Clicks(pane).size(), 1);
    Clock::Advance(20000);
    EXPECT_TRUE(pane.watchingPage());
    pane.SetDocument(FormPage("http://bank.test/signin", true).Build(3));
    pane.RaisePageChanged();
    EXPECT_EQ(Clicks(pane).size(), 1);
    EXPECT_TRUE(link.PasswordSent());
    Clock::Reset();
}

TEST(LoginSites, TheTableIsTheProgramsConfigurationFile) {
    // The file shipped with the program holds the site values the program had compiled in.
    const LoginSites shipped = LoginSites::FromFile(QStringLiteral(BG_SOURCE_DIR "/config/login-sites.ini"));
    EXPECT_EQ(shipped.signInServiceDomain, "login.passport-example.test");
    EXPECT_EQ(shipped.signInImageAlt, ".NET Passport");
    EXPECT_EQ(shipped.specialSitePrefix, "https://secure.twoclick-example.test/");
    EXPECT_EQ(shipped.bankMainPage, "https://online.riverbank-example.test/main.html");
    EXPECT_EQ(shipped.SharedLoginSites(),
              (QStringList{"login.passport-example.test", "accounts.passport-example.test"}));
    // An administrator's file with one site; a missing file is an empty table.
    QTemporaryDir dir;
    QFile file(dir.filePath("login-sites.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("; ours\r\n[Bank]\r\nDomain = online.ourbank.test\r\n");
    file.close();
    const LoginSites ours = LoginSites::FromFile(file.fileName());
    EXPECT_EQ(ours.bankDomain, "online.ourbank.test");
    EXPECT_TRUE(ours.signInServiceDomain.isEmpty() && ours.SharedLoginSites().isEmpty());
    EXPECT_TRUE(LoginSites::FromFile(dir.filePath("none.ini")).bankDomain.isEmpty());
}

TEST(LoginDecision, APageReachedPastACertificateErrorIsNeverFilled) {
    BrowseFixture w({{"Bank", "https://bank.test/", false, true, "me", "pw"}});
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
