// The frame's commands: the button bar and the View settings, the keyboard (every key sequence
// belongs to one command, the standard keys reach the active child window), help for every dialog,
// zoom per Link, printing, the find bar and the search engines of the Options dialog.
#include "browse/AddressBox.h"
#include "browse/DownloadsWindow.h"
#include "browse/PopUpsList.h"
#include "browse/SearchPane.h"
#include "browse/SideBar.h"
#include "frame/FindBar.h"
#include "frame/Help.h"
#include "frame/HelpWindow.h"
#include "frame/OptionsDialog.h"
#include "frame/PageCommands.h"
#include "frame/SearchEngineEditor.h"
#include "FrameSupport.h"
#include "links/LinkEditor.h"
#include "users/DeleteUserDialog.h"
#include "users/LoginDialog.h"
#include "users/SearchEngines.h"

using namespace frametest;

namespace {

// The key sequences that more than one enabled action under the frame answers to.
QStringList SharedKeys(QWidget& frame) {
    QSet<QAction*> actions;
    for (QAction* action : frame.actions() + frame.findChildren<QAction*>())
        actions.insert(action);
    for (QWidget* widget : frame.findChildren<QWidget*>())
        for (QAction* action : widget->actions())
            actions.insert(action);
    QMultiMap<QString, QString> owners;
    for (QAction* action : actions)
        if (action->isEnabled() && action->shortcutContext() != Qt::WidgetShortcut)
            for (const QKeySequence& keys : action->shortcuts())
                owners.insert(keys.toString(), action->objectName() + '/' + action->text());
    QStringList shared;
    for (const QString& keys : owners.uniqueKeys())
        if (owners.count(keys) > 1) shared << keys + ": " + owners.values(keys).join(", ");
    return shared;
}

FakePane& PaneOf(StandaloneWindow& window) {
    return *static_cast<FakePane*>(window.Pane());
}

TEST(Toolbar, CaptionsFollowTheScreenWidthAndViewSettingsAreEachUsersOwn) {
    FrameRun run;
    run.CreateUser("bob", "builder");
    MainWindow& frame = run.StartWith({});
    FrameToolbar& bar = Toolbar(frame);
    frame.ToolbarResetData(800);
    EXPECT_EQ(bar.Caption("Forward") + bar.Caption("Favorites"), "FwdFavrts");
    // Alice turns the buttons off; full screen and back restores only the bars that were on.
    Trigger(frame, "mnuViewButtons");
    QTest::keyClick(&frame, Qt::Key_F11);
    EXPECT_TRUE(frame.IsFullScreen());
    EXPECT_FALSE(frame.statusBar()->isVisibleTo(&frame) ||
                 Child<QAction>(frame, "mnuViewStatusBar").isEnabled());
    QTest::keyClick(&frame, Qt::Key_F11);
    EXPECT_FALSE(frame.IsFullScreen() || bar.isVisibleTo(&frame));
    EXPECT_TRUE(frame.statusBar()->isVisibleTo(&frame));
    // Then the status bar and the text labels.
    Trigger(frame, "mnuViewStatusBar");
    Trigger(frame, "mnuViewTextLabels");
    EXPECT_EQ(core::GetValue(kUser, "ViewStatusBar"), "False");
    run.Close();
    // Bob's are his own; Alice's come back at her next login.
    for (auto [user, password, on] :
         {std::tuple{QString("bob"), QString("builder"), true}, {kUser, kPassword, false}}) {
        SCOPED_TRACE(user.toStdString());
        MainWindow& next = run.Start(user, password);
        EXPECT_EQ(next.statusBar()->isVisibleTo(&next) + Toolbar(next).isVisibleTo(&next), on ? 2 : 0);
        EXPECT_EQ(Toolbar(next).toolButtonStyle(), on ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
        run.Close();
    }
}

TEST(Toolbar, ButtonsMenusPrintAndPageErrorsActOnTheActiveChildWindow) {
    FrameRun run;
    MainWindow& frame = run.StartWith({"A"});
    FrameToolbar& bar = Toolbar(frame);
    FakePane& page = run.open("A", "http://a.test/");
    page.RaiseCommandStateChange(PaneCommand::Back, true);
    page.ClearRecords();
    // The arrow beside Back lists the visible Link's pages; Popup waits for a blocked window.
    EXPECT_TRUE(WaitFor([&] { return bar.ToolButton("phldr")->isEnabled(); }, 2000));
    EXPECT_FALSE(bar.Action("Popup")->isEnabled());
    frame.PopUps().AddPopUpItem("http://p.test/");
    EXPECT_EQ(bar.Action("Popup")->isEnabled() ? bar.Action("Popup")->menu() : nullptr,
              &Child<QMenu>(frame, "mnpPopUpsList"));
    bar.Action("Back")->trigger();
    EXPECT_EQ(page.calls(), QStringList{"GoBack"});
    bar.Action("Search")->trigger();
    EXPECT_EQ(run.browse().findChild<SideBar*>()->currentIndex(), 2);
    const bool sideBar = run.browse().SideBarShown();
    bar.Action("ShowHide")->trigger();
    EXPECT_NE(run.browse().SideBarShown(), sideBar);
    // Bookmark keeps the page; its menu and the history's navigate the active window.
    bar.Action("Bookmark")->trigger();
    ASSERT_EQ(frame.BookmarkList().Count(), 1);
    Child<QMenu>(frame, "mnpBookmarks").actions().last()->trigger();
    bar.Action("History")->trigger();
    auto& history = Child<QMenu>(frame, "mnpMasterHistoryList");
    EXPECT_TRUE(history.isVisible());
    history.actions().first()->trigger();
    history.hide();
    EXPECT_EQ(page.navigations(), QStringList({"http://a.test/", "http://a.test/"}));
    Trigger(frame, "mnuViewSource");
    EXPECT_EQ(page.navigations().last(), "view-source:http://a.test/");
    Trigger(frame, "mnuViewTextSize0");
    EXPECT_EQ(page.TextSize(), 0);
    EXPECT_EQ(run.browse().LinkList().FontSize().toInt(), 0);
    // Edit commands go to the focused text field, else to the page.
    QLineEdit* address = run.browse().findChild<AddressBox*>()->lineEdit();
    address->setText("typed");
    address->setFocus();
    ASSERT_TRUE(WaitFor([&] { return address->hasFocus(); }, 2000));
    Trigger(frame, "mnuEditSelectAll");
    EXPECT_EQ(address->selectedText(), "typed");
    frame.setFocus();
    page.ClearRecords();
    Trigger(frame, "mnuEditCopy");
    EXPECT_EQ(page.calls(), QStringList{"Edit"});
    // A right click on the bar offers its menu; Ctrl+J shows the downloads.
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), bar.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&bar, &rightClick);
    EXPECT_TRUE(Child<QMenu>(frame, "mnuViewToolbars").isVisible());
    Child<QMenu>(frame, "mnuViewToolbars").hide();
    QTest::keyClick(&frame, Qt::Key_J, Qt::ControlModifier);
    EXPECT_TRUE(Child<DownloadsWindow>(frame, "frmDownloads").isVisible());

    // A page still loading cannot be printed, and a key that asks anyway is told so.
    page.SetCanPrint(false);
    emit Child<QMenu>(frame, "mnuFile").aboutToShow();
    EXPECT_FALSE(Child<QAction>(frame, "mnuFilePrint").isEnabled() ||
                 Child<QAction>(frame, "mnuFilePrintPreview").isEnabled());
    emit Child<QMenu>(frame, "mnuFile").aboutToHide();
    Trigger(frame, "mnuFilePrint");
    Trigger(frame, "mnuFilePrintPreview");
    EXPECT_EQ(frame.statusBar()->currentMessage(), PageCommands::kNothingToPrint);
    EXPECT_FALSE(page.calls().contains("PrintTo"));
    page.SetCanPrint(true);
    run.dialogs.Next([](QDialog&) { return int(QDialog::Accepted); });
    bar.Action("Print")->trigger();
    EXPECT_TRUE(page.calls().contains("PrintTo"));

    // A script error on the page explains itself once a click, until the next page.
    auto& text = Child<QLabel>(frame, "Panel1Text");
    emit page.ScriptError("x is not defined", "http://a.test/a.js", 12);
    ASSERT_EQ(text.text(), "Error on Page ");
    run.boxes.Answer(msgbox::OK);
    QTest::mouseClick(&text, Qt::LeftButton);
    page.SimulateLoad("http://a.test/next");
    QTest::mouseClick(&text, Qt::LeftButton);
    ExpectBoxes(run.boxes, {"errorOnPage"});
}

TEST(Shortcuts, NoKeyIsSharedTheStandardKeysAndTheFindBarReachTheActiveChildWindow) {
    FrameRun run;
    MainWindow& frame = run.StartWith({"A"});
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    FakePane& page = run.open("A", "http://a.test/");
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers m) { QTest::keyClick(&frame, k, m); };
    // A stand-alone window takes the keys while it is the active one, not the browse window.
    StandaloneWindow& first = run.OpenWindow("http://m.test/");
    StandaloneWindow& win = run.OpenWindow("http://n.test/");
    EXPECT_EQ(SharedKeys(frame), QStringList()) << "with the stand-alone windows' own commands";
    page.ClearRecords();
    PaneOf(win).ClearRecords();
    for (auto [k, m] : {std::pair{Qt::Key_Left, Qt::AltModifier},
                        {Qt::Key_Right, Qt::AltModifier},
                        {Qt::Key_F5, Qt::NoModifier},
                        {Qt::Key_Escape, Qt::NoModifier}})
        key(k, m);
    EXPECT_EQ(PaneOf(win).calls(), QStringList({"GoBack", "GoForward", "Refresh", "Stop"}));
    EXPECT_EQ(page.calls(), QStringList());
    // The address keys put the keyboard into its address box, every time; the menu item hides it
    // again, and is checked over the browse window, whose box is always there.
    for (auto [k, m] : {std::pair{Qt::Key_L, Qt::ControlModifier},
                        {Qt::Key_L, Qt::ControlModifier},
                        {Qt::Key_D, Qt::AltModifier},
                        {Qt::Key_F6, Qt::NoModifier}}) {
        key(k, m);
        EXPECT_TRUE(win.AddrBarShown());
        EXPECT_TRUE(WaitFor([&] { return win.AddressEdit()->hasFocus(); }, 1000));
        frame.setFocus();
    }
    auto& addrBar = Child<QAction>(frame, "mnuNavigateAddrBar");
    addrBar.trigger();
    EXPECT_FALSE(win.AddrBarShown());
    // Ctrl+W closes the active stand-alone window, one at a time, but never the browse window;
    // also after the File menu was last opened over the browse window.
    QPointer<QWidget> firstSub = first.parentWidget(), sub = win.parentWidget();
    run.Activate(sub);
    key(Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return !sub || !sub->isVisible(); }, 2000));
    EXPECT_TRUE(firstSub && firstSub->isVisible());
    run.Activate(BrowseSubWindow(frame));
    emit Child<QMenu>(frame, "mnuNavigate").aboutToShow();
    EXPECT_TRUE(addrBar.isChecked());
    emit Child<QMenu>(frame, "mnuFile").aboutToShow();
    EXPECT_FALSE(Child<QAction>(frame, "mnuFileClose").isEnabled());
    emit Child<QMenu>(frame, "mnuFile").aboutToHide();
    run.Activate(firstSub);
    key(Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return !firstSub || !firstSub->isVisible(); }, 2000));
    key(Qt::Key_W, Qt::ControlModifier);
    Trigger(frame, "mnuFileClose");
    EXPECT_TRUE(BrowseSubWindow(frame)->isVisible());

    // The find bar searches the active page.
    auto& bar = Child<FindBar>(frame, "FindBar");
    auto& edit = Child<QLineEdit>(bar, "txtFind");
    key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return edit.hasFocus(); }, 1000));
    QTest::keyClicks(&edit, "abc");
    EXPECT_EQ(page.finds().last(), "abc >");
    // The open bar leaves Alt+F to the File menu, every time.
    for (int i = 0; i < 2; ++i) {
        key(Qt::Key_F, Qt::AltModifier);
        EXPECT_TRUE(Child<QMenu>(frame, "mnuFile").isVisible()) << i;
        Child<QMenu>(frame, "mnuFile").hide();
    }
    // On to a stand-alone window with the bar open: the next search is in that window's page, and
    // the page left behind loses its marks. Esc closes the bar; it does not stop the page.
    FakePane& other = PaneOf(run.OpenWindow("http://n.test/"));
    edit.setFocus();
    QTest::keyClicks(&edit, "d");
    EXPECT_EQ(other.finds().last(), "abcd >");
    EXPECT_EQ(page.finds().last(), " >");
    other.ClearRecords();
    QTest::keyClick(&edit, Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_FALSE(other.calls().contains("Stop"));
}

TEST(Everyday, EveryDialogsHelpOpensItsTopicBesideItAndSearchEnginesAreEditedInTheOptions) {
    FrameRun run;
    MainWindow& frame = run.StartWith({});
    const auto newUser = [] {
        auto* d = new LoginDialog;
        Child<QRadioButton>(*d, "optNew").click();
        return static_cast<QDialog*>(d);
    };
    const std::pair<const char*, std::function<QDialog*()>> dialogs[] = {
        {"Login", [] { return new LoginDialog; }},
        {"NewUser", newUser},
        {"ChangePW", [] { return new LoginDialog(QLatin1String(LoginDialog::kChangePW)); }},
        {"DeleteUser", [] { return new DeleteUserDialog; }},
        {"AddEditLink", [&] { return new LinkEditor(run.browse(), LinkEditor::Mode::Add); }},
        {"Options", [&] { return new OptionsDialog(&run.browse().LinkList()); }},
    };
    for (const auto& [topic, make] : dialogs) {
        SCOPED_TRACE(topic);
        std::unique_ptr<QDialog> dialog(make());
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        QTest::keyClick(dialog.get(), Qt::Key_F1);
        // Beside the modal dialog, not behind it: it belongs to the dialog and takes clicks.
        auto& help = Child<HelpWindow>(*dialog, "frmHelp");
        QTest::mouseClick(&Child(help, "cmdContents"), Qt::LeftButton);
        Child<QPushButton>(*dialog, "cmdHelp").click();
        const QStringList& shown = static_cast<FakePane*>(help.Pane())->navigations();
        EXPECT_EQ(shown.mid(shown.size() - 3),
                  QStringList({Help::TopicUrl(topic), Help::TopicUrl(QString()), Help::TopicUrl(topic)}));
        dialog->hide(); // the dialog goes, the help stays with the frame
        EXPECT_TRUE(help.parentWidget() == &frame && help.isVisible());
    }
    Trigger(frame, "mnuHelpContents");
    EXPECT_EQ(static_cast<FakePane*>(Child<HelpWindow>(frame, "frmHelp").Pane())->navigations().last(),
              Help::TopicUrl(QString()));

    // Search engines are edited in the Options, and the search pane follows.
    const SearchEngine wiki{"Wiki", "https://en.wikipedia.org/w/index.php?search=%s"};
    run.dialogs.Next([&](QDialog& options) {
        auto& editor = Child<SearchEngineEditor>(options, "fraSearchEngines");
        EXPECT_EQ(editor.Engines(), SearchEngines::Defaults());
        // Refused: a name taken, an address without %s; then accepted.
        for (auto [name, url, refused] : {std::tuple{QString("google"), wiki.queryUrl, true},
                                          {wiki.name, QString("https://en.wikipedia.org/"), true},
                                          {wiki.name, wiki.queryUrl, false}}) {
            if (refused) run.boxes.Answer(msgbox::OK);
            run.dialogs.Next([name = name, url = url](QDialog& d) {
                Child<QLineEdit>(d, "txtName").setText(name);
                Child<QLineEdit>(d, "txtQueryUrl").setText(url);
                Child<QPushButton>(d, "cmdOK").click();
                return d.result();
            });
            editor.OnAddClicked();
        }
        ExpectBoxes(run.boxes, {"engineTaken", "engineQuery"});
        auto& list = Child<QTreeWidget>(editor, "lstEngines");
        list.setCurrentItem(list.topLevelItem(2)); // Yahoo goes
        editor.OnRemoveClicked();
        EXPECT_TRUE(Child<QPushButton>(options, "cmdApply").isEnabled());
        Child<QPushButton>(options, "cmdOK").click();
        return options.result();
    });
    Trigger(frame, "mnuOptionsBramblegate");
    EXPECT_EQ(SearchEngines::Load(kUser),
              QList<SearchEngine>({SearchEngines::Defaults()[0], SearchEngines::Defaults()[1], wiki}));
    EXPECT_EQ(core::GetValue(kUser, "SearchEngineURL3"), wiki.queryUrl);
    SearchPane* search = run.browse().SearchPanel();
    ASSERT_EQ(search->ServiceCount(), 3);
    EXPECT_EQ(search->SearchOption(2)->text(), "Wiki");
}

TEST(Everyday, EachLinkKeepsItsZoomAndAStandAloneWindowHasItsOwn) {
    FrameRun run;
    MainWindow& frame = run.StartWith({"A", "B"});
    FakePane& a = run.open("A", "http://a.test/");
    for (Qt::Key k : {Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Plus})
        QTest::keyClick(&frame, k, Qt::ControlModifier);
    EXPECT_EQ(a.ZoomPercent(), 125);
    const auto stored = [&](const char* caption) {
        const Link* link = run.browse().LinkList().Item(run.index(caption) + 1);
        return core::GetValue(kUser, QStringLiteral("Zoom%1").arg(link->Slot()));
    };
    EXPECT_EQ(stored("A"), "125");
    FakePane& b = run.open("B", "http://b.test/");
    EXPECT_EQ(b.ZoomPercent(), 100);
    for (int n = 0; n < 20; ++n)
        Trigger(frame, "mnuViewZoomOut");
    EXPECT_EQ(b.ZoomPercent(), BrowserPane::kMinZoom);
    QTest::keyClick(&frame, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(b.ZoomPercent(), 100);
    EXPECT_EQ(stored("B"), QString());
    // A stand-alone window zooms by itself and leaves the Links alone.
    StandaloneWindow& window = run.OpenWindow("http://c.test/");
    Trigger(frame, "mnuViewZoomIn");
    EXPECT_EQ(PaneOf(window).ZoomPercent(), 110);
    EXPECT_EQ(a.ZoomPercent(), 125);
    run.Close();
    run.Start();
    EXPECT_EQ(run.pane("A").ZoomPercent(), 125);
    EXPECT_EQ(run.pane("B").ZoomPercent(), 100);
}

} // namespace
