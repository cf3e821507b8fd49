// The user's lists: the master history and the bookmarks (their menus, the part every address menu
// of the frame shares, their "History" and "BMs" values and their dialogs), and the links strip
// (shortcut files in a folder, the user's order of them, its context menu, drag and drop, scrolling).

#include "browse/Bookmarks.h"
#include "browse/FavoritesReader.h"
#include "browse/HistoryTestSupport.h"
#include "browse/LinkDrag.h"
#include "browse/MasterHistory.h"
#include "frame/BookmarksMenu.h"
#include "frame/MasterHistoryDialog.h"
#include "frame/MasterHistoryMenu.h"
#include "frame/ShortcutsBar.h"
#include "FrameSupport.h"

using namespace frametest;

namespace {

QStringList MenuTexts(const QMenu* menu, int from = 0) {
    QStringList out;
    for (const QAction* a : menu->actions().mid(from))
        out << a->text() + QLatin1Char('|') + a->data().toString();
    return out;
}

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

// The menu and the stored values follow the list, across logins; a choice that rebuilds the menu and
// a menu that goes before the list are survived.
TEST(MasterHistory, TheDialogDeletesAfterAskingTheLimitAndOneValuePerCaptionHoldAcrossLoginsTheMenuFollows) {
    LoggedInUser ann;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    MasterHistory history;
    // The history's menu, with an item of the caller's before, and the "History" tool button.
    QAction foreign{"Mine"}, button{"History"};
    auto menu = std::make_unique<QMenu>();
    menu->addAction(&foreign);
    MasterHistoryMenu historyMenu(history, menu.get());
    historyMenu.BindAction(&button);
    const auto reloaded = [&] { // what the next login reads
        ann.temp().Reopen();
        MasterHistory next;
        next.LoadMasterHistory();
        return next.Items();
    };
    EXPECT_FALSE(button.isEnabled() || menu->isEnabled());
    // The dialog deletes one entry, or all of them after asking.
    for (const char* page : {"One", "Two", "Three"})
        history.AddMasterHisListItem(page, QString("http://%1/").arg(page));
    dialogs.Next([&](QDialog& dialog) {
        auto& tree = Child<QTreeWidget>(dialog, "tvwHistory");
        Child<QPushButton>(dialog, "cmdDelete").click(); // nothing selected
        tree.setCurrentItem(tree.topLevelItem(1));
        Child<QPushButton>(dialog, "cmdDelete").click();
        boxes.Answer(msgbox::No);
        Child<QPushButton>(dialog, "cmdDeleteAll").click();
        Child<QPushButton>(dialog, "cmdExit").click();
        return dialog.result();
    });
    historyMenu.ShowDialog();
    EXPECT_EQ(ann.Stored("History"), QStringList({"One=http://One/", "Three=http://Three/"}));
    MasterHistoryDialog dialog(history);
    boxes.Answer(msgbox::Yes);
    Child<QPushButton>(dialog, "cmdDeleteAll").click();
    ExpectBoxes(boxes, {"deleteAllHistory", "deleteAllHistory"});
    EXPECT_EQ(Child<QTreeWidget>(dialog, "tvwHistory").topLevelItemCount(), 0);
    EXPECT_EQ(SettingsStore::Current()->FindKey("Software\\Bramblegate\\AnnHistory"), -1);
    EXPECT_FALSE(button.isEnabled() || menu->isEnabled());
    ann.options().SetMaxHistoryItems(3);
    for (const char* page : {"One", "Two", "Three", "Four", "Four"})
        history.AddMasterHisListItem(page, QString("http://%1.com/").arg(page).toLower());
    // Full, and the newest page again: the oldest still goes, nothing comes.
    EXPECT_EQ(button.isEnabled() ? button.menu() : nullptr, menu.get());
    EXPECT_EQ(MenuTexts(menu.get()), QStringList({"Four|http://four.com/", "Three|http://three.com/"}));
    EXPECT_EQ(reloaded(),
              (QList<HistoryEntry>{{"Four", "http://four.com/"}, {"Three", "http://three.com/"}}));
    // One caption, two addresses: stored once, the later address in the caption's first place.
    ann.options().SetMaxHistoryItems(100);
    history.AddMasterHisListItem("Three", "http://three.com/today");
    EXPECT_EQ(ann.Stored("History"), QStringList({"Three=http://three.com/today", "Four=http://four.com/"}));
    // Deleting the newer entry deletes the value, though an older entry has the caption.
    history.Remove(0);
    EXPECT_EQ(reloaded(), (QList<HistoryEntry>{{"Four", "http://four.com/"}}));
    // A lowered limit trims menu and store at the refresh after Options; "&" is a letter.
    for (const char* page : {"P1", "P&2", "P3"})
        history.AddMasterHisListItem(page, page);
    ann.options().SetMaxHistoryItems(2);
    history.RefreshMasterHisList();
    EXPECT_EQ(MenuTexts(menu.get()), QStringList({"P3|P3", "P&&2|P&2"}));
    EXPECT_EQ(ann.Stored("History"), QStringList({"P&2=P&2", "P3=P3"}));
    // The chosen page joins the history while the chosen item still runs its trigger.
    QObject::connect(&historyMenu, &AddressMenu::NavigateRequested,
                     [&](const QString& url) { history.AddMasterHisListItem("Again", url); });
    QPointer<QAction> item = menu->actions().at(1);
    item->trigger();
    ASSERT_FALSE(item.isNull());
    EXPECT_EQ(MenuTexts(menu.get()).first(), "Again|P&2");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(item.isNull());
    // A later binding takes the place of the first; the menu may go before the list does.
    QAction second("History 2");
    historyMenu.BindAction(&second);
    history.RemoveAll();
    EXPECT_FALSE(second.isEnabled());
    EXPECT_TRUE(button.isEnabled());
    menu.reset();
    history.AddMasterHisListItem("B", "http://b.com/");
    EXPECT_TRUE(second.isEnabled());
    EXPECT_EQ(foreign.text(), "Mine");
    // 0 keeps nothing.
    ann.options().SetMaxHistoryItems(0);
    history.RefreshMasterHisList();
    history.AddMasterHisListItem("P4", "P4");
    EXPECT_FALSE(second.isEnabled());
    EXPECT_TRUE(ann.Stored("History").isEmpty());
}

TEST(Bookmarks, NamedAfterThePageNewestFirstAskedBeforeAReplaceAndKeptToTheLimit) {
    Marks m;
    m.bookmarks.AddBookmark(Page("Home", "http://www.bank.com/"));
    // A document whose title cannot be read: the location name stands in.
    m.bookmarks.AddBookmark(BookmarkPage{std::nullopt, "Weather today", "http://weather.org/today"});
    QSignalSpy chosen(&m.bookmarksMenu, &BookmarksMenu::NavigateRequested);
    m.menu.actions().at(4)->trigger();
    EXPECT_EQ(chosen.value(0).value(0).toString(), "http://www.bank.com/");
    m.bookmarks.AddBookmark(Page("Home", "http://www.bank.com/")); // the same address: nothing to ask
    m.boxes.Answer(msgbox::No).Answer(msgbox::Yes);
    m.bookmarks.AddBookmark(Page("Home", "http://www.bank.com/index2"));
    EXPECT_EQ(m.Menu(), QStringList({"Weather - Weather today|http://weather.org/today",
                                     "Bank - Home|http://www.bank.com/"}));
    m.bookmarks.AddBookmark(Page("Home", "http://www.bank.com/index2"));
    ExpectBoxes(m.boxes, {"replaceBookmark", "replaceBookmark"});
    EXPECT_EQ(m.Menu(), QStringList({"Bank - Home|http://www.bank.com/index2",
                                     "Weather - Weather today|http://weather.org/today"}));
    EXPECT_EQ(m.ann.Stored("BMs"), QStringList({"Bank - Home=http://www.bank.com/index2",
                                                "Weather - Weather today=http://weather.org/today"}));
    // Adding keeps one more than the limit; a limit lowered in Options trims to it.
    m.ann.options().SetMaxBookmarkItems(5);
    for (int i = 1; i <= 8; ++i)
        m.bookmarks.AddBookmark(Page(QString("P%1").arg(i), QString("http://10.0.0.%1/").arg(i)));
    EXPECT_EQ(m.ann.Stored("BMs").size(), 6);
    EXPECT_EQ(m.ann.Stored("BMs").first(), "P3=http://10.0.0.3/");
    m.ann.options().SetMaxBookmarkItems(3);
    m.bookmarks.DeleteExtraBookmarks();
    EXPECT_EQ(m.Menu(), QStringList({"P8|http://10.0.0.8/", "P7|http://10.0.0.7/", "P6|http://10.0.0.6/"}));
    EXPECT_EQ(m.ann.Stored("BMs"),
              QStringList({"P6=http://10.0.0.6/", "P7=http://10.0.0.7/", "P8=http://10.0.0.8/"}));
    // Stored beyond the limit (an older program, an import): the next login keeps the newest limit + 1.
    m.ann.temp().Reopen();
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

TEST(ShortcutsBar, TheContextMenuAddsEditsDeletesSortsDraggedButtonsAndDropsAreShortcutsAndTheRowScrolls) {
    LoggedInUser ann;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    const QString folder = dir.filePath("Links");
    QDir().mkpath(folder);
    for (const QString name : {"Zoo", "Bank"})
        FavoritesReader::WriteShortcut(folder + "/" + name + ".url",
                                       "https://" + name.toLower() + ".example/");
    ShortcutsBar bar;
    bar.SetFolder(folder);
    bar.Load();
    const auto menu = [&](int place, const char* action) {
        bar.PrepareContextMenu(place);
        Child<QAction>(bar, action).trigger();
    };
    core::PageLocation page{"Daily Planet: Home", "https://planet.example/"};
    bar.SetPageSource([&page] { return page; });
    // Add: the page on show, after the link the menu was opened on; again only moves it; another
    // page of the same name gets a number.
    menu(0, "addLink");
    menu(0, "addLink");
    page.url = "https://planet.example/sports";
    menu(-1, "addLink");
    const QString planet = FavoritesReader::SafeFileName("Daily Planet: Home");
    EXPECT_EQ(bar.Names(), QStringList({"Bank", planet, "Zoo", planet + " (2)"}));
    EXPECT_EQ(FavoritesReader::ReadShortcut(folder + "/" + planet + ".url"), "https://planet.example/");
    page.url = ""; // no page: no Add, and without a link no Edit
    bar.PrepareContextMenu(-1);
    EXPECT_FALSE(Child<QAction>(bar, "addLink").isEnabled());
    EXPECT_FALSE(Child<QAction>(bar, "editLink").isEnabled());

    // Edit: a new name renames the file; a typed address is completed; a taken name is refused.
    dialogs.Next([](QDialog& d) {
        EXPECT_EQ(Child<QLineEdit>(d, "txtAddress").text(), "https://zoo.example/");
        Child<QLineEdit>(d, "txtName").setText("City Zoo");
        Child<QLineEdit>(d, "txtAddress").setText("cityzoo.example/tickets");
        Child<QPushButton>(d, "cmdOK").click();
        return d.result();
    });
    menu(2, "editLink");
    EXPECT_FALSE(QFile::exists(folder + "/Zoo.url"));
    EXPECT_EQ(FavoritesReader::ReadShortcut(folder + "/City Zoo.url"), "http://cityzoo.example/tickets");
    boxes.Answer(msgbox::OK);
    EXPECT_FALSE(bar.EditLink(2, "bank", "https://zoo.example/"));

    // Delete asks first.
    boxes.Answer(msgbox::No).Answer(msgbox::Yes);
    menu(0, "deleteLink");
    menu(0, "deleteLink");
    EXPECT_FALSE(QFile::exists(folder + "/Bank.url"));
    menu(-1, "sortLinks");
    EXPECT_EQ(bar.Names(), QStringList({"City Zoo", planet, planet + " (2)"}));
    EXPECT_EQ(ann.Stored("IELinks").first(), "City Zoo=http://cityzoo.example/tickets");

    QSignalSpy toolbars(&bar, &ShortcutsBar::ToolbarsMenuRequested);
    boxes.Answer(msgbox::OK);
    menu(-1, "toolbars");
    EXPECT_EQ(toolbars.count(), 1);
    ExpectBoxes(boxes, {"linkTaken", "deleteLink", "deleteLink", "selectToolbars"});

    // A button offers its shortcut file and the Link buttons' formats; dropped on the strip again
    // it only moves.
    std::unique_ptr<QMimeData> dragged(bar.DragData(1));
    ASSERT_TRUE(dragged);
    EXPECT_EQ(dragged->data(LinkDrag::kUrlFormat), "https://planet.example/");
    EXPECT_EQ(dragged->data(LinkDrag::kLinkFormat), "1::https://planet.example/::" + planet + "::IELinks");
    EXPECT_EQ(dragged->urls(), QList<QUrl>({QUrl::fromLocalFile(folder + "/" + planet + ".url")}));
    EXPECT_TRUE(bar.DropData(dragged.get(), 0));
    EXPECT_EQ(QDir(folder).entryList({"*.url"}, QDir::Files).size(), 3);
    // A shortcut file from elsewhere is copied in; a Link button and a page picture become new ones.
    QTemporaryDir other;
    FavoritesReader::WriteShortcut(other.filePath("Library.url"), "https://library.example/");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(other.filePath("Library.url"))});
    EXPECT_TRUE(bar.DropData(&files, 1));
    EXPECT_TRUE(QFile::exists(other.filePath("Library.url")));
    std::unique_ptr<QMimeData> link(LinkDrag(4, "https://shop.example/", "Shop", QString()).MimeData());
    EXPECT_TRUE(bar.DropData(link.get(), -1));
    std::unique_ptr<QMimeData> picture(LinkDrag::PageMimeData("https://news.example/today", "Today's News"));
    EXPECT_TRUE(bar.DropData(picture.get(), 0));
    EXPECT_EQ(bar.Names(), QStringList({FavoritesReader::SafeFileName("Today's News"), planet, "Library",
                                        "City Zoo", planet + " (2)", "Shop"}));
    EXPECT_EQ(ann.Stored("IELinks").last(), "Shop=https://shop.example/");
    QMimeData text; // plain text that is no address
    text.setText("hello world");
    EXPECT_FALSE(ShortcutsBar::CanDrop(&text) || bar.DropData(&text, 0));

    // Scroll buttons only while the row does not fit; scrolled all the way, the last button is in
    // view between them.
    auto& left = Child<QToolButton>(bar, "cmdIELinksLeft");
    auto& right = Child<QToolButton>(bar, "cmdIELinksRight");
    bar.resize(150, 30);
    bar.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(right.isVisible() && left.isVisible());
    EXPECT_FALSE(left.isEnabled());
    right.click();
    EXPECT_TRUE(bar.FirstShown() == 1 && left.isEnabled());
    bar.ScrollBy(100);
    EXPECT_FALSE(right.isEnabled());
    auto& last = Child<QToolButton>(bar, "cmdIELink5");
    EXPECT_LE(last.mapTo(&bar, QPoint(last.width(), 0)).x(), right.x());
    EXPECT_GE(last.mapTo(&bar, QPoint(0, 0)).x(), left.width());
    bar.resize(6000, 30);
    QCoreApplication::processEvents();
    EXPECT_FALSE(left.isVisible() || right.isVisible());
    EXPECT_EQ(bar.FirstShown(), 0);
}
