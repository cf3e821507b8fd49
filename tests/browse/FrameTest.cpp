// The frame around the browse window: keyboard commands, Work Offline, Exit.
#include <QAction>
#include <QTest>

#include <QComboBox>

#include "browse/AddressBox.h"
#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebProfiles.h"
#include "browse/LinkControls.h"
#include "browse/NavigationBar.h"
#include "browse/OfflineState.h"
#include "BrowseSupport.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "frame/FrameStatusBar.h"
#include "frame/MainWindow.h"
#include "links/Links.h"

using namespace browsetest;

namespace {

TEST(Frame, KeyboardReachesTheNavigationCommands) {
    BrowseFixture w({{"A", "http://a.test/"}});
    BrowseWindow& browse = w.Load();
    EXPECT_EQ(w.frame().windowTitle().left(19), QStringLiteral("Bramblegate - alice"));
    w.click(QStringLiteral("A"));
    RecordingPane& pane = w.pane(0);
    pane.SimulateLoad(QStringLiteral("http://a.test/"));
    pane.SimulateLoad(QStringLiteral("http://a.test/2"));
    pane.RaiseCommandStateChange(PaneCommand::Back, true);
    pane.ClearRecords();

    QTest::keyClick(&w.frame(), Qt::Key_Left, Qt::AltModifier);
    QTest::keyClick(&w.frame(), Qt::Key_F5);
    QTest::keyClick(&w.frame(), Qt::Key_Escape);
    EXPECT_EQ(pane.calls(), QStringList({"GoBack", "Refresh", "Stop"}));
    EXPECT_EQ(w.link("A").NavigateMode(), 3);
    EXPECT_TRUE(w.links().NavigateStopped());
    // Home is the user's own request: it goes, Stop or not.
    QTest::keyClick(&w.frame(), Qt::Key_Home, Qt::AltModifier);
    EXPECT_EQ(pane.navigations(), QStringList({QString::fromLatin1(ProgramPages::kStartPageUrl)}));
    QTest::keyClick(&w.frame(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(browse.findChild<AddressBox*>()->hasFocus());
}

TEST(Frame, WorkOfflineIsTheProgramsSwitchAndIsRemembered) {
    BrowseFixture w({{"A", "http://a.test/"}});
    w.Load();
    QAction* offline = w.frame().findChild<QAction*>(QStringLiteral("mnuFileWorkOffline"));
    offline->trigger();
    EXPECT_TRUE(WebProfiles::IsOffline());
    EXPECT_EQ(w.statusBar().PanelText(3), QStringLiteral("Working Offline"));
    EXPECT_EQ(core::GetValue(QStringLiteral("General"), QStringLiteral("WorkOffline")),
              QStringLiteral("True"));
    // A page loading meanwhile finds the menu in step with the switch.
    WebProfiles::SetOffline(false);
    w.pane(0).RaiseDownloadBegin();
    EXPECT_FALSE(offline->isChecked());
    EXPECT_EQ(w.statusBar().PanelText(3), QString());
    offline->trigger();
    offline->trigger();
    EXPECT_FALSE(WebProfiles::IsOffline());
    EXPECT_EQ(core::GetValue(QStringLiteral("General"), QStringLiteral("WorkOffline")),
              QStringLiteral("False"));
}

TEST(Frame, ExitClosesTheBrowseWindowWhichSaves) {
    BrowseFixture w({{"A", "http://a.test/"}, {"B", "http://b.test/"}});
    BrowseWindow& browse = w.Load();
    browse.Controls().MoveLink(w.index("B"), w.index("A"));
    // The browse window does not close on its own.
    EXPECT_FALSE(browse.close());
    EXPECT_EQ(core::GetValue(QLatin1String(BrowseFixture::kUser), QStringLiteral("Caption1")),
              QStringLiteral("A"));
    for (QAction* a : w.frame().findChildren<QAction*>())
        if (a->objectName() == QLatin1String("mnuFileExit")) a->trigger();
    EXPECT_TRUE(App().Unloading);
    w.frame().LifeCycle().UnloadTick();
    w.frame().LifeCycle().UnloadTick();
    EXPECT_EQ(core::GetValue(QLatin1String(BrowseFixture::kUser), QStringLiteral("Caption1")),
              QStringLiteral("B"));
}

} // namespace
