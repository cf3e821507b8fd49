#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include "browse/Bookmarks.h"
#include "browse/HistoryTestSupport.h"
#include "frame/BookmarksDialog.h"
#include "frame/BookmarksMenu.h"

namespace {
QStringList MenuTexts(const QMenu& menu) {
    QStringList out;
    for (const QAction* a : menu.actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text() + QLatin1Char('|') + a->data().toString());
    return out;
}

const QStringList kFixed = {"Delete Bookmark...|", "Rename Bookmark...|", "-"};

BookmarkPage Page(const QString& title, const QString& url) {
    return BookmarkPage{title, title, url};
}

struct Frame {
    LoggedInUser ann;
    Bookmarks bookmarks;
    QMenu menu;
    BookmarksMenu bookmarksMenu{bookmarks, &menu};
    QStringList menuBookmarks() const { return MenuTexts(menu).mid(3); }
};
} // namespace

TEST(Bookmarks, NamedAfterThePageNewestFirstUnderTheFixedItems) {
    Frame f;
    EXPECT_EQ(MenuTexts(f.menu), kFixed);
    f.bookmarks.AddBookmark(Page("Front page", "http://www.news.com/"));
    // A document whose title cannot be read: the location name stands in.
    f.bookmarks.AddBookmark(BookmarkPage{std::nullopt, "Weather today", "http://weather.org/today"});
    EXPECT_EQ(MenuTexts(f.menu), kFixed + QStringList({"Weather - Weather today|http://weather.org/today",
                                                       "News - Front page|http://www.news.com/"}));
    EXPECT_EQ(f.ann.Stored("BMs"), QStringList({"News - Front page=http://www.news.com/",
                                                "Weather - Weather today=http://weather.org/today"}));

    QSignalSpy chosen(&f.bookmarksMenu, &BookmarksMenu::NavigateRequested);
    f.menu.actions().at(4)->trigger();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), "http://www.news.com/");

    // The next login reads them back in the same order.
    f.ann.temp().Reopen();
    Bookmarks next;
    next.LoadBookmarks();
    EXPECT_EQ(next.Items(), f.bookmarks.Items());
}

TEST(Bookmarks, ASecondPageOfTheSameNameIsOnlyBookmarkedWhenTheUserSaysSo) {
    Frame f;
    ScriptedBoxes boxes;
    f.bookmarks.AddBookmark(Page("Home", "http://www.bank.com/"));
    f.bookmarks.AddBookmark(Page("Rates", "http://www.bank.com/rates"));
    f.bookmarks.AddBookmark(Page("Home", "http://www.bank.com/"));
    EXPECT_EQ(boxes.count(), 0); // same address: nothing to ask, nothing changes
    EXPECT_EQ(f.bookmarks.Count(), 2);

    boxes.Answer(msgbox::No);
    f.bookmarks.AddBookmark(Page("Home", "http://www.bank.com/index2"));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.lastText(),
              "A Bookmark with this name already exists.\rDo you want to replace the existing "
              "Bookmark that points to http://www.bank.com/\rWith this: "
              "http://www.bank.com/index2\r\r");
    EXPECT_EQ(boxes.lastTitle(), "Replace Bookmark");
    EXPECT_EQ(boxes.shown().last().buttons, msgbox::YesNo);
    EXPECT_EQ(boxes.shown().last().icon, msgbox::Question);
    EXPECT_EQ(f.menuBookmarks(),
              QStringList({"Bank - Rates|http://www.bank.com/rates", "Bank - Home|http://www.bank.com/"}));
    EXPECT_EQ(f.ann.Stored("BMs"),
              QStringList({"Bank - Home=http://www.bank.com/", "Bank - Rates=http://www.bank.com/rates"}));

    boxes.Answer(msgbox::Yes);
    f.bookmarks.AddBookmark(Page("Home", "http://www.bank.com/index2"));
    EXPECT_EQ(f.menuBookmarks(), QStringList({"Bank - Home|http://www.bank.com/index2",
                                              "Bank - Rates|http://www.bank.com/rates"}));
    EXPECT_EQ(f.ann.Stored("BMs"), QStringList({"Bank - Home=http://www.bank.com/index2",
                                                "Bank - Rates=http://www.bank.com/rates"}));
}

TEST(Bookmarks, AddingAndLoadingKeepOneMoreThanTheLimitTrimmingKeepsTheLimit) {
    Frame f;
    f.ann.options().SetMaxBookmarkItems(5);
    for (int i = 1; i <= 8; ++i)
        f.bookmarks.AddBookmark(Page(QString("Page %1").arg(i), QString("http://10.0.0.%1/").arg(i)));
    ASSERT_EQ(f.bookmarks.Count(), 6);
    EXPECT_EQ(f.bookmarks.Items().first().name, "Page 8");
    EXPECT_EQ(f.bookmarks.Items().last().name, "Page 3");
    EXPECT_EQ(f.ann.Stored("BMs").size(), 6);
    EXPECT_EQ(f.ann.Stored("BMs").first(), "Page 3=http://10.0.0.3/");

    // The options lowered to 3: the surplus goes from the end of the menu and from the store.
    f.ann.options().SetMaxBookmarkItems(3);
    f.bookmarks.DeleteExtraBookmarks();
    EXPECT_EQ(f.menuBookmarks(),
              QStringList({"Page 8|http://10.0.0.8/", "Page 7|http://10.0.0.7/", "Page 6|http://10.0.0.6/"}));
    EXPECT_EQ(f.ann.Stored("BMs"),
              QStringList({"Page 6=http://10.0.0.6/", "Page 7=http://10.0.0.7/", "Page 8=http://10.0.0.8/"}));

    // Values stored beyond the limit (an older program, an import): loading keeps the newest
    // limit + 1 and deletes the others.
    f.ann.options().SetMaxBookmarkItems(2);
    Bookmarks next;
    next.LoadBookmarks();
    EXPECT_EQ(next.Items(), f.bookmarks.Items());
    f.bookmarks.DeleteExtraBookmarks();
    next.LoadBookmarks();
    EXPECT_EQ(next.Count(), 2);
    f.ann.options().SetMaxBookmarkItems(1);
    next.LoadBookmarks();
    EXPECT_EQ(next.Items(),
              (QList<Bookmark>{{"Page 8", "http://10.0.0.8/"}, {"Page 7", "http://10.0.0.7/"}}));
    f.ann.options().SetMaxBookmarkItems(0);
    next.LoadBookmarks();
    EXPECT_EQ(f.ann.Stored("BMs"), QStringList({"Page 8=http://10.0.0.8/"}));
}

TEST(Bookmarks, DeleteDialogRemovesTheSelectedBookmark) {
    Frame f;
    ScriptedDialogs dialogs;
    for (const char* name : {"One", "Two", "Three"})
        f.bookmarks.AddBookmark(Page(name, QString("http://%1.org/").arg(name)));
    dialogs.Next([&](QDialog& d) {
        auto& dialog = static_cast<BookmarksDialog&>(d);
        EXPECT_EQ(dialog.Mode(), "Delete");
        EXPECT_EQ(dialog.windowTitle(), "Delete BookMark");
        EXPECT_EQ(dialog.CloseButton()->text(), "Done");
        EXPECT_EQ(dialog.HintLabel()->text(),
                  "Select an item by clicking. Press 'Delete' button to delete the "
                  "selected item. Click Done to exit.");
        QTreeWidget* tree = dialog.BookmarksTree();
        EXPECT_EQ(tree->topLevelItem(0)->text(0), "Three - Three");
        tree->setCurrentItem(tree->topLevelItem(1));
        dialog.DeleteButton()->click();
        EXPECT_EQ(tree->topLevelItemCount(), 2);
        dialog.CloseButton()->click();
        return dialog.result();
    });
    f.menu.actions().at(0)->trigger(); // "Delete Bookmark..."
    EXPECT_EQ(dialogs.count(), 1);
    EXPECT_EQ(f.menuBookmarks(),
              QStringList({"Three - Three|http://Three.org/", "One - One|http://One.org/"}));
    EXPECT_EQ(f.ann.Stored("BMs"),
              QStringList({"One - One=http://One.org/", "Three - Three=http://Three.org/"}));
}

TEST(Bookmarks, RenameDialogEditsInPlaceAndRefusesANameInUse) {
    Frame f;
    ScriptedDialogs dialogs;
    ScriptedBoxes boxes;
    f.bookmarks.AddBookmark(Page("Mail", "http://www.example.com/mail"));
    f.bookmarks.AddBookmark(Page("Bank", "http://www.example.com/bank"));
    const auto rename = [](QTreeWidget* tree, int row, const QString& name) {
        QTreeWidgetItem* item = tree->topLevelItem(row);
        tree->setCurrentItem(item);
        tree->editItem(item, 0);
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : tree->findChildren<QLineEdit*>())
            if (e->isVisible()) editor = e; // a closed editor lingers until deleted
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, name);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the edit is committed from the event loop
    };
    dialogs.Next([&](QDialog& d) {
        auto& dialog = static_cast<BookmarksDialog&>(d);
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), "Rename BookMark");
        EXPECT_EQ(dialog.CloseButton()->text(), "OK");
        EXPECT_EQ(
            dialog.HintLabel()->text(),
            "Click on an item. Start edit when the item is highlighted in an edit box. Click OK to exit.");
        EXPECT_FALSE(dialog.DeleteButton()->isVisible());
        QTreeWidget* tree = dialog.BookmarksTree();

        rename(tree, 0, "example - mail");
        EXPECT_EQ(boxes.lastText(), "This Bookmark already exists. Please select another name.\r\r");
        EXPECT_EQ(boxes.lastTitle(), "Bookmark Already Exists");
        EXPECT_EQ(boxes.shown().last().icon, msgbox::Information);
        EXPECT_EQ(tree->topLevelItem(0)->text(0), "Example - Bank");

        rename(tree, 0, "My bank");
        EXPECT_EQ(tree->topLevelItem(0)->text(0), "My bank");
        EXPECT_EQ(boxes.count(), 1);
        dialog.CloseButton()->click();
        return dialog.result();
    });
    f.menu.actions().at(1)->trigger(); // "Rename Bookmark..."
    EXPECT_EQ(f.menuBookmarks(), QStringList({"My bank|http://www.example.com/bank",
                                              "Example - Mail|http://www.example.com/mail"}));
    EXPECT_EQ(f.ann.Stored("BMs"), QStringList({"Example - Mail=http://www.example.com/mail",
                                                "My bank=http://www.example.com/bank"}));
}
