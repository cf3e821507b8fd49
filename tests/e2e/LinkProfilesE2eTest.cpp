// Each Link's own cookies, end to end: the real browse window on the real engine against the
// local login site, which signs in with a session cookie and greets the account it belongs to.
#include <functional>
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

#include "browse/BrowseWindow.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/engine/WebProfiles.h"
#include "browse/LinkControls.h"
#include "browse/NavigationDriver.h"
#include "browse/PopupPolicy.h"
#include "browse/StandaloneWindow.h"
#include "core/AppPaths.h"
#include "core/AppState.h"
#include "e2e/E2eSupport.h"
#include "frame/InactivityLock.h"
#include "frame/InternetOptions.h"
#include "frame/MainWindow.h"
#include "links/Links.h"
#include "sites/TestSites.h"
#include "users/Accounts.h"
#include "users/PasswordPrompt.h"

namespace {

using sites::SharedSites;
using sites::TestSites;

struct Account {
    const char* caption;
    const char* user;
    const char* password;
};
const Account kWork{"Mail - work", TestSites::kUser, TestSites::kPassword};
const Account kHome{"Mail - home", TestSites::kSecondUser, TestSites::kSecondPassword};

// A user with two Links to the login site, one per account; the window over them can be opened,
// closed and opened again over the same data folder (a restart of the program).
class TwoAccounts {
public:
    static constexpr const char* kMaster = "two accounts";

    TwoAccounts(const QString& user, bool loadAtStart) : m_user(user) {
        boxes.Answer(msgbox::Yes); // "is this the password you want?"
        LoginFields fields{user, QLatin1String(kMaster), QString(), QLatin1String(kMaster)};
        EXPECT_EQ(Accounts().DoNewUser(fields).outcome, LoginStep::Succeeded)
            << boxes.lastText().toStdString();
        App() = AppState();
        boxes.Clear();
        App().CurrentUser = user;
        App().PassPhrase = QLatin1String(kMaster);
        StoreLinks({{kWork.caption, "/login", kWork.user, kWork.password, {}, {}, loadAtStart},
                    {kHome.caption, "/login", kHome.user, kHome.password, {}, {}, loadAtStart}});
    }
    ~TwoAccounts() { Close(); }

    BrowseWindow& Open() {
        m_window = std::make_unique<E2eWindow>();
        return *m_window->browse;
    }
    // The program ends: its windows and pages go, and with them the engine's profiles.
    void Close() {
        if (!m_window) return;
        m_window.reset();
        EXPECT_TRUE(WaitFor([&] { return WebProfiles::CloseUserProfiles(m_user); }));
        Pump(1500); // the engine lets go of the files
    }
    int index(const Account& a) { return m_window->index(QLatin1String(a.caption)); }
    Link& link(const Account& a) { return m_window->link(QLatin1String(a.caption)); }
    BrowserPane& pane(const Account& a) { return m_window->pane(QLatin1String(a.caption)); }
    MainWindow& frame() { return *m_window->frame; }

    TempStore store;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;

private:
    QString m_user;
    std::unique_ptr<E2eWindow> m_window;
};

// Whom the site greets in the pane once its page has loaded ("" for any other page).
QString Greeted(const BrowserPane& pane) {
    if (pane.ReadyState() != PaneReadyState::Complete || !pane.Document()) return QString();
    const QString title = pane.Document()->title();
    return title.startsWith(QLatin1String("Welcome, ")) ? title : QString();
}

QString Welcome(const Account& a) {
    return QStringLiteral("Welcome, ") + QLatin1String(a.user);
}

// The pane's page has loaded, and nothing else is on its way.
bool Settled(const BrowserPane& pane) {
    return pane.ReadyState() == PaneReadyState::Complete && !pane.Busy() && pane.Document() &&
           pane.Document()->URL() == pane.LocationURL();
}

// Loads an address of the site in the pane (or has `go` load it there) and says whom the site
// greets there.
QString Visit(BrowserPane& pane, const QString& path, const std::function<void(const QString&)>& go = {}) {
    EventLog log(&pane);
    const QString url = SharedSites().Url(path);
    if (go)
        go(url);
    else
        pane.Navigate2(url);
    // This load's own end (an earlier load may still report its end first).
    const bool loaded = WaitFor(
        [&] {
            const qsizetype start = log.events.indexOf(QStringLiteral("BeforeNavigate2 top ") + url);
            if (start < 0) return false;
            for (qsizetype i = start; i < log.events.size(); ++i)
                if (log.events[i].startsWith(QLatin1String("DocumentComplete top"))) return true;
            return false;
        },
        20000);
    return loaded ? Greeted(pane) : QStringLiteral("<no page>");
}

QString Reload(BrowserPane& pane) {
    EventLog log(&pane);
    pane.Refresh();
    if (!log.WaitFor(QStringLiteral("DocumentComplete top"), 1, 20000)) return QStringLiteral("<no page>");
    return Greeted(pane);
}

TEST(LinkProfilesE2e, TwoAccountsOfOneSiteStayApartThroughReloadsARestartTheLockAndAreClearedTogether) {
    TwoAccounts t(QStringLiteral("e2e-two-accounts"), true);
    BrowseWindow& browse = t.Open();
    const int logins = int(SharedSites().AcceptedLogins().size());
    // Both log in at the start, in the background, one after the other.
    browse.OnLoadFavoritesTimer();
    ASSERT_TRUE(WaitFor(
        [&] {
            return t.link(kWork).LoggedIn() && t.link(kHome).LoggedIn() &&
                   Greeted(t.pane(kWork)) == Welcome(kWork) && Greeted(t.pane(kHome)) == Welcome(kHome);
        },
        40000))
        << Greeted(t.pane(kWork)).toStdString() << " / " << Greeted(t.pane(kHome)).toStdString();
    QStringList accepted = SharedSites().AcceptedLogins().mid(logins);
    accepted.sort();
    EXPECT_EQ(accepted, (QStringList{"alice/p", "bob/p"}));
    for (const Account& a : {kWork, kHome, kWork})
        EXPECT_EQ(Reload(t.pane(a)), Welcome(a)) << a.caption;
    const QString workFolder =
        AppPaths::LinkProfileFolder(QStringLiteral("e2e-two-accounts"), t.link(kWork).Id());
    EXPECT_TRUE(QDir(workFolder).exists());

    // The program starts again: each Link's pane still belongs to its own account, with no login.
    t.Close();
    BrowseWindow& again = t.Open();
    for (const Account& a : {kHome, kWork})
        EXPECT_EQ(Visit(t.pane(a), QStringLiteral("/welcome")), Welcome(a)) << a.caption;
    EXPECT_EQ(int(SharedSites().AcceptedLogins().size()), logins + 2);

    // The account is locked and opened again: the pages and their sessions stay.
    t.frame().InstallLock();
    InactivityLock& lock = *t.frame().Lock();
    lock.RequestLogout();
    lock.CheckLock();
    ASSERT_TRUE(App().Locked);
    t.frame().showNormal();
    t.dialogs.Next([](QDialog& d) {
        auto& prompt = static_cast<PasswordPrompt&>(d);
        prompt.findChild<QLineEdit*>("txtPassword")->setText(QLatin1String(TwoAccounts::kMaster));
        prompt.findChild<QPushButton*>("cmdOK")->click();
        return prompt.result();
    });
    lock.CheckLock();
    ASSERT_FALSE(App().Locked);
    for (const Account& a : {kWork, kHome})
        EXPECT_EQ(Reload(t.pane(a)), Welcome(a)) << a.caption;
    EXPECT_EQ(int(SharedSites().AcceptedLogins().size()), logins + 2);

    // Deleting the cookies in Internet Options deletes those of every Link.
    InternetOptions options(&again);
    options.findChild<QCheckBox*>(QStringLiteral("chkCookies"))->setChecked(true);
    // Only the cookies: a page that starts loading while the engine clears its cache can stall.
    options.findChild<QCheckBox*>(QStringLiteral("chkCache"))->setChecked(false);
    options.findChild<QCheckBox*>(QStringLiteral("chkHistory"))->setChecked(false);
    t.boxes.Answer(msgbox::Yes);
    ASSERT_TRUE(options.OnDeleteClicked());
    for (const Account& a : {kHome, kWork}) {
        QString last;
        EXPECT_TRUE(WaitFor(
            [&] {
                last = Visit(t.pane(a), QStringLiteral("/welcome"));
                return last.isEmpty();
            },
            10000))
            << a.caption << " " << last.toStdString();
    }
}

TEST(LinkProfilesE2e, PopUpsAndStandAloneWindowsOfALinkCarryItsCookiesAndItsRemovalTakesThemAway) {
    const QString user = QStringLiteral("e2e-link-windows");
    TwoAccounts t(user, false);
    SharedSites().AddPage(QStringLiteral("/open-accounts"),
                          QStringLiteral("<html><head><title>Opener</title></head><body><script>"
                                         "window.open('%1');</script></body></html>")
                              .arg(SharedSites().Url("/accounts")));
    BrowseWindow& browse = t.Open();
    for (const Account& a : {kWork, kHome}) {
        // A Link that has not opened yet has no profile, in memory or on the disk.
        EXPECT_FALSE(WebProfiles::Exists(user, t.link(a).Id())) << a.caption;
        EXPECT_FALSE(QDir(AppPaths::LinkProfileFolder(user, t.link(a).Id())).exists()) << a.caption;
        browse.Navigation().OpenLink(t.index(a));
        ASSERT_TRUE(WaitFor([&] { return Greeted(t.pane(a)) == Welcome(a); }, 20000)) << a.caption;
    }
    const QString workId = t.link(kWork).Id();
    const QString folder = AppPaths::LinkProfileFolder(user, workId);
    const QString homeFolder = AppPaths::LinkProfileFolder(user, t.link(kHome).Id());

    // A pop-up the Link lets open: a stand-alone window signed in as the Link's account, which
    // stays so when the user goes on from there.
    t.link(kWork).SetHidePopUps(false);
    ASSERT_EQ(browse.VisibleIndex(), t.index(kHome)) << "the Link opens its pop-up from behind";
    EXPECT_EQ(Visit(t.pane(kWork), QStringLiteral("/open-accounts")), QString());
    ASSERT_TRUE(WaitFor([&] { return browse.PopUps().NewWindows().size() == 1; }, 15000));
    StandaloneWindow* popUp = browse.PopUps().NewWindows().first();
    EXPECT_EQ(popUp->Pane()->ProfileId(), workId);
    ASSERT_TRUE(WaitFor(
        [&] {
            return popUp->Pane()->LocationURL() == SharedSites().Url("/accounts") && Settled(*popUp->Pane());
        },
        15000))
        << popUp->Pane()->LocationURL().toStdString() << " (signed out: the login page)";
    EXPECT_EQ(Visit(*popUp->Pane(), QStringLiteral("/welcome")), Welcome(kWork));

    // New Window while the Link is on show: its home page, then the site, as the Link's account.
    browse.Controls().OnViewClicked(t.index(kWork));
    ASSERT_EQ(browse.VisibleIndex(), t.index(kWork));
    browse.RunCommand(WindowCommand::NewWindow);
    ASSERT_EQ(browse.PopUps().NewWindows().size(), 2);
    StandaloneWindow* window = browse.PopUps().NewWindows().last();
    ASSERT_TRUE(WaitFor([&] { return Settled(*window->Pane()); })) << "the home page";
    EXPECT_EQ(Visit(*window->Pane(), QStringLiteral("/welcome")), Welcome(kWork));
    EXPECT_EQ(Visit(t.pane(kHome), QStringLiteral("/welcome")), Welcome(kHome));

    // The address bar, the favorites and the search pane open their addresses in the visible
    // Link's pane, as that Link's account.
    for (const Account& a : {kHome, kWork}) {
        browse.Controls().OnViewClicked(t.index(a));
        EXPECT_EQ(Visit(t.pane(a), QStringLiteral("/welcome?typed"),
                        [&](const QString& url) { browse.Nav2Visible(url, NavigationDriver::ModeUser); }),
                  Welcome(a))
            << a.caption;
    }

    // The Link goes: its web data goes once its windows have closed; the other Link's stays.
    ASSERT_TRUE(QDir(folder).exists());
    t.boxes.Answer(msgbox::Yes);
    browse.Controls().RemoveLink(t.index(kWork));
    EXPECT_TRUE(QDir(homeFolder).exists());
    for (StandaloneWindow* open : browse.PopUps().NewWindows())
        qobject_cast<QMdiSubWindow*>(open->parentWidget())->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed windows go
    EXPECT_TRUE(WaitFor([&] { return !QDir(folder).exists(); }, 10000));
    Pump(2500); // the engine writes nothing back
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_FALSE(WebProfiles::Exists(user, workId));
    EXPECT_TRUE(QDir(homeFolder).exists());
    EXPECT_EQ(Visit(t.pane(kHome), QStringLiteral("/welcome")), Welcome(kHome));
}

} // namespace
