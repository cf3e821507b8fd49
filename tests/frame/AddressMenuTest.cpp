#include <gtest/gtest.h>
#include <memory>
#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>

#include "browse/HistoryTestSupport.h"
#include "browse/MasterHistory.h"
#include "frame/MasterHistoryMenu.h"

// The shared parts of the frame's address menus, through the history menu.

// Choosing an entry usually adds to the history (the page it opens), which rebuilds the menu
// while the chosen item is still running its trigger: the item must outlive the choice, and
// the menu must show the new list right away.
TEST(AddressMenu, ChoosingAnItemThatRebuildsTheMenuIsSafe) {
    LoggedInUser ann;
    MasterHistory history;
    QMenu menu;
    MasterHistoryMenu historyMenu(history, &menu);
    history.AddMasterHisListItem("Fish & Chips", "http://fish.com/");
    history.AddMasterHisListItem("B", "http://b.com/");
    ASSERT_EQ(menu.actions().size(), 2);
    // "&" is shown as a letter.
    EXPECT_EQ(menu.actions().at(1)->text(), QStringLiteral("Fish && Chips"));
    EXPECT_EQ(menu.actions().at(1)->toolTip(), QStringLiteral("http://fish.com/"));
    EXPECT_EQ(menu.actions().at(1)->statusTip(), QStringLiteral("http://fish.com/"));

    QStringList chosen;
    QObject::connect(&historyMenu, &AddressMenu::NavigateRequested, [&](const QString& url) {
        chosen << url;
        history.AddMasterHisListItem(QStringLiteral("Again"), url);
    });
    QPointer<QAction> item = menu.actions().at(1);
    item->trigger();
    EXPECT_EQ(chosen, QStringList({"http://fish.com/"}));
    ASSERT_FALSE(item.isNull()); // still there while its trigger ran
    EXPECT_FALSE(menu.actions().contains(item.data()));
    ASSERT_EQ(menu.actions().size(), 3);
    EXPECT_EQ(menu.actions().at(0)->text(), QStringLiteral("Again"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(item.isNull()); // and gone once the choice was handled
}

// Actions the caller put in the menu stay the caller's; a bound action follows the list, and a
// later binding takes its place.
TEST(AddressMenu, BoundActionsFollowTheListAndForeignItemsSurvive) {
    LoggedInUser ann;
    MasterHistory history;
    QAction foreign("Mine");
    QAction first("History"), second("History 2");
    auto menu = std::make_unique<QMenu>();
    menu->addAction(&foreign);
    MasterHistoryMenu historyMenu(history, menu.get());
    EXPECT_TRUE(menu->actions().isEmpty());
    EXPECT_FALSE(menu->isEnabled());

    historyMenu.BindAction(&first);
    EXPECT_EQ(first.menu(), menu.get());
    EXPECT_FALSE(first.isEnabled());
    history.AddMasterHisListItem("A", "http://a.com/");
    EXPECT_TRUE(first.isEnabled());
    EXPECT_TRUE(menu->isEnabled());

    historyMenu.BindAction(&second);
    history.RemoveAll();
    EXPECT_FALSE(second.isEnabled());
    EXPECT_TRUE(first.isEnabled()); // no longer bound

    // The menu may go before the list does: the bound action keeps following.
    menu.reset();
    history.AddMasterHisListItem("B", "http://b.com/");
    EXPECT_TRUE(second.isEnabled());
    EXPECT_EQ(historyMenu.menu(), nullptr);
    EXPECT_EQ(foreign.text(), QStringLiteral("Mine"));
}
