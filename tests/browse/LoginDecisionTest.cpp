// The login decision in the browse window over scripted panes: what a Link's completed pages
// lead to (a form sent, a login taken as done, the post-login control used), and what a failed
// navigation does to a login under way.
#include <QDir>
#include <QFile>

#include "browse/engine/PageModelBuilder.h"
#include "browse/LoginDecision.h"
#include "browse/NavigationDriver.h"
#include "browse/PaneArea.h"
#include "browse/TabColour.h"
#include "BrowseSupport.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Log.h"
#include "frame/FrameStatusBar.h"
#include "links/Links.h"

using namespace browsetest;

namespace {

// The page actions the pane applied since the last call, as "Click #3", "SetValue #1", ...
// (images asked for again left out).
QStringList Applied(RecordingPane& pane) {
    QStringList out;
    for (const PageAction& a : pane.appliedActions())
        if (a.kind != PageAction::SetSrc) out << a.Describe();
    pane.ClearRecords();
    return out;
}

QString C(int ref) {
    return QStringLiteral("Click #%1").arg(ref);
}

// A page without forms whose only links are these (text, href).
DocumentPtr LinksPage(const QString& url, const QList<QPair<QString, QString>>& links) {
    PageModelBuilder page(url);
    for (const auto& [text, href] : links)
        page.Anchor(href, text);
    return page.Build();
}

// Records the notifications of one Link on their way to the window.
class NotificationSpy : public LinkOwner {
public:
    NotificationSpy(Link& link, LinkOwner& window) : m_link(link), m_window(window) { link.SetOwner(this); }
    ~NotificationSpy() override { m_link.SetOwner(&m_window); }
    QStringList calls;
    void PasswordSent(int i) override {
        calls << QStringLiteral("PasswordSent %1").arg(i);
        m_window.PasswordSent(i);
    }
    void LoggedIn(int i) override {
        calls << QStringLiteral("LoggedIn %1").arg(i);
        m_window.LoggedIn(i);
    }
    void LoginAssumed(int i) override {
        calls << QStringLiteral("LoginAssumed %1").arg(i);
        m_window.LoginAssumed(i);
    }
    void NavigationError(int i) override {
        calls << QStringLiteral("NavigationError %1").arg(i);
        m_window.NavigationError(i);
    }

private:
    Link& m_link;
    LinkOwner& m_window;
};

QStringList LogLines(const QString& file) {
    QFile log(modGeneral::LogFolder() + QLatin1Char('/') + file);
    if (!log.open(QIODevice::ReadOnly)) return {};
    QStringList lines;
    for (const QByteArray& line : log.readAll().split('\n'))
        if (!line.trimmed().isEmpty()) lines << QString::fromUtf8(line.trimmed()).mid(21);
    return lines;
}

} // namespace

TEST(LoginDecision, ThePostLoginTextPicksOneControlInTwoPasses) {
    BrowseWindow w({{"Bank", "http://bank.test/", false, true, "me", "pw"}});
    frmBrowse& browse = w.Load();
    Link& link = w.link("Bank");
    RecordingPane& pane = w.pane(0);
    // The Link logged in; the site's page completes.
    const auto after = [&](const QString& text, PageModelBuilder page) {
        page.BodyHtml(QStringLiteral("<p>Welcome</p>"));
        w.click(QStringLiteral("Bank"));
        link.SetNavigateAfterLogin(text);
        link.SetLoggedIn(true);
        pane.ClearRecords();
        pane.SimulateLoad(QStringLiteral("http://bank.test/start"), page.Build());
        return Applied(pane);
    };

    {
        // Whole text, trimmed, any case: not "My Accounts"; the list before it is walked too.
        PageModelBuilder page;
        const int list = page.Select("acct", {"Savings", "Loans"}).ref();
        page.Anchor("http://bank.test/mine", "My Accounts");
        const int accounts = page.Anchor("http://bank.test/acc", "  ACCOUNTS ").ref();
        EXPECT_EQ(after("Accounts", page),
                  QStringList({"SetSelected #" + QString::number(list + 1) + " false",
                               "SetSelected #" + QString::number(list + 2) + " false", C(accounts)}));
        EXPECT_TRUE(link.NavigateAfterLoginDone());
        EXPECT_EQ(link.ProgressText(), QStringLiteral("Going to link 'Accounts' - Bank  "));
        EXPECT_EQ(browse.TabColour(0), TabColour::Green);
        EXPECT_EQ(browse.ViewColour(), TabColour::Green);
    }
    {
        // Second pass: the first link whose address holds the text, in any case.
        PageModelBuilder page;
        page.Anchor("http://bank.test/mine", "My Accounts");
        const int statements = page.Anchor("http://bank.test/ACCOUNTS/list", "Statements").ref();
        page.Anchor("http://bank.test/accounts", "Overview");
        EXPECT_EQ(after("Accounts", page), QStringList{C(statements)});
    }
    {
        // Image buttons compare without punctuation; an anchor by its first inner element's alt.
        PageModelBuilder page;
        page.Input("image", "search").Alt("Search!");
        const int go = page.Input("image", "go").Alt("Go!").ref();
        EXPECT_EQ(after("go", page), QStringList{C(go)});
        PageModelBuilder linked;
        const auto img = linked.Child("IMG").Alt(" Continue ");
        const int anchor = linked.Anchor("http://bank.test/next", "").FirstChild(img).ChildCount(1).ref();
        EXPECT_EQ(after("continue", linked), QStringList{C(anchor)});
    }
    {
        // Buttons by their value; a list by its option, whose change event then fires.
        PageModelBuilder page;
        page.Input("button", "b1", "Statements");
        const int button = page.Input("submit", "b2", " Accounts ").ref();
        EXPECT_EQ(after("accounts", page), QStringList{C(button)});
        PageModelBuilder listed;
        const int list = listed.Select("to", {"Choose", "Accounts"}).OnClick("go(this)").ref();
        EXPECT_EQ(after("accounts", listed),
                  QStringList({"SetSelected #" + QString::number(list + 1) + " false",
                               "SetSelected #" + QString::number(list + 2) + " true",
                               "FireChange #" + QString::number(list)}));
    }
    {
        // Found only in a frame of the page.
        PageModelBuilder page;
        int inFrame = -1;
        page.CrossOriginFrame("http://ads.test/", "ads");
        page.Frame("http://bank.test/menu", "menu",
                   [&](PageModelBuilder& f) { inFrame = f.Anchor("http://bank.test/a", "Accounts").ref(); });
        EXPECT_EQ(after("Accounts", page), QStringList{C(inFrame)});
    }
    {
        // Nothing matches: looked for once all the same, not again on the next page.
        PageModelBuilder page;
        page.Anchor("http://bank.test/help", "Help");
        EXPECT_EQ(after("Accounts", page), QStringList());
        EXPECT_TRUE(link.NavigateAfterLoginDone());
        pane.SimulateLoad(QStringLiteral("http://bank.test/help"),
                          LinksPage("http://bank.test/help", {{"Accounts", "http://bank.test/acc"}}));
        EXPECT_EQ(Applied(pane), QStringList());
    }
}

TEST(LoginDecision, PagesWithoutAFormLookLoggedInByTheirLinksOrShowSoon) {
    BrowseWindow w({{"Bank", "http://bank.test/", false, true, "me", "pw"}, {"News", "http://news.test/"}});
    frmBrowse& browse = w.Load();
    const QDateTime start = BrowseWindow::freezeClock();
    Link& link = w.link("Bank");
    RecordingPane& pane = w.pane(0);
    const auto open = [&](const DocumentPtr& page) {
        w.click(QStringLiteral("Bank"));
        EXPECT_TRUE(browse.IsPlaceholderShown());
        pane.SimulateLoad(page->URL(), page);
    };

    // No form, no frame, no way out: the page shows after five seconds.
    open(LinksPage("http://bank.test/", {{"Opening hours", "http://bank.test/hours"}, {"Help", "/help"}}));
    EXPECT_FALSE(link.LoggedIn());
    EXPECT_EQ(link.LoginTimeOut(), start.addSecs(LoginDecision::kNoFormSeconds));
    Clock::Advance(4000);
    browse.tmrShowPage_Timer();
    EXPECT_TRUE(browse.IsPlaceholderShown());
    Clock::Advance(1000);
    browse.tmrShowPage_Timer();
    EXPECT_EQ(browse.Panes().Front(), 0);

    // A "Sign Out" link (or a link without text) shows a logged-in page: taken as logged in at
    // once, and the user is told the program did not log in itself.
    for (const QString& text : {QStringLiteral(" Sign Out "), QString()}) {
        SCOPED_TRACE(text.toStdString());
        open(LinksPage("http://bank.test/", {{"Accounts", "http://bank.test/acc"}, {text, "/out"}}));
        EXPECT_TRUE(link.LoggedIn());
        EXPECT_TRUE(link.LoginAssumed());
        EXPECT_FALSE(link.NavigateAfterLoginDone());
        EXPECT_EQ(link.ProgressText(), QStringLiteral("Could not Log-In"));
        EXPECT_EQ(w.frame().StatusBar().PanelText(1), QStringLiteral("Could not Log-In"));
        EXPECT_LT(link.LoginTimeOut(), Clock::Now());
        EXPECT_FALSE(browse.IsPlaceholderShown());
        EXPECT_EQ(browse.Panes().Front(), 0);
    }
    for (const char* text : {"logout", "Log Off", "SIGN-OFF", "out", "sign"})
        EXPECT_TRUE(LoginDecision::InLogoutList(QLatin1String(text))) << text;
    for (const char* text : {"Sign Outside", "Log in", "Accounts"})
        EXPECT_FALSE(LoginDecision::InLogoutList(QLatin1String(text))) << text;

    // A Link without login never waits, whatever its page holds.
    w.click(QStringLiteral("News"));
    w.pane(1).SimulateLoad(QStringLiteral("http://news.test/"),
                           LinksPage("http://news.test/", {{"World", "http://news.test/w"}}));
    EXPECT_FALSE(w.link("News").LoginTimeOut().isValid());
    EXPECT_FALSE(w.link("News").LoggedIn());
    EXPECT_EQ(browse.Panes().Front(), 1);
    Clock::Reset();
}

TEST(LoginDecision, PagesWithFormsThatCannotBeFilled) {
    BrowseWindow w({{"Bank", "http://bank.test/", false, true, "me@mail.test", "pw"}});
    frmBrowse& browse = w.Load();
    LoginSites sites;
    sites.signInServiceDomain = QStringLiteral("signin.test");
    sites.signInServiceDomain2 = QStringLiteral("account.signin.test");
    sites.signInImageSrc = QStringLiteral("signin.gif");
    sites.signInImageAlt = QStringLiteral("Sign-in Service");
    sites.specialSiteWord = QStringLiteral("twice");
    sites.specialSitePrefix = QStringLiteral("http://twice.test/");
    sites.bankStartAddress = QStringLiteral("http://www.bank.test/");
    sites.bankMainPage = QStringLiteral("http://online.bank.test/main");
    browse.Login().SetSites(sites);
    BrowseWindow::freezeClock();
    Link& link = w.link("Bank");
    RecordingPane& pane = w.pane(0);
    const auto searchForm = [](PageModelBuilder& page) {
        page.Form("search");
        page.Input("text", "q");
        page.EndForm();
    };
    const auto open = [&](const QString& url, const PageModelBuilder& page) {
        w.click(QStringLiteral("Bank"));
        pane.SimulateLoad(url, page.Build());
    };

    // A user name for the sign-in service: its image is clicked once; the next page without a
    // form of the service's is taken as logged in.
    PageModelBuilder site("http://bank.test/");
    searchForm(site);
    site.Image("http://img.test/other.gif", "Sign-in Service");
    const int image = site.Image("http://img.test/SIGNIN.GIF", "Use your Sign-in Service account").ref();
    open(QStringLiteral("http://bank.test/"), site);
    EXPECT_EQ(Applied(pane).filter(QStringLiteral("Click")), QStringList{C(image)});
    EXPECT_TRUE(link.SignInServiceUsed);
    EXPECT_FALSE(link.LoggedIn());
    EXPECT_TRUE(browse.IsPlaceholderShown());
    // (the click's page would come now; a page of the site itself is not filled)
    pane.SimulateLoad(QStringLiteral("http://bank.test/"), site.Build());
    EXPECT_EQ(Applied(pane).filter(QStringLiteral("Click")), QStringList());
    EXPECT_TRUE(link.LoginAssumed());
    EXPECT_EQ(link.ProgressText(), QStringLiteral("Could not Log-In"));
    EXPECT_FALSE(browse.IsPlaceholderShown());

    // The service's own pages, and the bank's main page, are left alone: still waiting.
    PageModelBuilder service("https://account.signin.test/consent");
    service.Domain("account.signin.test");
    searchForm(service);
    open(QStringLiteral("https://account.signin.test/consent"), service);
    PageModelBuilder main("http://online.bank.test/main");
    searchForm(main);
    open(QStringLiteral("http://ONLINE.bank.test/Main"), main);
    EXPECT_FALSE(link.LoggedIn());
    EXPECT_TRUE(browse.IsPlaceholderShown());

    // The bank's start page signs in through the first child of its sign-in link.
    PageModelBuilder bank("http://www.bank.test/");
    searchForm(bank);
    const auto span = bank.Child("SPAN").OuterHtml("<span>Sign In</span>");
    bank.Anchor("http://www.bank.test/help", "Sign-in help");
    bank.Anchor("http://www.bank.test/signin", "Sign In").FirstChild(span).ChildCount(1);
    open(QStringLiteral("http://www.bank.test/"), bank);
    EXPECT_EQ(Applied(pane).filter(QStringLiteral("Click")), QStringList{C(span.ref())});
    EXPECT_FALSE(link.PasswordSent());

    // The site whose button works on the second fill: filled now, pressed a second later.
    PageModelBuilder twice("http://twice.test/login");
    twice.Form("login");
    twice.Input("text", "user");
    twice.Input("password", "pass");
    const int press = twice.Input("submit").Value("Sign In").ref();
    twice.EndForm();
    open(QStringLiteral("http://twice.test/login"), twice);
    EXPECT_FALSE(link.PasswordSent());
    EXPECT_EQ(browse.State().ParseAt, Clock::Now());
    Clock::Advance(999);
    browse.tmrBusy_Timer();
    EXPECT_FALSE(link.PasswordSent());
    Clock::Advance(1);
    browse.tmrBusy_Timer();
    EXPECT_TRUE(link.PasswordSent());
    pane.ApplyActions();
    EXPECT_EQ(Applied(pane).filter(QStringLiteral("Click")), QStringList{C(press)});
    EXPECT_EQ(link.ProgressText(), QStringLiteral("Signing In Bank  "));
    Clock::Reset();
}

TEST(LoginDecision, NavigationErrorsEndTheWaitAndAServerErrorIsNoLoginAnswer) {
    BrowseWindow w(
        {{"Bank", "http://bank.test/login", false, true, "me", "pw"}, {"News", "http://news.test/"}});
    frmBrowse& browse = w.Load();
    BrowseWindow::freezeClock();
    App().DiagnosticMode = true;
    QDir().mkpath(modGeneral::LogFolder());
    Link& link = w.link("Bank");
    RecordingPane& pane = w.pane(0);

    // The form is sent; the server answers it with 401 and its own page, which the engine
    // commits before it reports the error.
    PageModelBuilder form("http://bank.test/login");
    form.Form("login");
    form.Input("text", "user");
    form.Input("password", "pass");
    form.Input("submit").Value("Sign In");
    form.EndForm();
    // A server's error page: committed (NavigateComplete2) before its error is reported.
    const auto serverError = [&](const QString& url, long code) {
        pane.RaiseBeforeNavigate2(url);
        pane.RaiseDownloadBegin();
        pane.SetLocation(url);
        pane.SetDocument(PageModel::Empty(url, 2)->documentPtr());
        pane.RaiseNavigateComplete2(url);
        const bool answered = link.LoggedIn();
        pane.SetErrorPage(true);
        pane.RaiseNavigateError(url, code);
        pane.RaiseDownloadComplete();
        pane.RaiseDocumentComplete(url);
        pane.SetErrorPage(false);
        return answered;
    };
    w.click(QStringLiteral("Bank"));
    pane.SimulateLoad(QStringLiteral("http://bank.test/login"), form.Build());
    ASSERT_TRUE(link.PasswordSent());
    EXPECT_TRUE(serverError(QStringLiteral("http://bank.test/login/failed"), 401))
        << "taken as the answer until the error is known";
    EXPECT_FALSE(link.LoggedIn());
    EXPECT_TRUE(link.NavigationError());
    EXPECT_LE(link.LoginTimeOut(), Clock::Now()) << "the error page shows at once";
    browse.tmrShowPage_Timer();
    EXPECT_EQ(browse.Panes().Front(), 0);
    EXPECT_NE(browse.TabColour(0), TabColour::Green);

    // A Link logged in before stays logged in when a later page of it fails.
    w.click(QStringLiteral("Bank"));
    link.SetLoggedIn(true);
    serverError(QStringLiteral("http://bank.test/gone"), 404);
    EXPECT_TRUE(link.LoggedIn());

    // Every error notifies; codes without a text leave it empty; the address is the pane's
    // current page, not the one that failed.
    Link& news = w.link("News");
    w.click(QStringLiteral("News"));
    w.pane(1).SimulateLoad(QStringLiteral("http://news.test/today"));
    w.click(QStringLiteral("Bank"));
    NotificationSpy spy(news, browse);
    w.pane(1).RaiseNavigateError(QStringLiteral("http://nowhere.test/"), PaneError::CannotConnect);
    w.pane(1).RaiseNavigateError(QStringLiteral("http://news.test/tea"), 418);
    EXPECT_EQ(spy.calls, QStringList({"NavigationError 2", "NavigationError 2"}));
    EXPECT_EQ(news.ProgressText(), QStringLiteral("Navigation Error "));
    App().DiagnosticMode = false;
    const QStringList errors = LogLines(QStringLiteral("Error.Log"));
    EXPECT_TRUE(errors.contains(QStringLiteral(
        "NavigateError 1 StatusCode=-2146697211 - Cannot locate the Internet server or proxy server. "
        "http://news.test/today")))
        << errors.join('\n').toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("NavigateError 1 StatusCode=418 -  http://news.test/today")));
    EXPECT_TRUE(errors.contains(
        QStringLiteral("NavigateError 0 StatusCode=401 - Access denied. http://bank.test/login/failed")));
    Clock::Reset();
}
