// The button bar, the View settings and the frame's commands on the active child window.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "browse/AddressBox.h"
#include "browse/NavigationBar.h"
#include "browse/PopUpsList.h"
#include "browse/SideBar.h"
#include "core/AppState.h"
#include "frame/FrameStatusBar.h"
#include "frame/FrameToolbar.h"
#include "frame/MainWindow.h"
#include "frame/PageCommands.h"
#include "frame/ViewSettings.h"
#include "FrameSupport.h"
#include "links/Links.h"

using namespace frametest;

namespace {

QStringList Captions(const FrameToolbar& bar) {
    QStringList out;
    for (const QString& key : bar.Keys())
        if (bar.Action(key) && !bar.Action(key)->isSeparator() && key != QLatin1String("phldr"))
            out << bar.Caption(key);
    return out;
}

TEST(Toolbar, CaptionsFollowTheScreenWidth) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    MainWindow& frame = run.Start();
    const QStringList keys = {"ShowHide", "Back",      "phldr",    "Forward", "Stop",
                              "Sep1",     "Refresh",   "Home",     "History", "Bookmark",
                              "Sep2",     "NewWindow", "Explorer", "Search",  "Favorites",
                              "Sep3",     "Print",     "Cascade",  "Popup",   "Help"};
    frame.ToolbarResetData(800);
    EXPECT_EQ(Toolbar(frame).Keys(), keys);
    EXPECT_EQ(Captions(Toolbar(frame)),
              QStringList({"Hide", "Back", "Fwd", "Stop", "Refresh", "Home", "History", "Mark", "New", "IE",
                           "Search", "Favrts", "Print", "Arrange", "PopUp", "Help"}));
    frame.ToolbarResetData(801);
    EXPECT_EQ(Captions(Toolbar(frame)),
              QStringList({"Auto Hide", "Back", "Forward", "Stop", "Refresh", "Home", "History", "BookMark",
                           "New", "Explorer", "Search", "Favorites", "Print", "Cascade", "PopUp", "Help"}));
    for (const QString& key : keys) {
        if (!key.startsWith(QLatin1String("Sep")) && key != QLatin1String("phldr")) {
            EXPECT_FALSE(Toolbar(frame).Action(key)->icon().isNull()) << key.toStdString();
        }
    }
}

TEST(Toolbar, ViewSettingsAreRememberedForEachUser) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    run.CreateUser(QStringLiteral("bob"), QStringLiteral("builder"));
    {
        MainWindow& frame = run.Start();
        EXPECT_TRUE(frame.statusBar()->isVisibleTo(&frame));
        EXPECT_EQ(Toolbar(frame).toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QAction* labels = frame.findChild<QAction*>(QStringLiteral("mnuViewTextLabels"));
        EXPECT_EQ(labels->text(), QStringLiteral("Show &Icons Only"));
        frame.findChild<QAction*>(QStringLiteral("mnuViewStatusBar"))->trigger();
        labels->trigger();
        EXPECT_FALSE(frame.statusBar()->isVisibleTo(&frame));
        EXPECT_EQ(Toolbar(frame).toolButtonStyle(), Qt::ToolButtonIconOnly);
        EXPECT_EQ(labels->text(), QStringLiteral("Show &Text Labels"));
        EXPECT_EQ(FrameRun::Stored(kUser, QStringLiteral("ViewStatusBar")), QStringLiteral("False"));
        run.Close();
    }
    {
        MainWindow& frame = run.Start(QStringLiteral("bob"), QStringLiteral("builder"));
        EXPECT_TRUE(frame.statusBar()->isVisibleTo(&frame));
        EXPECT_EQ(Toolbar(frame).toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        run.Close();
    }
    {
        MainWindow& frame = run.Start();
        EXPECT_FALSE(frame.statusBar()->isVisibleTo(&frame));
        EXPECT_FALSE(frame.findChild<QAction*>(QStringLiteral("mnuViewStatusBar"))->isChecked());
        EXPECT_EQ(Toolbar(frame).toolButtonStyle(), Qt::ToolButtonIconOnly);
    }
}

TEST(Toolbar, FullScreenAndBackRestoresTheBarsThatWereOn) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    MainWindow& frame = run.Start();
    frame.findChild<QAction*>(QStringLiteral("mnuViewButtons"))->trigger();
    EXPECT_FALSE(Toolbar(frame).isVisibleTo(&frame));
    QTest::keyClick(&frame, Qt::Key_F11);
    EXPECT_TRUE(frame.IsFullScreen());
    EXPECT_FALSE(frame.statusBar()->isVisibleTo(&frame));
    EXPECT_FALSE(frame.findChild<QAction*>(QStringLiteral("mnuViewStatusBar"))->isEnabled());
    QTest::keyClick(&frame, Qt::Key_F11);
    EXPECT_FALSE(frame.IsFullScreen());
    EXPECT_FALSE(Toolbar(frame).isVisibleTo(&frame));
    EXPECT_TRUE(frame.statusBar()->isVisibleTo(&frame));
    EXPECT_TRUE(frame.findChild<QAction*>(QStringLiteral("mnuViewStatusBar"))->isEnabled());
    EXPECT_EQ(FrameRun::Stored(kUser, QStringLiteral("ViewButtons")), QStringLiteral("False"));
}

TEST(Toolbar, ButtonsAndMenusActOnTheActiveChildWindow) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    run.AddLink(kUser, kPassword, QStringLiteral("A"), QStringLiteral("http://a.test/"));
    MainWindow& frame = run.Start();
    FakePane& page = run.open(QStringLiteral("A"), QStringLiteral("http://a.test/"));
    page.SetCanGoBack(true);
    page.ClearRecords();

    // The arrow beside Back lists the visible Link's pages; Popup waits for a blocked window.
    EXPECT_TRUE(
        WaitFor([&] { return Toolbar(frame).ToolButton(QStringLiteral("phldr"))->isEnabled(); }, 2000));
    EXPECT_FALSE(Toolbar(frame).Action(QStringLiteral("Popup"))->isEnabled());
    frame.PopUps().AddPopUpItem(QStringLiteral("http://p.test/"));
    EXPECT_TRUE(Toolbar(frame).Action(QStringLiteral("Popup"))->isEnabled());
    EXPECT_EQ(Toolbar(frame).Action(QStringLiteral("Popup"))->menu(),
              frame.findChild<QMenu*>(QStringLiteral("mnpPopUpsList")));

    Toolbar(frame).Action(QStringLiteral("Back"))->trigger();
    EXPECT_EQ(page.calls(), QStringList{QStringLiteral("GoBack")});
    Toolbar(frame).Action(QStringLiteral("Search"))->trigger();
    EXPECT_EQ(run.browse().findChild<SideBar*>()->currentIndex(), 2);
    const bool sideBar = run.browse().SideBarShown();
    Toolbar(frame).Action(QStringLiteral("ShowHide"))->trigger();
    EXPECT_NE(run.browse().SideBarShown(), sideBar);

    // Bookmark keeps the page; its menu and the history's navigate the active window.
    Toolbar(frame).Action(QStringLiteral("Bookmark"))->trigger();
    ASSERT_EQ(frame.bookmarks().Count(), 1);
    EXPECT_EQ(frame.bookmarks().Items().first().url, QStringLiteral("http://a.test/"));
    frame.findChild<QMenu*>(QStringLiteral("mnpBookmarks"))->actions().last()->trigger();
    Toolbar(frame).Action(QStringLiteral("History"))->trigger();
    EXPECT_TRUE(frame.findChild<QMenu*>(QStringLiteral("mnpMasterHistoryList"))->isVisible());
    frame.findChild<QMenu*>(QStringLiteral("mnpMasterHistoryList"))->actions().first()->trigger();
    frame.findChild<QMenu*>(QStringLiteral("mnpMasterHistoryList"))->hide();
    EXPECT_EQ(page.navigations(), QStringList({"http://a.test/", "http://a.test/"}));

    // View, Source, the zoom and the text size.
    frame.findChild<QAction*>(QStringLiteral("mnuViewSource"))->trigger();
    EXPECT_EQ(page.navigations().last(), QStringLiteral("view-source:http://a.test/"));
    QTest::keyClick(&frame, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(&frame, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(page.ZoomPercent(), 125);
    QTest::keyClick(&frame, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(page.ZoomPercent(), 110);
    QTest::keyClick(&frame, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(page.ZoomPercent(), 100);
    frame.findChild<QAction*>(QStringLiteral("mnuViewTextSize0"))->trigger();
    EXPECT_EQ(page.TextSize(), 0);
    EXPECT_EQ(run.browse().links().FontSize().toInt(), 0);

    // Edit commands go to the focused text field, else to the page.
    QLineEdit* address = run.browse().findChild<NavigationBar*>()->AddressCombo()->lineEdit();
    address->setText(QStringLiteral("typed"));
    address->setFocus();
    ASSERT_TRUE(WaitFor([&] { return address->hasFocus(); }, 2000));
    frame.findChild<QAction*>(QStringLiteral("mnuEditSelectAll"))->trigger();
    EXPECT_EQ(address->selectedText(), QStringLiteral("typed"));
    frame.setFocus();
    page.ClearRecords();
    frame.findChild<QAction*>(QStringLiteral("mnuEditCopy"))->trigger();
    EXPECT_EQ(page.calls(), QStringList{QStringLiteral("Edit")});

    // File, Close never closes the browse window; a right click on the bar offers its menu.
    frame.findChild<QAction*>(QStringLiteral("mnuFileClose"))->trigger();
    EXPECT_TRUE(frame.BrowseSubWindow()->isVisible());
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                 Toolbar(frame).mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&Toolbar(frame), &rightClick);
    EXPECT_TRUE(frame.findChild<QMenu*>(QStringLiteral("mnuViewToolbars"))->isVisible());
    frame.findChild<QMenu*>(QStringLiteral("mnuViewToolbars"))->hide();
}

TEST(Toolbar, PrintPrintsTheActivePageAndNothingWithoutOne) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    run.AddLink(kUser, kPassword, QStringLiteral("A"), QStringLiteral("http://a.test/"));
    MainWindow& frame = run.Start();
    FakePane& page = run.open(QStringLiteral("A"), QStringLiteral("http://a.test/"));
    QMenu* file = frame.findChild<QMenu*>(QStringLiteral("mnuFile"));
    const auto enabled = [&](const char* name) {
        emit file->aboutToShow();
        return frame.findChild<QAction*>(QLatin1String(name))->isEnabled();
    };
    // A page still loading: the commands are out of use, and a key that asks anyway is told so.
    page.SetCanPrint(false);
    EXPECT_FALSE(enabled("mnuFilePrint"));
    EXPECT_FALSE(enabled("mnuFilePrintPreview"));
    emit file->aboutToHide();
    frame.findChild<QAction*>(QStringLiteral("mnuFilePrint"))->trigger();
    frame.findChild<QAction*>(QStringLiteral("mnuFilePrintPreview"))->trigger();
    EXPECT_EQ(run.boxes.count(), 0);
    EXPECT_EQ(frame.statusBar()->currentMessage(), PageCommands::kNothingToPrint);
    EXPECT_FALSE(page.calls().contains(QStringLiteral("PrintTo")));

    page.SetCanPrint(true);
    EXPECT_TRUE(enabled("mnuFilePrint"));
    emit file->aboutToHide();
    page.ClearRecords();
    run.dialogs.Next([](QDialog&) { return int(QDialog::Accepted); });
    Toolbar(frame).Action(QStringLiteral("Print"))->trigger();
    EXPECT_EQ(page.calls(), QStringList{QStringLiteral("PrintTo")});
}

TEST(Toolbar, ErrorOnPageExplainsItselfOnceAClickUntilTheNextPage) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    run.AddLink(kUser, kPassword, QStringLiteral("A"), QStringLiteral("http://a.test/"));
    MainWindow& frame = run.Start();
    FakePane& page = run.open(QStringLiteral("A"), QStringLiteral("http://a.test/"));
    QLabel* text = frame.StatusBar().findChild<QLabel*>(QStringLiteral("Panel1Text"));
    ASSERT_TRUE(text);
    page.RaiseScriptError(QStringLiteral("x is not defined"), QStringLiteral("http://a.test/a.js"), 12);
    ASSERT_EQ(text->text(), QStringLiteral("Error on Page "));
    QTest::mouseClick(text, Qt::LeftButton);
    ASSERT_EQ(run.boxes.count(), 1) << "one click, one message";
    EXPECT_EQ(run.boxes.lastText(),
              QStringLiteral("Problem with this Web page might prevent it from being \r\n"
                             "displayed properly or functioning properly.\r\n\r\n"
                             "Line: 12\r\nError: x is not defined\r\nURL: http://a.test/a.js"));
    EXPECT_EQ(run.boxes.lastTitle(), QStringLiteral("Bramblegate"));
    // The next page clears the panel; a click there says nothing.
    page.SimulateLoad(QStringLiteral("http://a.test/next"));
    QTest::mouseClick(text, Qt::LeftButton);
    EXPECT_EQ(run.boxes.count(), 1);
}

} // namespace
