// The panes of the browse window: idle panes frozen then discarded, the web profile each works
// in and what becomes of a Link's web data when it goes, their home page.
#include <QToolButton>

#include "browse/IdlePanes.h"
#include "browse/LinkControls.h"
#include "browse/PopupPolicy.h"
#include "browse/StandaloneWindow.h"
#include "browse/UserHomePage.h"
#include "BrowseSupport.h"
#include "core/AppPaths.h"
#include "links/LinkIds.h"
#include "support/StoreFault.h"

namespace {

struct Panes : IdlePanes::Host {
    mutable FakePane pane;
    int onScreen = -1;
    int keptAwake = -1;
    int PaneCount() const override { return 1; }
    BrowserPane* PaneAt(int) const override { return &pane; }
    bool PaneOnScreen(int index) const override { return index == onScreen; }
    bool PaneMustStayAwake(int index) const override { return index == keptAwake; }
};

constexpr qint64 kMinute = 60 * 1000;

QString folderOf(const QString& id) {
    return AppPaths::LinkProfileFolder(QLatin1String(BrowseFixture::kUser), id);
}

TEST(IdlePanes, UnseenPanesFreezeThenDiscardUnlessShownKeptAwakeOrBusy) {
    const struct {
        const char* what;
        int freeze, discard, minutes;
        bool onScreen, windowKeeps, pageKeeps;
        PaneIdle expected;
    } cases[] = {
        {"not yet", 10, 30, 9, false, false, false, PaneIdle::Active},
        {"frozen", 10, 30, 10, false, false, false, PaneIdle::Frozen},
        {"discarded", 10, 30, 30, false, false, false, PaneIdle::Discarded},
        {"discarded without freezing first", 0, 30, 30, false, false, false, PaneIdle::Discarded},
        {"frozen only", 10, 0, 1000, false, false, false, PaneIdle::Frozen},
        {"0 minutes: never", 0, 0, 100000, false, false, false, PaneIdle::Active},
        {"on screen", 10, 30, 60, true, false, false, PaneIdle::Active},
        {"a login in progress or a download", 10, 30, 60, false, true, false, PaneIdle::Active},
        {"sound or input not sent", 10, 30, 60, false, false, true, PaneIdle::Active},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Clock::SetNow(QDateTime(QDate(2024, 3, 5), QTime(10, 0)));
        Panes host;
        host.pane.SetKeepAwake(c.pageKeeps);
        host.onScreen = c.onScreen ? 0 : -1;
        host.keptAwake = c.windowKeeps ? 0 : -1;
        IdlePanes idle(host);
        idle.SetMinutes(c.freeze, c.discard);
        idle.Check();
        Clock::Advance(c.minutes * kMinute);
        idle.Check();
        EXPECT_EQ(host.pane.Idle(), c.expected);
    }
    // A frozen page runs nothing: it is not asked again before it is discarded. Showing wakes
    // it, and its time counts from then.
    Panes host;
    FakePane& pane = host.pane;
    IdlePanes idle(host);
    idle.Check();
    Clock::Advance(12 * kMinute);
    idle.Check();
    pane.SetKeepAwake(true);
    Clock::Advance(20 * kMinute);
    idle.Check();
    ASSERT_EQ(pane.Idle(), PaneIdle::Discarded);
    idle.Seen(0);
    EXPECT_EQ(pane.Idle(), PaneIdle::Active);
    pane.SetKeepAwake(false);
    Clock::Advance(9 * kMinute);
    idle.Check();
    EXPECT_EQ(pane.Idle(), PaneIdle::Active);
    Clock::Reset();
}

TEST(IdlePanes, TheWindowsHiddenLinkSleepsShowsItAndWakesWithoutLoggingInAgain) {
    BrowseFixture w(
        {{"Bank", "http://www.bank.test/", false, true, "me", "pw"}, {"News", "http://news.test/"}});
    BrowseWindow& browse = w.Load();
    Clock::SetNow(QDateTime(QDate(2024, 3, 5), QTime(10, 0)));
    const int bank = w.index("Bank"), news = w.index("News");
    QToolButton* view = browse.Buttons().ViewButtonAt(news);
    w.click("Bank"); // its login has not finished
    w.click("News");
    w.pane(news).SimulateLoad("http://news.test/");
    w.click("Bank");
    browse.Idle().Check();
    Clock::Advance(31 * kMinute);
    browse.Idle().Check();
    EXPECT_EQ(w.pane(bank).Idle(), PaneIdle::Active);
    ASSERT_EQ(w.pane(news).Idle(), PaneIdle::Discarded);

    // The login of Bank finished meanwhile; while News is shown, Bank may sleep. The engine loads
    // a woken page again by itself: the program neither navigates nor logs in.
    w.link("Bank").SetLoggedIn(true);
    w.clearNavigations();
    QTest::mouseClick(view, Qt::LeftButton);
    EXPECT_EQ(w.pane(news).Idle(), PaneIdle::Active);
    EXPECT_TRUE(w.navigations().isEmpty()) << w.navigations().join(QLatin1Char('\n')).toStdString();
    Clock::Advance(11 * kMinute);
    browse.RefreshWorkingPanes(); // its login is no longer watched
    browse.Idle().Check();
    EXPECT_EQ(w.pane(bank).Idle(), PaneIdle::Frozen);
}

TEST(LinkProfiles, ARemovedLinksWebDataGoesOnceStoredLeftoversAtTheNextStartAndPanesGoToTheUsersHome) {
    BrowseFixture w(
        {{"One", "http://one.test/"}, {"Two", "http://two.test/"}, {"Three", "http://three.test/"}});
    const QStringList ids = LinkIds::Stored(QLatin1String(BrowseFixture::kUser));
    const QString gone = LinkIds::New();
    for (const QString& id : ids + QStringList{gone})
        QDir().mkpath(folderOf(id) + QStringLiteral("/Local Storage")); // as a page would leave it
    core::SaveValue(BrowseFixture::kUser, "HomePage", "https://home.example/");
    BrowseWindow& browse = w.Load();
    EXPECT_FALSE(QDir(folderOf(gone)).exists()) << "no Link has it";
    for (const QString& id : ids)
        EXPECT_TRUE(QDir(folderOf(id)).exists());
    // A removal the store refuses keeps the Link, and so its web data.
    {
        StoreFault fault(StoreFault::ReadOnly);
        w.boxes().Answer(msgbox::Yes).Answer(msgbox::Cancel); // delete it? not saved: no retry
        browse.Controls().RemoveLink(w.index("Two"));
    }
    EXPECT_EQ(w.boxes().lastTitle(), "Not Saved");
    EXPECT_TRUE(QDir(folderOf(w.link("Two").Id())).exists());

    // The first Link goes: its web data, and its page with pane 0, which a fresh pane replaces.
    const QString one = w.link("One").Id();
    QPointer<BrowserPane> pane0(browse.Pane(0));
    w.boxes().Answer(msgbox::Yes);
    browse.Controls().RemoveLink(w.index("One"));
    EXPECT_FALSE(QDir(folderOf(one)).exists());
    EXPECT_TRUE(QDir(folderOf(w.link("Two").Id())).exists());
    EXPECT_TRUE(pane0.isNull());
    EXPECT_EQ(browse.Pane(0)->ProfileId(), QString());
    // A pop-up listed from the removed Link opens in the shared profile, not in a new copy of it.
    w.click("Two");
    browse.PopUps().OpenInCurrentWindow("http://one.test/offer", one);
    EXPECT_EQ(browse.PopUps().NewWindows().value(0)->Pane()->ProfileId(), QString());
    EXPECT_FALSE(QDir(folderOf(one)).exists());

    // Every pane, the fresh one too, goes home to the user's home page, and follows a change.
    EXPECT_EQ(w.pane(0).HomePage(), "https://home.example/");
    EXPECT_EQ(browse.Placeholder()->HomePage(), "https://home.example/");
    StandaloneWindow* window =
        browse.PopUps().OpenNewWin(QLatin1String(PopupPolicy::kHome), true, nullptr, true, QString());
    FakePane& pane = *static_cast<FakePane*>(window->Pane());
    EXPECT_EQ(pane.navigations(), QStringList{"https://home.example/"});
    UserHomePage::Set("https://news.example/");
    w.clearNavigations();
    w.pane(0).GoHome();
    EXPECT_EQ(w.navigations(), QStringList({"0 https://news.example/"}));
    EXPECT_EQ(browse.Placeholder()->HomePage(), "https://news.example/");
    window->RunCommand(WindowCommand::Home);
    EXPECT_EQ(pane.navigations().last(), "https://news.example/");
    UserHomePage::Set(QString());
    EXPECT_EQ(window->Pane()->HomePage(), "bramblegate://start/");
}

} // namespace
