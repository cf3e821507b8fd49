// Auto-login end to end: the real browse window on the real engine, one Link per scenario of
// the local test sites, each opened with a click on its button.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTest>

#include "browse/BrowseWindow.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/LinkButtonsPanel.h"
#include "browse/OfflineState.h"
#include "browse/PaneArea.h"
#include "browse/TabColour.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Log.h"
#include "core/SecretCipher.h"
#include "e2e/E2eSupport.h"
#include "e2e/LoginPages.h"
#include "frame/MainWindow.h"
#include "links/Links.h"

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

// An address where nothing listens.
QString ClosedAddress() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort());
}

class AutoLogin : public ::testing::Test {
protected:
    // One Link per scenario: caption, address, password, list option, post-login text.
    static void SetUpTestSuite() {
        loginpages::AddPages();
        s_store = new TempStore;
        OfflineState::SetConnectionProbe([] { return true; });
        App().CurrentUser = QStringLiteral("e2e-autologin");
        App().PassPhrase = QStringLiteral("autologin pass");
        const QString pw = QLatin1String(sites::TestSites::kPassword);
        QList<QStringList> links{{"Bank", "/login", pw, "", "Accounts"},
                                 {"Same frame", "/fill/frame-same", pw},
                                 {"Other frame", "/fill/frame-cross", pw},
                                 {"Framework", "/fill/framework", pw},
                                 {"By anchor", "/login?next=/after/anchor", pw, "", "Accounts"},
                                 {"By button", "/login?next=/after/button", pw, "", "Accounts"},
                                 {"By image", "/login?next=/after/image", pw, "", "go"},
                                 {"By list", "/login?next=/after/list", pw, "", "Accounts"},
                                 {"Signed in", "/signed-in", pw},
                                 {"No login", "/no-login", pw},
                                 {"Strict", "/login-strict", "not-the-password"},
                                 {"Missing", "/missing", pw},
                                 {"Unreachable", ClosedAddress(), pw}};
        for (const loginpages::Layout& l : loginpages::kLayouts)
            links.append({l.path, l.path, pw, l.option});
        Links stored(App().CurrentUser);
        const auto enc = [](const QString& text) { return SecretCipher::EncryptMessage(text); };
        for (QStringList l : links) {
            while (l.size() < 5)
                l << QString();
            const QString url = l[1].startsWith('/') ? SharedSites().Url(l[1]) : l[1];
            stored.Add(l[0], enc(url), enc(QLatin1String(sites::TestSites::kUser)), enc(l[2]), l[3], l[4],
                       false, true, -1, false);
        }
        s_frame = new MainWindow;
        s_frame->show();
        s_browse = s_frame->LoadBrowseWindow([](QWidget* parent) { return new DrawnPane(parent, &s_drawn); });
        s_browse->findChild<QTimer*>(QStringLiteral("loadFavoritesTimer"))->stop();
    }
    static void TearDownTestSuite() {
        s_frame->close();
        delete s_frame;
        OfflineState::SetConnectionProbe({});
        delete s_store;
    }

    int index(const QString& caption) { return PaneIndexOf(s_browse->links(), caption); }
    Link& link(const QString& caption) { return *s_browse->links().Item(index(caption) + 1); }
    WebEnginePane& pane(const QString& caption) {
        return *static_cast<WebEnginePane*>(s_browse->Pane(index(caption)));
    }
    bool InFront(const QString& caption) {
        return !s_browse->IsPlaceholderShown() && s_browse->Panes().Front() == index(caption) &&
               pane(caption).ReadyState() == PaneReadyState::Complete;
    }
    // Logged in (not assumed), its page in front at an address holding `at`, its tab green.
    bool LoggedIn(const QString& caption, const QString& at) {
        return link(caption).LoggedIn() && !link(caption).LoginAssumed() && InFront(caption) &&
               s_browse->TabColour(index(caption)) == TabColour::Green &&
               pane(caption).LocationURL().contains(at);
    }
    // Clicks the Link's button: its pane waits behind the "Please wait..." page until `settled`.
    bool Open(const QString& caption, const std::function<bool()>& settled) {
        s_drawn.clear();
        accepted = int(SharedSites().AcceptedLogins().size());
        refused = int(SharedSites().RefusedLogins().size());
        QTest::mouseClick(s_browse->Buttons().LinkButtonAt(index(caption)), Qt::LeftButton);
        EXPECT_TRUE(s_browse->IsPlaceholderShown() && Drew("Getting ")) << caption.toStdString();
        return WaitFor(settled, 20000);
    }
    QStringList Accepted() const { return SharedSites().AcceptedLogins().mid(accepted); }
    // The placeholder showed a progress page with this text.
    static bool Drew(const QString& text) {
        return !s_drawn.filter(QStringLiteral("Please wait... <br>") + text).isEmpty();
    }

    static TempStore* s_store;
    static MainWindow* s_frame;
    static BrowseWindow* s_browse;
    static QStringList s_drawn;
    int accepted = 0;
    int refused = 0;
};

TempStore* AutoLogin::s_store = nullptr;
MainWindow* AutoLogin::s_frame = nullptr;
BrowseWindow* AutoLogin::s_browse = nullptr;
QStringList AutoLogin::s_drawn;

} // namespace

TEST_F(AutoLogin, OneClickLogsInEveryFormLayoutAndFollowsThePostLoginLink) {
    ASSERT_TRUE(Open("Bank", [&] { return LoggedIn("Bank", "/accounts"); }));
    EXPECT_EQ(Accepted(), QStringList{"alice/p"});
    EXPECT_TRUE(link("Bank").NavigateAfterLoginDone());
    EXPECT_TRUE(Drew("Signing In Bank  "));
    for (const loginpages::Layout& l : loginpages::kLayouts) {
        SCOPED_TRACE(l.path);
        ASSERT_TRUE(Open(l.path, [&] { return LoggedIn(l.path, "/welcome"); }));
        EXPECT_EQ(Accepted(), QStringList{l.accepted});
        EXPECT_TRUE(Drew(QStringLiteral("Signing In %1  ").arg(l.path)));
    }
    // A login page in another site's frame is loaded in the pane and filled there; a framework
    // page takes the values through its own listeners.
    for (const char* caption : {"Other frame", "Framework"}) {
        ASSERT_TRUE(Open(caption, [&] { return LoggedIn(caption, "/welcome"); })) << caption;
        EXPECT_EQ(Accepted(), QStringList{"alice"});
    }
    // A frame of the page itself is filled in place: the frame moves on, the page stays.
    ASSERT_TRUE(Open("Same frame", [&] { return link("Same frame").LoggedIn() && InFront("Same frame"); }));
    EXPECT_EQ(Accepted(), QStringList{"alice"});
    EXPECT_EQ(pane("Same frame").LocationURL(), SharedSites().Url("/fill/frame-same"));
}

TEST_F(AutoLogin, ThePostLoginTextFindsAnchorButtonImageAndListOption) {
    for (const char* kind : {"anchor", "button", "image", "list"}) {
        const QString caption = QStringLiteral("By ") + kind;
        ASSERT_TRUE(Open(caption, [&] { return LoggedIn(caption, QStringLiteral("via=") + kind); }))
            << kind << " " << pane(caption).LocationURL().toStdString();
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
        return none.LoginTimeOut() <= Clock::Now().addSecs(5) && pane("No login").ReadyState() == 4;
    }));
    EXPECT_TRUE(s_browse->IsPlaceholderShown());
    EXPECT_FALSE(none.LoggedIn());
    Clock::SetNow(QDateTime::currentDateTime().addSecs(6));
    s_browse->OnShowPageTimer();
    EXPECT_TRUE(InFront("No login"));
    Clock::Reset();

    // The server refuses the password with its own 401 page: no login, the page shows at once.
    ASSERT_TRUE(Open("Strict", [&] { return link("Strict").NavigationError() && InFront("Strict"); }));
    EXPECT_EQ(SharedSites().RefusedLogins().mid(refused), QStringList{"alice/p"});
    EXPECT_TRUE(Drew("Signing In Strict  "));
    EXPECT_FALSE(link("Strict").LoggedIn());
    EXPECT_NE(s_browse->TabColour(index("Strict")), TabColour::Green);

    // A 404 and an unreachable site: the engine's error page in front at once, the error logged.
    App().DiagnosticMode = true;
    QDir().mkpath(core::LogFolder());
    for (const char* caption : {"Missing", "Unreachable"})
        ASSERT_TRUE(Open(caption, [&] {
            return link(caption).NavigationError() && pane(caption).IsErrorPage() && InFront(caption);
        })) << caption;
    App().DiagnosticMode = false;
    QFile log(core::LogFolder() + QStringLiteral("/Error.Log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString errors = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(errors.contains(QStringLiteral("NavigateError %1 StatusCode=404 - Object not found. %2")
                                    .arg(index("Missing"))
                                    .arg(SharedSites().Url("/missing"))));
    EXPECT_TRUE(errors.contains(QStringLiteral("NavigateError %1 StatusCode=-2146697211 - Cannot locate the "
                                               "Internet server or proxy server. about:blank")
                                    .arg(index("Unreachable"))))
        << errors.toStdString();
}
