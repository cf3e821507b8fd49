// Pop-up blocking with the real engine on the local test sites.
#include <gtest/gtest.h>
#include <QAction>
#include <QMenu>

#include "browse/BrowseWindow.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/NavigationDriver.h"
#include "browse/PopupPolicy.h"
#include "browse/PopUpsList.h"
#include "core/AppState.h"
#include "e2e/E2eSupport.h"
#include "frame/MainWindow.h"
#include "sites/TestSites.h"

using sites::SharedSites;

TEST(PopUpsE2e, PopUpsAtLoadAreListedNotLoadedAndOneOpensOnDemand) {
    TempStore store;
    ScriptedBoxes boxes;
    App().CurrentUser = QStringLiteral("e2e-popups-list");
    App().PassPhrase = QStringLiteral("pass");
    StoreLinks({{"Link", "/popup-three"}});
    const int served = SharedSites().main().CountRequests(QStringLiteral("/popup-target"));
    E2eWindow w;
    BrowseWindow& browse = *w.browse;
    for (const char* timer : {"showPageTimer", "busyTimer"})
        browse.findChild<QTimer*>(QLatin1String(timer))->stop();
    browse.Navigation().OpenLink(0);
    PopUpsList& list = w.frame->PopUps();
    ASSERT_TRUE(WaitFor([&] { return list.Count() == 3; }, 30000)) << list.Count();
    const QString last = SharedSites().Url(QStringLiteral("/popup-target?n=3"));
    EXPECT_EQ(list.Items().first().url, last);
    Pump(300);
    EXPECT_EQ(SharedSites().main().CountRequests(QStringLiteral("/popup-target")), served)
        << "a blocked window loads nothing";
    // One opens on demand from the menu, in the visible Link. (The menu and beeps: PopUps.)
    w.frame->findChild<QMenu*>(QStringLiteral("mnpPopUpsList"))->actions().first()->trigger();
    // The page's snapshot is there, not only the empty document of its first moment.
    WebEnginePane& pane = w.pane("Link");
    EXPECT_TRUE(WaitFor(
        [&] {
            return pane.ReadyState() == PaneReadyState::Complete && pane.Document() &&
                   pane.Document()->URL() == last && !pane.Document()->title().isEmpty();
        },
        15000));
    EXPECT_TRUE(browse.PopUps().NewWindows().isEmpty());
}
