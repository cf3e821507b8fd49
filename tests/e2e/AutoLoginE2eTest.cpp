// Auto-login end to end as a click on a Link's button starts it: the real browse window on the
// real engine against the local test sites. (The many login page layouts: LoginLabE2eTest.)
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTcpServer>

#include "browse/BrowseWindow.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/PaneArea.h"
#include "browse/TabColour.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Log.h"
#include "e2e/E2eSupport.h"
#include "links/Links.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;

// A real pane that keeps what the program drew into it (the placeholder's progress pages).
class DrawnPane : public WebEnginePane {
public:
    DrawnPane(QObject* parent, QStringList* drawn)
        : WebEnginePane(App().CurrentUser, parent), m_drawn(drawn) {}
    void SetBodyHtml(const QString& markup) override {
        *m_drawn << markup;
        WebEnginePane::SetBodyHtml(markup);
    }

private:
    QStringList* m_drawn;
};

class AutoLogin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_store = new TempStore;
        App().CurrentUser = QStringLiteral("e2e-autologin");
        App().PassPhrase = QStringLiteral("autologin pass");
        QTcpServer probe; // an address where nothing listens
        probe.listen(QHostAddress::LocalHost);
        const QString pw = QLatin1String(sites::TestSites::kPassword), user = sites::TestSites::kUser;
        StoreLinks(
            {{"Bank", "/login", user, pw, {}, "Accounts"},
             {"By anchor", "/login?next=/after/anchor", user, pw, {}, "Accounts"},
             {"By button", "/login?next=/after/button", user, pw, {}, "Accounts"},
             {"By image", "/login?next=/after/image", user, pw, {}, "go"},
             {"By list", "/login?next=/after/list", user, pw, {}, "Accounts"},
             {"Signed in", "/signed-in", user, pw},
             {"No login", "/no-login", user, pw},
             {"Strict", "/login-strict", user, "not-the-password"},
             {"Missing", "/missing", user, pw},
             {"Unreachable", QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort()), user, pw}});
        s_window = new E2eWindow([](QWidget* parent) { return new DrawnPane(parent, &s_drawn); });
    }
    static void TearDownTestSuite() {
        delete s_window;
        delete s_store;
    }

    Link& link(const QString& caption) { return s_window->link(caption); }
    BrowseWindow& browse() { return *s_window->browse; }
    bool InFront(const QString& caption) {
        return !browse().IsPlaceholderShown() && browse().Panes().Front() == s_window->index(caption) &&
               s_window->pane(caption).ReadyState() == PaneReadyState::Complete;
    }
    // Logged in (not assumed), its page in front at an address holding `at`, its tab green.
    bool LoggedIn(const QString& caption, const QString& at) {
        return link(caption).LoggedIn() && !link(caption).LoginAssumed() && InFront(caption) &&
               browse().TabColour(s_window->index(caption)) == TabColour::Green &&
               s_window->pane(caption).LocationURL().contains(at);
    }
    // Clicks the Link's button: its pane waits behind the "Please wait..." page until `settled`.
    bool Open(const QString& caption, const std::function<bool()>& settled) {
        s_drawn.clear();
        accepted = int(SharedSites().AcceptedLogins().size());
        refused = int(SharedSites().RefusedLogins().size());
        s_window->Click(caption);
        EXPECT_TRUE(browse().IsPlaceholderShown() && Drew("Getting ")) << caption.toStdString();
        return WaitFor(settled, 20000);
    }
    QStringList Accepted() const { return SharedSites().AcceptedLogins().mid(accepted); }
    // The placeholder showed a progress page with this text.
    static bool Drew(const QString& text) {
        return !s_drawn.filter(QStringLiteral("Please wait... <br>") + text).isEmpty();
    }

    static TempStore* s_store;
    static E2eWindow* s_window;
    static QStringList s_drawn;
    int accepted = 0;
    int refused = 0;
};

TempStore* AutoLogin::s_store = nullptr;
E2eWindow* AutoLogin::s_window = nullptr;
QStringList AutoLogin::s_drawn;

} // namespace

TEST_F(AutoLogin, OneClickLogsInAndThePostLoginTextFindsAnchorButtonImageAndListOption) {
    ASSERT_TRUE(Open("Bank", [&] { return LoggedIn("Bank", "/accounts"); }));
    EXPECT_EQ(Accepted(), QStringList{"alice/p"});
    EXPECT_TRUE(link("Bank").NavigateAfterLoginDone());
    EXPECT_TRUE(Drew("Signing In Bank  "));
    for (const char* kind : {"anchor", "button", "image", "list"}) {
        const QString caption = QStringLiteral("By ") + kind;
        ASSERT_TRUE(Open(caption, [&] { return LoggedIn(caption, QStringLiteral("via=") + kind); }))
            << kind << " " << s_window->pane(caption).LocationURL().toStdString();
        EXPECT_EQ(Accepted(), QStringList{"alice/p"});
        EXPECT_TRUE(link(caption).NavigateAfterLoginDone());
    }
}

TEST_F(AutoLogin, PagesWithoutALoginFormARefusedPasswordAndNavigationErrors) {
    // "Sign Out" on a page without a form: taken as logged in, shown at once.
    ASSERT_TRUE(Open("Signed in", [&] { return link("Signed in").LoggedIn() && InFront("Signed in"); }));
    EXPECT_TRUE(link("Signed in").LoginAssumed());
    EXPECT_EQ(link("Signed in").ProgressText(), QStringLiteral("Could not Log-In"));

    // Nothing to sign in with: the page waits five seconds, then shows as it is.
    Link& none = link("No login");
    ASSERT_TRUE(Open("No login", [&] {
        return none.LoginTimeOut() <= Clock::Now().addSecs(5) && s_window->pane("No login").ReadyState() == 4;
    }));
    EXPECT_TRUE(browse().IsPlaceholderShown());
    EXPECT_FALSE(none.LoggedIn());
    Clock::SetNow(QDateTime::currentDateTime().addSecs(6));
    browse().OnShowPageTimer();
    EXPECT_TRUE(InFront("No login"));
    Clock::Reset();

    // The server refuses the password with its own 401 page: no login, the page shows at once.
    ASSERT_TRUE(Open("Strict", [&] { return link("Strict").NavigationError() && InFront("Strict"); }));
    EXPECT_EQ(SharedSites().RefusedLogins().mid(refused), QStringList{"alice/p"});
    EXPECT_TRUE(Drew("Signing In Strict  "));
    EXPECT_FALSE(link("Strict").LoggedIn());
    EXPECT_NE(browse().TabColour(s_window->index("Strict")), TabColour::Green);

    // A 404 and an unreachable site: the engine's error page in front at once, the error logged.
    App().DiagnosticMode = true;
    QDir().mkpath(core::LogFolder());
    for (const char* caption : {"Missing", "Unreachable"})
        ASSERT_TRUE(Open(caption, [&] {
            return link(caption).NavigationError() && s_window->pane(caption).IsErrorPage() &&
                   InFront(caption);
        })) << caption;
    App().DiagnosticMode = false;
    QFile log(core::LogFolder() + QStringLiteral("/Error.Log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString errors = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(errors.contains(QStringLiteral("NavigateError %1 StatusCode=404 - Object not found. %2")
                                    .arg(s_window->index("Missing"))
                                    .arg(SharedSites().Url("/missing"))));
    EXPECT_TRUE(errors.contains(QStringLiteral("NavigateError %1 StatusCode=-2146697211 - Cannot locate the "
                                               "Internet server or proxy server. about:blank")
                                    .arg(s_window->index("Unreachable"))))
        << errors.toStdString();
}
