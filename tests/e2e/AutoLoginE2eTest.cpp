// Auto-login end to end: the real browse window on the real engine, one Link per scenario of
// the local test sites, each opened with a click on its button as a user would.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTest>

#include "browse/engine/WebEnginePane.h"
#include "browse/frmBrowse.h"
#include "browse/LinkButtonsPanel.h"
#include "browse/OfflineState.h"
#include "browse/PaneArea.h"
#include "browse/TabColour.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Log.h"
#include "core/modEncrypt.h"
#include "e2e/E2eSupport.h"
#include "e2e/LoginPages.h"
#include "frame/frmMDI.h"
#include "links/Links.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;
using sites::TestSites;

// A real pane that keeps what the program drew into it (the placeholder's progress pages).
class DrawnPane : public WebEnginePane {
public:
    DrawnPane(const QString& user, QObject* parent, QStringList* drawn)
        : WebEnginePane(user, parent), m_drawn(drawn) {}
    void SetBodyHtml(const QString& markup) override {
        *m_drawn << markup;
        WebEnginePane::SetBodyHtml(markup);
    }

private:
    QStringList* m_drawn;
};

struct Scenario {
    Scenario(QString caption, QString url, QString pw = QLatin1String(TestSites::kPassword),
             QString option = {}, QString after = {})
        : caption(std::move(caption)), url(std::move(url)), pw(std::move(pw)), option(std::move(option)),
          after(std::move(after)) {}
    QString caption;
    QString url;
    QString pw;
    QString option;
    QString after; // NavigateAfterLogin
};

// An address where nothing listens.
QString ClosedAddress() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

QList<Scenario> Scenarios() {
    const auto url = [](const QString& path) { return SharedSites().Url(path); };
    QList<Scenario> list{
        {"Bank", url("/login"), TestSites::kPassword, {}, "Accounts"},
        {"Same frame", url("/fill/frame-same")},
        {"Other frame", url("/fill/frame-cross")},
        {"Framework", url("/fill/framework")},
        {"By anchor", url("/login?next=/after/anchor"), TestSites::kPassword, {}, "Accounts"},
        {"By button", url("/login?next=/after/button"), TestSites::kPassword, {}, "Accounts"},
        {"By image", url("/login?next=/after/image"), TestSites::kPassword, {}, "go"},
        {"By list", url("/login?next=/after/list"), TestSites::kPassword, {}, "Accounts"},
        {"Signed in", url("/signed-in")},
        {"No login", url("/no-login")},
        {"Strict", url("/login-strict"), "not-the-password"},
        {"Missing", url("/missing")},
        {"Unreachable", ClosedAddress()},
    };
    for (const loginpages::Layout& l : loginpages::kLayouts)
        list.append({QLatin1String(l.path), url(QLatin1String(l.path)), TestSites::kPassword,
                     QLatin1String(l.option)});
    return list;
}

class AutoLogin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        loginpages::AddPages();
        s_store = new TempStore;
        OfflineState::SetConnectionProbe([] { return true; });
        App().CurrentUser = QStringLiteral("e2e-autologin");
        App().PassPhrase = QStringLiteral("autologin pass");
        {
            Links links(App().CurrentUser);
            const auto enc = [](const QString& text) { return modEncrypt::EncryptMessage(text); };
            for (const Scenario& s : Scenarios())
                links.Add(s.caption, enc(s.url), enc(QString::fromLatin1(TestSites::kUser)), enc(s.pw),
                          s.option, s.after, false, true, -1, false);
        }
        s_frame = new frmMDI;
        s_frame->SetUserCaption();
        s_frame->show();
        s_browse = s_frame->LoadBrowseWindow(
            [](QWidget* parent) { return new DrawnPane(App().CurrentUser, parent, &s_drawn); });
        s_browse->tmrGetFavs().stop();
    }
    static void TearDownTestSuite() {
        s_frame->close();
        delete s_frame;
        s_frame = nullptr;
        OfflineState::SetConnectionProbe({});
        delete s_store;
        s_store = nullptr;
    }
    void TearDown() override { Clock::Reset(); }

    frmBrowse& browse() { return *s_browse; }
    int index(const QString& caption) {
        for (Link* l : browse().links())
            if (l->Caption() == caption) return l->Index() - 1;
        ADD_FAILURE() << "no Link " << caption.toStdString();
        return 0;
    }
    Link& link(const QString& caption) { return *browse().links().Item(index(caption) + 1); }
    WebEnginePane& pane(const QString& caption) {
        return *static_cast<WebEnginePane*>(browse().Pane(index(caption)));
    }
    bool InFront(const QString& caption) {
        return !browse().IsPlaceholderShown() && browse().Panes().Front() == index(caption);
    }

    // Clicks the Link's button, checks that its pane waits behind the "Please wait..." page, and
    // waits for `settled`.
    bool Open(const QString& caption, const std::function<bool()>& settled) {
        s_drawn.clear();
        accepted = int(SharedSites().AcceptedLogins().size());
        refused = int(SharedSites().RefusedLogins().size());
        QTest::mouseClick(browse().Buttons().cmdLink(index(caption)), Qt::LeftButton);
        EXPECT_TRUE(browse().IsPlaceholderShown()) << caption.toStdString();
        EXPECT_TRUE(Drew(QStringLiteral("Getting ")));
        return WaitFor(settled, 20000);
    }
    // A logged-in Link on show: its pane in front of the placeholder, its tab green.
    bool LoggedInAndShown(const QString& caption, const QString& pathEnd) {
        Link& l = link(caption);
        return l.LoggedIn() && !l.PasswordSent() && InFront(caption) &&
               browse().TabColour(index(caption)) == TabColour::Green &&
               pane(caption).ReadyState() == PaneReadyState::Complete &&
               pane(caption).LocationURL().contains(pathEnd);
    }
    QStringList Accepted() const { return SharedSites().AcceptedLogins().mid(accepted); }
    QStringList Refused() const { return SharedSites().RefusedLogins().mid(refused); }
    // The placeholder showed a progress page with this text.
    static bool Drew(const QString& text) {
        for (const QString& markup : s_drawn)
            if (markup.contains(QStringLiteral("Please wait... <br>") + text)) return true;
        return false;
    }

    static TempStore* s_store;
    static frmMDI* s_frame;
    static frmBrowse* s_browse;
    static QStringList s_drawn;
    int accepted = 0;
    int refused = 0;
};

TempStore* AutoLogin::s_store = nullptr;
frmMDI* AutoLogin::s_frame = nullptr;
frmBrowse* AutoLogin::s_browse = nullptr;
QStringList AutoLogin::s_drawn;

} // namespace

TEST_F(AutoLogin, OneClickLogsInAndFollowsThePostLoginLink) {
    ASSERT_TRUE(Open("Bank", [&] { return LoggedInAndShown("Bank", "/accounts"); }))
        << pane("Bank").LocationURL().toStdString();
    EXPECT_EQ(Accepted(), QStringList{"alice/p"});
    Link& bank = link("Bank");
    EXPECT_FALSE(bank.LoginAssumed());
    EXPECT_TRUE(bank.NavigateAfterLoginDone());
    EXPECT_TRUE(Drew("Signing In Bank  "));
    EXPECT_EQ(browse().ViewColour(), TabColour::Green);
    EXPECT_EQ(browse().AddressText(), SharedSites().Url("/accounts"));
}

TEST_F(AutoLogin, EveryFormLayoutLogsInThroughTheWindow) {
    for (const loginpages::Layout& l : loginpages::kLayouts) {
        const QString caption = QLatin1String(l.path);
        SCOPED_TRACE(l.path);
        ASSERT_TRUE(Open(caption, [&] { return LoggedInAndShown(caption, "/welcome"); }))
            << pane(caption).LocationURL().toStdString();
        EXPECT_EQ(Accepted(), QStringList{QString::fromLatin1(l.accepted)});
        EXPECT_TRUE(Drew("Signing In " + caption + "  "));
        EXPECT_FALSE(link(caption).LoginAssumed());
    }
    // A login page from another site's frame is loaded in the pane and filled there; a
    // framework page takes the values through its own listeners.
    for (const char* caption : {"Other frame", "Framework"}) {
        SCOPED_TRACE(caption);
        ASSERT_TRUE(Open(caption, [&] { return LoggedInAndShown(caption, "/welcome"); }));
        EXPECT_EQ(Accepted(), QStringList{"alice"});
    }
    // A frame of the page itself is filled in place: the frame moves on, the page stays.
    ASSERT_TRUE(Open("Same frame", [&] { return link("Same frame").LoggedIn() && InFront("Same frame"); }));
    EXPECT_EQ(Accepted(), QStringList{"alice"});
    EXPECT_EQ(pane("Same frame").LocationURL(), SharedSites().Url("/fill/frame-same"));
}

TEST_F(AutoLogin, ThePostLoginTextFindsAnchorButtonImageAndListOption) {
    const struct {
        const char* caption;
        const char* via;
    } cases[] = {{"By anchor", "via=anchor"},
                 {"By button", "via=button"},
                 {"By image", "via=image"},
                 {"By list", "via=list"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        ASSERT_TRUE(Open(c.caption, [&] { return LoggedInAndShown(c.caption, c.via); }))
            << pane(c.caption).LocationURL().toStdString();
        EXPECT_EQ(Accepted(), QStringList{"alice/p"});
        EXPECT_TRUE(link(c.caption).NavigateAfterLoginDone());
    }
}

TEST_F(AutoLogin, PagesWithoutALoginFormAndARefusedPassword) {
    // A page that looks logged in ("Sign Out") shows at once, taken as logged in.
    ASSERT_TRUE(Open("Signed in", [&] { return link("Signed in").LoggedIn() && InFront("Signed in"); }));
    EXPECT_TRUE(link("Signed in").LoginAssumed());
    EXPECT_FALSE(link("Signed in").NavigateAfterLoginDone());
    EXPECT_EQ(link("Signed in").ProgressText(), QStringLiteral("Could not Log-In"));
    EXPECT_TRUE(Accepted().isEmpty());

    // Nothing to sign in with: the page waits a few seconds, then shows as it is.
    Link& none = link("No login");
    ASSERT_TRUE(Open("No login", [&] {
        return none.LoginTimeOut().isValid() && none.LoginTimeOut() <= Clock::Now().addSecs(5) &&
               pane("No login").ReadyState() == PaneReadyState::Complete;
    }));
    EXPECT_TRUE(browse().IsPlaceholderShown());
    EXPECT_FALSE(none.LoggedIn());
    Clock::SetNow(QDateTime::currentDateTime().addSecs(6));
    browse().tmrShowPage_Timer();
    EXPECT_TRUE(InFront("No login"));
    Clock::Reset();

    // The server refuses the password with its own 401 page: no login, the page shows at once.
    Link& strict = link("Strict");
    ASSERT_TRUE(Open("Strict", [&] { return strict.NavigationError() && InFront("Strict"); }));
    EXPECT_EQ(Refused(), QStringList{"alice/p"});
    EXPECT_TRUE(Accepted().isEmpty());
    EXPECT_TRUE(Drew("Signing In Strict  "));
    EXPECT_FALSE(strict.LoggedIn());
    EXPECT_FALSE(strict.LoginAssumed());
    EXPECT_NE(browse().TabColour(index("Strict")), TabColour::Green);
}

TEST_F(AutoLogin, NavigationErrorsShowTheErrorPageAtOnce) {
    App().DiagnosticMode = true;
    QDir().mkpath(modGeneral::LogFolder());
    for (const char* caption : {"Missing", "Unreachable"}) {
        SCOPED_TRACE(caption);
        Link& l = link(caption);
        ASSERT_TRUE(Open(caption, [&] {
            return l.NavigationError() && pane(caption).IsErrorPage() && InFront(caption) &&
                   pane(caption).ReadyState() == PaneReadyState::Complete;
        }));
        EXPECT_FALSE(l.LoggedIn());
        EXPECT_LE(l.LoginTimeOut(), Clock::Now());
    }
    App().DiagnosticMode = false;
    QFile log(modGeneral::LogFolder() + QStringLiteral("/Error.Log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString errors = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(errors.contains(QStringLiteral("NavigateError %1 StatusCode=404 - Object not found. %2")
                                    .arg(index("Missing"))
                                    .arg(SharedSites().Url("/missing"))))
        << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("NavigateError %1 StatusCode=-2146697211 - Cannot locate the "
                                               "Internet server or proxy server. about:blank")
                                    .arg(index("Unreachable"))))
        << errors.toStdString();
}
