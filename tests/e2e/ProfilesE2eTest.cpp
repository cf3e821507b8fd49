// Whose cookies a page has, end to end: each user's own profile, each Link's own inside it, and
// what the browse window's windows carry. The local login site signs in with a session cookie
// and greets the account it belongs to.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QWebEngineProfile>
#include <sys/stat.h>

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
#include "frame/InternetOptions.h"
#include "links/LinkIds.h"
#include "links/Links.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;
using sites::TestSites;

int Mode(const QString& path) {
    struct stat info {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

bool Settled(const BrowserPane& pane) {
    return pane.ReadyState() == PaneReadyState::Complete && !pane.Busy() && pane.Document() &&
           pane.Document()->URL() == pane.LocationURL();
}

// Whom the site greets in the pane's page ("" on any other page, such as the login page).
QString Greeted(const BrowserPane& pane) {
    if (pane.ReadyState() != PaneReadyState::Complete || !pane.Document()) return QString();
    const QString title = pane.Document()->title();
    return title.startsWith("Welcome, ") ? title.mid(9) : QString();
}

QString Visit(BrowserPane& pane, const QString& path = "/welcome") {
    EventLog log(&pane);
    const QString url = SharedSites().Url(path);
    pane.Navigate2(url);
    // This load's own end (an earlier load may still report its end first).
    const bool loaded = WaitFor(
        [&] {
            const qsizetype start = log.events.indexOf("BeforeNavigate2 top " + url);
            return start >= 0 && !log.events.mid(start).filter("DocumentComplete top").isEmpty();
        },
        20000);
    return loaded ? Greeted(pane) : "<no page>";
}

QString Reload(BrowserPane& pane) {
    EventLog log(&pane);
    pane.Refresh();
    return log.WaitFor("DocumentComplete top", 1, 20000) ? Greeted(pane) : "<no page>";
}

bool LogIn(WebEnginePane& pane) {
    Visit(pane, "/login");
    DocumentPtr doc = pane.Document();
    doc->getElementById("user")->SetValue(TestSites::kUser);
    doc->getElementById("pass")->SetValue(TestSites::kPassword);
    doc->getElementById("signin")->Click();
    return WaitFor([&] { return Greeted(pane) == TestSites::kUser; });
}

} // namespace

TEST(WebProfiles, EachUserHasAPrivateProfileAndItsOwnSession) {
    QWebEngineProfile* ann = WebProfiles::ForUser("Ann");
    EXPECT_EQ(WebProfiles::ForUser(" ann "), ann);
    const QString folder = AppPaths::UserProfileFolder("Ann");
    EXPECT_EQ(Mode(folder), 0700);
    EXPECT_EQ(QDir(ann->persistentStoragePath()), QDir(folder));
    EXPECT_TRUE(WebProfiles::ForUser(QString())->isOffTheRecord());

    WebEnginePane annPane("Ann"), annOther("ANN"), bobPane("Bob");
    ASSERT_TRUE(LogIn(annPane));
    EXPECT_EQ(Visit(annOther), TestSites::kUser);
    EXPECT_EQ(Visit(bobPane), "");
    EXPECT_NE(bobPane.Profile(), annPane.Profile());
    WebEnginePane annLink("Ann"); // a Link's own session (apart: LinkProfilesE2e)
    annLink.SetProfileId(LinkIds::New());
    ASSERT_TRUE(LogIn(annLink));

    // Ann is deleted while her panes still run: every session of hers ends at once.
    WebProfiles::ClearUserData("ann");
    QTest::qWait(1000); // the engine clears its cache and cookies in the background; loads wait meanwhile
    WebEnginePane again("Ann");
    EXPECT_EQ(Visit(again), "");
    EXPECT_EQ(Visit(annLink), "");
}

TEST(WebProfiles, EachLinkHasAProfileInsideItsUsersFolderAndRemovingOneWaitsForItsPanes) {
    const QString user = "Dora", id = LinkIds::New(), onDisk = LinkIds::New();
    // What works per profile (downloads, notifications) joins every Link's as it is made.
    QObject owner;
    QList<QWebEngineProfile*> attached;
    WebProfiles::OnEveryProfile(&owner, [&](QWebEngineProfile* profile) { attached << profile; });
    EXPECT_FALSE(WebProfiles::Exists(user, id)) << "made only when first used";
    QWebEngineProfile* link = WebProfiles::ForLink(user, id);
    EXPECT_TRUE(attached.contains(link));
    EXPECT_EQ(WebProfiles::ForLink(" DORA ", id), link);
    EXPECT_NE(link, WebProfiles::ForLink("Eve", id));
    EXPECT_EQ(WebProfiles::ForLink(user, QString()), WebProfiles::ForUser(user));
    const QString folder = AppPaths::LinkProfileFolder(user, id);
    EXPECT_EQ(QDir(link->persistentStoragePath()), QDir(folder));
    EXPECT_TRUE(folder.startsWith(AppPaths::UserProfileFolder(user) + '/'));
    EXPECT_EQ(Mode(folder), 0700);
    // What is no id never becomes a folder, nor another Link's profile.
    QWebEngineProfile* bad = WebProfiles::ForLink(user, "../../Eve");
    EXPECT_TRUE(bad->isOffTheRecord());
    EXPECT_NE(bad, WebProfiles::ForUser(user));

    // Every profile of the user: the shared one, the open ones and those only on the disk.
    QDir().mkpath(AppPaths::LinkProfileFolder(user, onDisk));
    const QList<QWebEngineProfile*> all = WebProfiles::EveryProfileOf(user);
    EXPECT_EQ(all.size(), 3);
    EXPECT_TRUE(all.contains(link) && all.contains(WebProfiles::ForUser(user)));
    EXPECT_TRUE(all.contains(WebProfiles::ForLink(user, onDisk)));

    // Closing them leaves the files; pruning leaves the open ones and those kept.
    EXPECT_TRUE(WebProfiles::CloseUserProfiles(user));
    EXPECT_FALSE(WebProfiles::Exists(user, id) || WebProfiles::Exists(user));
    EXPECT_TRUE(QDir(folder).exists());
    WebProfiles::PruneLinkProfiles(user, {id});
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_TRUE(WaitFor([&] { return !QDir(AppPaths::LinkProfileFolder(user, onDisk)).exists(); }, 8000));

    // Removing a user's profile waits for its panes, then deletes the folder.
    const QString carolFolder = AppPaths::UserProfileFolder("Carol");
    auto pane = std::make_unique<WebEnginePane>("Carol");
    ASSERT_EQ(Visit(*pane, "/plain"), "");
    ASSERT_TRUE(QDir(carolFolder).exists());
    EXPECT_FALSE(WebProfiles::RemoveUserProfile("Carol"));
    EXPECT_TRUE(QDir(carolFolder).exists());
    QWebEngineProfile* profile = pane->Profile();
    pane.reset();
    EXPECT_EQ(WebProfiles::PagesUsing(profile), 0);
    EXPECT_TRUE(WebProfiles::RemoveUserProfile("Carol"));
    EXPECT_FALSE(WebProfiles::Exists("Carol"));
    EXPECT_TRUE(WaitFor([&] { return !QDir(carolFolder).exists(); }, 8000));
    QTest::qWait(2500); // the engine writes nothing back afterwards
    EXPECT_FALSE(QDir(carolFolder).exists());
}

namespace {

struct Account {
    const char *caption, *user, *password;
};
const Account kWork{"Mail - work", TestSites::kUser, TestSites::kPassword};
const Account kHome{"Mail - home", TestSites::kSecondUser, TestSites::kSecondPassword};

} // namespace

// A user with two Links to the login site, one per account, through a restart of the program
// (the window closed and opened again over the same data folder), the Link's own windows, the
// deletion of cookies and the removal of one Link.
TEST(LinkProfilesE2e, TwoAccountsOfOneSiteStayApartThroughARestartAndInTheirWindowsAndAreClearedTogether) {
    TempStore store;
    ScriptedBoxes boxes;
    const QString user = "e2e-two-accounts";
    App().CurrentUser = user;
    App().PassPhrase = "two accounts";
    StoreLinks({{kWork.caption, "/login", kWork.user, kWork.password, {}, {}, true},
                {kHome.caption, "/login", kHome.user, kHome.password, {}, {}, true}});
    auto w = std::make_unique<E2eWindow>();
    const auto pane = [&](const Account& a) -> BrowserPane& { return w->pane(a.caption); };
    const auto link = [&](const Account& a) -> Link& { return w->link(a.caption); };
    const qsizetype logins = SharedSites().AcceptedLogins().size();
    // Both log in at the start, in the background, one after the other.
    w->browse->OnLoadFavoritesTimer();
    ASSERT_TRUE(WaitFor(
        [&] {
            return link(kWork).LoggedIn() && link(kHome).LoggedIn() && Greeted(pane(kWork)) == kWork.user &&
                   Greeted(pane(kHome)) == kHome.user;
        },
        40000))
        << Greeted(pane(kWork)).toStdString() << " / " << Greeted(pane(kHome)).toStdString();
    QStringList accepted = SharedSites().AcceptedLogins().mid(logins);
    accepted.sort();
    EXPECT_EQ(accepted, (QStringList{"alice/p", "bob/p"}));
    for (const Account& a : {kWork, kHome, kWork})
        EXPECT_EQ(Reload(pane(a)), a.user) << a.caption;

    // The program starts again: each Link's pane still belongs to its own account, with no login.
    w.reset();
    EXPECT_TRUE(WaitFor([&] { return WebProfiles::CloseUserProfiles(user); }));
    QTest::qWait(1500); // the engine lets go of the files
    w = std::make_unique<E2eWindow>();
    BrowseWindow& browse = *w->browse;
    for (const Account& a : {kHome, kWork})
        EXPECT_EQ(Visit(pane(a)), a.user) << a.caption;
    EXPECT_EQ(SharedSites().AcceptedLogins().size(), logins + 2);
    browse.Navigation().OpenLink(w->index(kHome.caption));
    ASSERT_TRUE(WaitFor([&] { return link(kHome).LoggedIn(); }, 20000));
    const QString workId = link(kWork).Id();
    const QString folder = AppPaths::LinkProfileFolder(user, workId);
    const QString homeFolder = AppPaths::LinkProfileFolder(user, link(kHome).Id());

    // A pop-up the Link lets open: a stand-alone window signed in as the Link's account, which
    // stays so when the user goes on from there.
    SharedSites().AddPage("/open-accounts",
                          "<script>window.open('" + SharedSites().Url("/accounts") + "');</script>");
    link(kWork).SetHidePopUps(false);
    ASSERT_EQ(browse.VisibleIndex(), w->index(kHome.caption)) << "the Link opens its pop-up from behind";
    EXPECT_EQ(Visit(pane(kWork), "/open-accounts"), "");
    ASSERT_TRUE(WaitFor([&] { return browse.PopUps().NewWindows().size() == 1; }, 15000));
    BrowserPane& popUp = *browse.PopUps().NewWindows().first()->Pane();
    EXPECT_EQ(popUp.ProfileId(), workId);
    ASSERT_TRUE(WaitFor(
        [&] { return popUp.LocationURL() == SharedSites().Url("/accounts") && Settled(popUp); }, 15000))
        << popUp.LocationURL().toStdString() << " (signed out: the login page)";
    EXPECT_EQ(Visit(popUp), kWork.user);

    // New Window while the Link is on show: its home page, then the site, as the Link's account.
    browse.Controls().OnViewClicked(w->index(kWork.caption));
    ASSERT_EQ(browse.VisibleIndex(), w->index(kWork.caption));
    browse.RunCommand(WindowCommand::NewWindow);
    ASSERT_EQ(browse.PopUps().NewWindows().size(), 2);
    BrowserPane& window = *browse.PopUps().NewWindows().last()->Pane();
    ASSERT_TRUE(WaitFor([&] { return Settled(window); })) << "the home page";
    EXPECT_EQ(Visit(window), kWork.user);
    EXPECT_EQ(Visit(pane(kHome)), kHome.user);

    // Deleting the cookies in Internet Options deletes those of every Link.
    InternetOptions options(&browse);
    options.findChild<QCheckBox*>("chkCookies")->setChecked(true);
    // Only the cookies: a page that starts loading while the engine clears its cache can stall.
    options.findChild<QCheckBox*>("chkCache")->setChecked(false);
    options.findChild<QCheckBox*>("chkHistory")->setChecked(false);
    boxes.Answer(msgbox::Yes);
    ASSERT_TRUE(options.OnDeleteClicked());
    for (const Account& a : {kHome, kWork})
        EXPECT_TRUE(WaitFor([&] { return Visit(pane(a)).isEmpty(); }, 10000)) << a.caption;

    // The Link goes: its web data goes once its windows have closed; the other Link's stays.
    ASSERT_TRUE(QDir(folder).exists());
    boxes.Answer(msgbox::Yes);
    browse.Controls().RemoveLink(w->index(kWork.caption));
    for (StandaloneWindow* open : browse.PopUps().NewWindows())
        qobject_cast<QMdiSubWindow*>(open->parentWidget())->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed windows go
    EXPECT_TRUE(WaitFor([&] { return !QDir(folder).exists(); }, 10000));
    QTest::qWait(2500); // the engine writes nothing back
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_FALSE(WebProfiles::Exists(user, workId));
    EXPECT_TRUE(QDir(homeFolder).exists());
}
