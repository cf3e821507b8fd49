// The master history and the bookmarks: their menus (the part every address menu of the frame
// shares), the user's "History" and "BMs" values, and their dialogs.

#include "browse/Bookmarks.h"
#include "browse/HistoryTestSupport.h"
#include "browse/MasterHistory.h"
#include "frame/BookmarksMenu.h"
#include "frame/MasterHistoryDialog.h"
#include "frame/MasterHistoryMenu.h"
#include "FrameSupport.h"

using namespace frametest;

namespace {

QStringList MenuTexts(const QMenu* menu, int from = 0) {
    QStringList out;
    for (const QAction* a : menu->actions().mid(from))
        out << a->text() + QLatin1Char('|') + a->data().toString();
    return out;
}

// The history, its menu (with an item of the caller's before) and the "History" tool button.
struct History {
    LoggedInUser ann;
    ScriptedBoxes boxes;
    MasterHistory history;
    QAction foreign{"Mine"};
    std::unique_ptr<QMenu> menu = std::make_unique<QMenu>();
    QAction button{"History"};
    std::unique_ptr<MasterHistoryMenu> historyMenu;
    History() {
        menu->addAction(&foreign);
        historyMenu = std::make_unique<MasterHistoryMenu>(history, menu.get());
        historyMenu->BindAction(&button);
    }
    QList<HistoryEntry> Reloaded() { // what the next login reads
        ann.temp().Reopen();
        MasterHistory next;
        next.LoadMasterHistory();
        return next.Items();
    }
};

BookmarkPage Page(const QString& title, const QString& url) {
    return BookmarkPage{title, title, url};
}

struct Marks {
    LoggedInUser ann;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    Bookmarks bookmarks;
    QMenu menu;
    BookmarksMenu bookmarksMenu{bookmarks, &menu};
    // The bookmarks after "Delete Bookmark...", "Rename Bookmark..." and a line.
    QStringList Menu() const { return MenuTexts(&menu, 3); }
};

} // namespace

TEST(MasterHistory, TheMenuFollowsTheListAndSurvivesAChoiceThatRebuildsIt) {
    History h;
    EXPECT_TRUE(h.menu->actions().isEmpty());
    EXPECT_FALSE(h.button.isEnabled() || h.menu->isEnabled());
    for (const char* caption : {"Fish & Chips", "Fish & Chips", "B", "Fish & Chips"})
        h.history.AddMasterHisListItem(caption, caption[0] == 'B' ? "http://b.com/" : "http://fish.com/");
    EXPECT_TRUE(h.button.isEnabled());
    EXPECT_EQ(h.button.menu(), h.menu.get());
    // Only a repeat of the newest page is left out; "&" is a letter; one value per caption.
    EXPECT_EQ(MenuTexts(h.menu.get()), QStringList({"Fish && Chips|http://fish.com/", "B|http://b.com/",
                                                    "Fish && Chips|http://fish.com/"}));
    EXPECT_EQ(h.menu->actions().at(1)->statusTip(), "http://b.com/");
    EXPECT_EQ(h.ann.Stored("History"), QStringList({"Fish & Chips=http://fish.com/", "B=http://b.com/"}));

    // The chosen page joins the history while the chosen item still runs its trigger.
    QObject::connect(h.historyMenu.get(), &AddressMenu::NavigateRequested,
                     [&](const QString& url) { h.history.AddMasterHisListItem("Again", url); });
    QPointer<QAction> item = h.menu->actions().at(1);
    item->trigger();
    ASSERT_FALSE(item.isNull());
    EXPECT_EQ(MenuTexts(h.menu.get()).first(), "Again|http://b.com/");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(item.isNull());

    // A later binding takes the place of the first; the menu may go before the list does.
    QAction second("History 2");
    h.historyMenu->BindAction(&second);
    h.history.RemoveAll();
    EXPECT_FALSE(second.isEnabled());
    EXPECT_TRUE(h.button.isEnabled());
    h.menu.reset();
    h.history.AddMasterHisListItem("B", "http://b.com/");
    EXPECT_TRUE(second.isEnabled());
    EXPECT_EQ(h.foreign.text(), "Mine");
}

TEST(MasterHistory, TheLimitAndOneStoredValuePerCaptionHoldAcrossLogins) {
    History h;
    h.ann.options().SetMaxHistoryItems(3);
    for (const char* page : {"One", "Two", "Three", "Four", "Four"})
        h.history.AddMasterHisListItem(page, QString("http://%1.com/").arg(page).toLower());
    // Full, and the newest page again: the oldest still goes, nothing comes.
    EXPECT_EQ(MenuTexts(h.menu.get()), QStringList({"Four|http://four.com/", "Three|http://three.com/"}));
    EXPECT_EQ(h.Reloaded(),
              (QList<HistoryEntry>{{"Four", "http://four.com/"}, {"Three", "http://three.com/"}}));
    // One caption, two addresses: stored once, the later address in the caption's first place.
    h.ann.options().SetMaxHistoryItems(100);
    h.history.AddMasterHisListItem("Three", "http://three.com/today");
    EXPECT_EQ(h.ann.Stored("History"),
              QStringList({"Three=http://three.com/today", "Four=http://four.com/"}));
    // Deleting the newer entry deletes the value, though an older entry has the caption.
    h.history.Remove(0);
    EXPECT_EQ(h.Reloaded(), (QList<HistoryEntry>{{"Four", "http://four.com/"}}));
    // A lowered limit trims menu and store at the refresh after Options; 0 keeps nothing.
    for (const char* page : {"P1", "P2", "P3"})
        h.history.AddMasterHisListItem(page, page);
    h.ann.options().SetMaxHistoryItems(2);
    QSignalSpy changed(&h.history, &MasterHistory::Changed);
    h.history.RefreshMasterHisList();
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(MenuTexts(h.menu.get()), QStringList({"P3|P3", "P2|P2"}));
    EXPECT_EQ(h.ann.Stored("History"), QStringList({"P2=P2", "P3=P3"}));
    h.ann.options().SetMaxHistoryItems(0);
    h.history.RefreshMasterHisList();
    h.history.AddMasterHisListItem("P4", "P4");
    EXPECT_FALSE(h.button.isEnabled());
    EXPECT_TRUE(h.ann.Stored("History").isEmpty());
}

TEST(MasterHistory, TheDialogDeletesOneEntryOrAllOfThemAfterAsking) {
    History h;
    ScriptedDialogs dialogs;
    for (const char* page : {"One", "Two", "Three"})
        h.history.AddMasterHisListItem(page, QString("http://%1/").arg(page));
    dialogs.Next([&](QDialog& dialog) {
        auto& tree = Child<QTreeWidget>(dialog, "tvwHistory");
        Child<QPushButton>(dialog, "cmdDelete").click(); // nothing selected
        tree.setCurrentItem(tree.topLevelItem(1));
        Child<QPushButton>(dialog, "cmdDelete").click();
        h.boxes.Answer(msgbox::No);
        Child<QPushButton>(dialog, "cmdDeleteAll").click();
        EXPECT_EQ(tree.topLevelItemCount(), 2);
        Child<QPushButton>(dialog, "cmdExit").click();
        return dialog.result();
    });
    h.historyMenu->ShowDialog();
    EXPECT_EQ(h.ann.Stored("History"), QStringList({"One=http://One/", "Three=http://Three/"}));
    MasterHistoryDialog dialog(h.history);
    h.boxes.Answer(msgbox::Yes);
    Child<QPushButton>(dialog, "cmdDeleteAll").click();
    ExpectBoxes(h.boxes, {"deleteAllHistory", "deleteAllHistory"});
    EXPECT_EQ(Child<QTreeWidget>(dialog, "tvwHistory").topLevelItemCount(), 0);
    EXPECT_FALSE(h.button.isEnabled());
    EXPECT_EQ(SettingsStore::Current()->FindKey("Software\\Bramblegate\\AnnHistory"), -1);
}

TEST(Bookmarks, NamedAfterThePageNewestFirstAndAskedBeforeAReplace) {
    Marks m;
    m.bookmarks.AddBookmark(Page("Home", "http://www.bank.com/"));
    // A document whose title cannot be read: the location name stands in.
    m.bookmarks.AddBookmark(BookmarkPage{std::nullopt, "Weather today", "http://weather.org/today"});
    QSignalSpy chosen(&m.bookmarksMenu, &BookmarksMenu::NavigateRequested);
    m.menu.actions().at(4)->trigger();
    EXPECT_EQ(chosen.value(0).value(0).toString(), "http://www.bank.com/");
    m.ann.temp().Reopen(); // the next login reads them back in the same order
    Bookmarks next;
    next.LoadBookmarks();
    EXPECT_EQ(next.Items(), m.bookmarks.Items());

    m.bookmarks.AddBookmark(Page("Home", "http://www.bank.com/")); // the same address: nothing to ask
    m.boxes.Answer(msgbox::No);
    m.bookmarks.AddBookmark(Page("Home", "http://www.bank.com/index2"));
    EXPECT_EQ(m.Menu(), QStringList({"Weather - Weather today|http://weather.org/today",
                                     "Bank - Home|http://www.bank.com/"}));
    m.boxes.Answer(msgbox::Yes);
    m.bookmarks.AddBookmark(Page("Home", "http://www.bank.com/index2"));
    ExpectBoxes(m.boxes, {"replaceBookmark", "replaceBookmark"});
    EXPECT_EQ(m.Menu(), QStringList({"Bank - Home|http://www.bank.com/index2",
                                     "Weather - Weather today|http://weather.org/today"}));
    EXPECT_EQ(m.ann.Stored("BMs"), QStringList({"Bank - Home=http://www.bank.com/index2",
                                                "Weather - Weather today=http://weather.org/today"}));
}

TEST(Bookmarks, AddingAndLoadingKeepOneMoreThanTheLimitTrimmingKeepsTheLimit) {
    Marks m;
    m.ann.options().SetMaxBookmarkItems(5);
    for (int i = 1; i <= 8; ++i)
        m.bookmarks.AddBookmark(Page(QString("P%1").arg(i), QString("http://10.0.0.%1/").arg(i)));
    EXPECT_EQ(m.ann.Stored("BMs").size(), 6);
    EXPECT_EQ(m.ann.Stored("BMs").first(), "P3=http://10.0.0.3/");
    m.ann.options().SetMaxBookmarkItems(3); // lowered in Options: the oldest go
    m.bookmarks.DeleteExtraBookmarks();
    EXPECT_EQ(m.Menu(), QStringList({"P8|http://10.0.0.8/", "P7|http://10.0.0.7/", "P6|http://10.0.0.6/"}));
    EXPECT_EQ(m.ann.Stored("BMs"),
              QStringList({"P6=http://10.0.0.6/", "P7=http://10.0.0.7/", "P8=http://10.0.0.8/"}));
    // Stored beyond the limit (an older program, an import): loading keeps the newest limit + 1.
    Bookmarks next;
    m.ann.options().SetMaxBookmarkItems(1);
    next.LoadBookmarks();
    EXPECT_EQ(next.Items(), (QList<Bookmark>{{"P8", "http://10.0.0.8/"}, {"P7", "http://10.0.0.7/"}}));
    EXPECT_EQ(m.ann.Stored("BMs"), QStringList({"P7=http://10.0.0.7/", "P8=http://10.0.0.8/"}));
}

TEST(Bookmarks, TheDeleteDialogRemovesTheSelectedOneTheRenameDialogRefusesANameInUse) {
    Marks m;
    for (const char* name : {"Mail", "Gone", "Bank"})
        m.bookmarks.AddBookmark(Page(name, QString("http://www.example.com/%1").arg(name).toLower()));
    m.dialogs.Next([&](QDialog& dialog) {
        auto& tree = Child<QTreeWidget>(dialog, "tvwBookmarks");
        tree.setCurrentItem(tree.topLevelItem(1));
        Child<QPushButton>(dialog, "cmdDelete").click();
        Child<QPushButton>(dialog, "cmdClose").click();
        return dialog.result();
    });
    m.menu.actions().at(0)->trigger(); // "Delete Bookmark..."
    m.dialogs.Next([&](QDialog& dialog) {
        auto& tree = Child<QTreeWidget>(dialog, "tvwBookmarks");
        EXPECT_TRUE(Child<QPushButton>(dialog, "cmdDelete").isHidden());
        m.boxes.Answer(msgbox::OK);
        tree.topLevelItem(0)->setText(0, "example - mail"); // as the item's editor leaves it
        EXPECT_EQ(tree.topLevelItem(0)->text(0), "Example - Bank");
        tree.topLevelItem(0)->setText(0, "My bank");
        Child<QPushButton>(dialog, "cmdClose").click();
        return dialog.result();
    });
    m.menu.actions().at(1)->trigger(); // "Rename Bookmark..."
    ExpectBoxes(m.boxes, {"bookmarkExists"});
    EXPECT_EQ(m.Menu(), QStringList({"My bank|http://www.example.com/bank",
                                     "Example - Mail|http://www.example.com/mail"}));
    EXPECT_EQ(m.ann.Stored("BMs"), QStringList({"Example - Mail=http://www.example.com/mail",
                                                "My bank=http://www.example.com/bank"}));
}
