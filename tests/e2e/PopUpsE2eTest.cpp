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

TEST(PopUpsE2e, PopUpsAtLoadAreListedNotShownAndEachOpensOnDemand) {
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
    int beeps = 0;
    browse.PopUps().SetBeeper([&] { ++beeps; });
    browse.Navigation().OpenLink(0);
    PopUpsList& list = w.frame->PopUps();
    ASSERT_TRUE(WaitFor([&] { return list.Count() == 3; }, 30000)) << list.Count();
    QStringList urls;
    for (const PopUpItem& item : list.Items())
        urls << item.url;
    const auto target = [](int n) { return SharedSites().Url(QStringLiteral("/popup-target?n=%1").arg(n)); };
    EXPECT_EQ(urls, QStringList({target(3), target(2), target(1)}));
    EXPECT_EQ(beeps, 3);
    Pump(300);
    EXPECT_EQ(SharedSites().main().CountRequests(QStringLiteral("/popup-target")), served)
        << "a blocked window loads nothing";
    // Each opens on demand from the menu, in the visible Link.
    const QList<QAction*> items = w.frame->findChild<QMenu*>(QStringLiteral("mnpPopUpsList"))->actions();
    ASSERT_EQ(items.size(), 3);
    WebEnginePane& pane = w.pane("Link");
    for (int i : {0, 2}) {
        items[i]->trigger();
        // The page's snapshot is there, not only the empty document of its first moment.
        ASSERT_TRUE(WaitFor(
            [&] {
                return pane.ReadyState() == PaneReadyState::Complete && pane.Document() &&
                       pane.Document()->URL() == urls[i] && !pane.Document()->title().isEmpty();
            },
            15000))
            << i;
    }
    EXPECT_TRUE(browse.PopUps().NewWindows().isEmpty());
}
