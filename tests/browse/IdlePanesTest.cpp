// Idle Link panes: frozen, then discarded, after the user's minutes; never when on screen, kept
// awake by the window or by the page; woken by being shown, without another login.
#include <memory>
#include <QTest>
#include <vector>

#include "browse/IdlePanes.h"
#include "browse/LinkButtonsPanel.h"
#include "BrowseSupport.h"
#include "core/Clock.h"
#include "links/Link.h"

using namespace browsetest;

namespace {

struct Panes : IdlePanes::Host {
    std::vector<std::unique_ptr<FakePane>> panes;
    int onScreen = -1;
    int keptAwake = -1;
    int PaneCount() const override { return int(panes.size()); }
    BrowserPane* PaneAt(int index) const override { return panes[size_t(index)].get(); }
    bool PaneOnScreen(int index) const override { return index == onScreen; }
    bool PaneMustStayAwake(int index) const override { return index == keptAwake; }
};

constexpr qint64 kMinute = 60 * 1000;

TEST(IdlePanes, UnseenPanesFreezeThenDiscardUnlessShownKeptAwakeOrBusy) {
    struct Case {
        const char* what;
        int freeze, discard, minutes;
        bool onScreen, windowKeeps, pageKeeps;
        PaneIdle expected;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BrowseFixture::freezeClock();
        Panes host;
        host.panes.push_back(std::make_unique<FakePane>());
        FakePane& pane = *host.panes[0];
        pane.SetKeepAwake(c.pageKeeps);
        host.onScreen = c.onScreen ? 0 : -1;
        host.keptAwake = c.windowKeeps ? 0 : -1;
        IdlePanes idle(host);
        idle.SetMinutes(c.freeze, c.discard);
        idle.Check();
        Clock::Advance(c.minutes * kMinute);
        idle.Check();
        EXPECT_EQ(pane.Idle(), c.expected);
    }
    Clock::Reset();
}

TEST(IdlePanes, ShowingWakesAPaneAndItsTimeStartsAgain) {
    BrowseFixture::freezeClock();
    Panes host;
    host.panes.push_back(std::make_unique<FakePane>());
    FakePane& pane = *host.panes[0];
    IdlePanes idle(host);
    idle.Check();
    Clock::Advance(12 * kMinute);
    idle.Check();
    ASSERT_EQ(pane.Idle(), PaneIdle::Frozen);
    Clock::Advance(20 * kMinute);
    pane.SetKeepAwake(true); // not asked again: a frozen page runs nothing
    idle.Check();
    ASSERT_EQ(pane.Idle(), PaneIdle::Discarded);

    idle.Seen(0);
    EXPECT_EQ(pane.Idle(), PaneIdle::Active);
    pane.SetKeepAwake(false);
    Clock::Advance(9 * kMinute);
    idle.Check();
    EXPECT_EQ(pane.Idle(), PaneIdle::Active) << "the time counts from when it was last seen";
    Clock::Reset();
}

TEST(IdlePanes, TheWindowsHiddenLinkSleepsShowsItAndWakesWithoutLoggingInAgain) {
    BrowseFixture w(
        {{"Bank", "http://www.bank.test/", false, true, "me", "pw"}, {"News", "http://news.test/"}});
    BrowseWindow& browse = w.Load();
    BrowseFixture::freezeClock();
    const int bank = w.index(QStringLiteral("Bank"));
    const int news = w.index(QStringLiteral("News"));
    w.click(QStringLiteral("Bank")); // its login has not finished
    w.click(QStringLiteral("News"));
    w.pane(news).SimulateLoad(QStringLiteral("http://news.test/"));
    w.click(QStringLiteral("Bank"));
    browse.Idle().Check();
    Clock::Advance(31 * kMinute);
    browse.Idle().Check();
    EXPECT_EQ(w.pane(bank).Idle(), PaneIdle::Active);
    ASSERT_EQ(w.pane(news).Idle(), PaneIdle::Discarded);
    EXPECT_EQ(browse.Buttons().ViewIdle(news), PaneIdle::Discarded);
    EXPECT_TRUE(browse.Buttons().ViewButtonAt(news)->toolTip().startsWith(QStringLiteral("View News\n")));
    EXPECT_TRUE(browse.Buttons().ViewButtonAt(news)->toolTip().contains(QStringLiteral("Discarded")));

    // The login of Bank finished meanwhile; while News is shown, Bank may sleep.
    w.link(QStringLiteral("Bank")).SetLoggedIn(true);
    w.clearNavigations();
    QTest::mouseClick(browse.Buttons().ViewButtonAt(news), Qt::LeftButton);
    EXPECT_EQ(w.pane(news).Idle(), PaneIdle::Active);
    EXPECT_EQ(browse.Buttons().ViewButtonAt(news)->toolTip(), QStringLiteral("View News"));
    // The engine loads a woken page again by itself: the program neither navigates nor logs in.
    EXPECT_TRUE(w.navigations().isEmpty()) << w.navigations().join(QLatin1Char('\n')).toStdString();
    Clock::Advance(11 * kMinute);
    browse.RefreshWorkingPanes(); // its login is no longer watched
    browse.Idle().Check();
    EXPECT_EQ(w.pane(bank).Idle(), PaneIdle::Frozen);
    EXPECT_EQ(w.pane(news).Idle(), PaneIdle::Active);
    Clock::Reset();
}

} // namespace
