#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

#include "browse/HistoryTestSupport.h"
#include "browse/MasterHistory.h"
#include "frame/MasterHistoryDialog.h"
#include "frame/MasterHistoryMenu.h"

namespace {
QStringList MenuTexts(const QMenu& menu) {
    QStringList out;
    for (const QAction* a : menu.actions())
        out << a->text() + QLatin1Char('|') + a->data().toString();
    return out;
}

// The frame's pieces: the history, its menu and the "History" tool button.
struct Frame {
    LoggedInUser ann;
    MasterHistory history;
    QMenu menu;
    QAction button{"History"};
    MasterHistoryMenu historyMenu{history, &menu};
    Frame() { historyMenu.BindAction(&button); }
};
} // namespace

TEST(MasterHistory, OnlyARepeatOfTheNewestPageIsLeftOut) {
    Frame f;
    EXPECT_FALSE(f.button.isEnabled());
    f.history.AddMasterHisListItem("A", "http://a.com/");
    EXPECT_TRUE(f.button.isEnabled());
    EXPECT_EQ(f.button.menu(), &f.menu);
    f.history.AddMasterHisListItem("A", "http://a.com/");
    EXPECT_EQ(MenuTexts(f.menu), QStringList({"A|http://a.com/"}));
    f.history.AddMasterHisListItem("B", "http://b.com/");
    f.history.AddMasterHisListItem("A", "http://a.com/");
    EXPECT_EQ(MenuTexts(f.menu), QStringList({"A|http://a.com/", "B|http://b.com/", "A|http://a.com/"}));
    // One value per caption.
    EXPECT_EQ(f.ann.Stored("History"), QStringList({"A=http://a.com/", "B=http://b.com/"}));

    QSignalSpy chosen(&f.historyMenu, &MasterHistoryMenu::NavigateRequested);
    f.menu.actions().at(1)->trigger();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), "http://b.com/");
}

TEST(MasterHistory, AFullHistoryLosesItsOldestEntryFromMenuAndStore) {
    Frame f;
    f.ann.options().SetMaxHistoryItems(3);
    for (const char* page : {"One", "Two", "Three", "Four"})
        f.history.AddMasterHisListItem(page, QString("http://%1.com/").arg(page).toLower());
    EXPECT_EQ(MenuTexts(f.menu),
              QStringList({"Four|http://four.com/", "Three|http://three.com/", "Two|http://two.com/"}));
    EXPECT_EQ(f.ann.Stored("History"),
              QStringList({"Two=http://two.com/", "Three=http://three.com/", "Four=http://four.com/"}));
    // Full, and the newest page again: the oldest still goes, nothing comes.
    f.history.AddMasterHisListItem("Four", "http://four.com/");
    EXPECT_EQ(f.history.Count(), 2);
    EXPECT_EQ(f.ann.Stored("History"), QStringList({"Three=http://three.com/", "Four=http://four.com/"}));

    f.ann.temp().Reopen();
    MasterHistory next;
    next.LoadMasterHistory();
    EXPECT_EQ(next.Items(),
              (QList<HistoryEntry>{{"Four", "http://four.com/"}, {"Three", "http://three.com/"}}));
}

TEST(MasterHistory, OneCaptionForTwoAddressesIsStoredOnceAndTheLaterAddressWins) {
    Frame f;
    f.history.AddMasterHisListItem("News - Home", "http://news.com/");
    f.history.AddMasterHisListItem("Other", "http://other.com/");
    f.history.AddMasterHisListItem("News - Home", "http://news.com/today");
    EXPECT_EQ(MenuTexts(f.menu), QStringList({"News - Home|http://news.com/today", "Other|http://other.com/",
                                              "News - Home|http://news.com/"}));
    EXPECT_EQ(f.ann.Stored("History"),
              QStringList({"News - Home=http://news.com/today", "Other=http://other.com/"}));

    // The next login: only the later address, in the place the caption was first stored.
    f.ann.temp().Reopen();
    MasterHistory next;
    next.LoadMasterHistory();
    EXPECT_EQ(next.Items(), (QList<HistoryEntry>{{"Other", "http://other.com/"},
                                                 {"News - Home", "http://news.com/today"}}));

    // Deleting the newer entry deletes the value it was stored under, though an older entry has
    // the same caption: it does not come back at the next login.
    f.history.Remove(0);
    EXPECT_EQ(f.ann.Stored("History"), QStringList({"Other=http://other.com/"}));
    f.ann.temp().Reopen();
    MasterHistory after;
    after.LoadMasterHistory();
    EXPECT_EQ(after.Items(), (QList<HistoryEntry>{{"Other", "http://other.com/"}}));
}

TEST(MasterHistory, LoadingKeepsTheNewestWithinTheLimitAndDeletesTheRest) {
    Frame f;
    for (int i = 1; i <= 5; ++i)
        f.history.AddMasterHisListItem(QString("P%1").arg(i), QString("http://p%1/").arg(i));
    f.ann.options().SetMaxHistoryItems(3);
    QSignalSpy changed(&f.history, &MasterHistory::Changed);
    f.history.RefreshMasterHisList();
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(MenuTexts(f.menu), QStringList({"P5|http://p5/", "P4|http://p4/", "P3|http://p3/"}));
    EXPECT_EQ(f.ann.Stored("History"), QStringList({"P3=http://p3/", "P4=http://p4/", "P5=http://p5/"}));

    // A limit of 0: nothing is kept and nothing added; the button is off.
    f.ann.options().SetMaxHistoryItems(0);
    f.history.RefreshMasterHisList();
    f.history.AddMasterHisListItem("P6", "http://p6/");
    EXPECT_TRUE(f.menu.actions().isEmpty());
    EXPECT_FALSE(f.button.isEnabled());
    EXPECT_TRUE(f.ann.Stored("History").isEmpty());

    // An empty store: the button stays off.
    f.ann.options().SetMaxHistoryItems(100);
    MasterHistory empty;
    empty.LoadMasterHistory();
    EXPECT_FALSE(empty.Enabled());
}

TEST(MasterHistory, TheDialogDeletesOneEntryOrAllOfThemAfterAsking) {
    Frame f;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    for (const char* page : {"One", "Two", "Three"})
        f.history.AddMasterHisListItem(page, QString("http://%1/").arg(page));
    dialogs.Next([&](QDialog& d) {
        auto& dialog = static_cast<MasterHistoryDialog&>(d);
        EXPECT_EQ(dialog.windowTitle(), "Delete History");
        EXPECT_EQ(dialog.ExitButton()->text(), "Exit");
        EXPECT_EQ(dialog.DeleteButton()->text(), "Delete");
        EXPECT_EQ(
            dialog.HintLabel()->text(),
            "Select an item by clicking. Press 'Delete'  to delete the selected item. Press 'Exit' to exit.");
        QTreeWidget* tree = dialog.HistoryTree();
        EXPECT_EQ(tree->topLevelItemCount(), 3);
        EXPECT_EQ(tree->topLevelItem(0)->text(0), "Three");

        dialog.DeleteButton()->click(); // nothing selected
        EXPECT_EQ(f.history.Count(), 3);
        tree->setCurrentItem(tree->topLevelItem(1));
        dialog.DeleteButton()->click();
        EXPECT_EQ(tree->topLevelItemCount(), 2);

        boxes.Answer(msgbox::No);
        dialog.DeleteAllButton()->click();
        EXPECT_EQ(tree->topLevelItemCount(), 2);
        dialog.ExitButton()->click();
        return dialog.result();
    });
    f.historyMenu.ShowDialog();
    EXPECT_EQ(dialogs.count(), 1);
    EXPECT_EQ(MenuTexts(f.menu), QStringList({"Three|http://Three/", "One|http://One/"}));
    EXPECT_EQ(f.ann.Stored("History"), QStringList({"One=http://One/", "Three=http://Three/"}));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.lastText(), "Are you sure you want to delete all these items?\r\r");
    EXPECT_EQ(boxes.lastTitle(), "Delete All History Items");
    EXPECT_EQ(boxes.shown().last().buttons, msgbox::YesNo);
    EXPECT_EQ(boxes.shown().last().icon, msgbox::Question);

    MasterHistoryDialog dialog(f.history);
    boxes.Answer(msgbox::Yes);
    dialog.DeleteAllButton()->click();
    EXPECT_EQ(dialog.HistoryTree()->topLevelItemCount(), 0);
    EXPECT_TRUE(f.menu.actions().isEmpty());
    EXPECT_FALSE(f.button.isEnabled());
    EXPECT_EQ(SettingsStore::Current()->FindKey("Software\\Bramblegate\\AnnHistory"), -1);
}
