// The frame's commands and dialogs: the button bar and the View settings, the keyboard (every key
// sequence belongs to one command, the standard keys reach the active child window), help for every
// dialog, zoom per Link, printing, the find bar, the companion program, tips, the agreement, Internet
// Options, page properties, the About box, and the Options dialog (what it shows, the checks made when
// a field is left, what Apply stores, the search engines).
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include "browse/AddressBox.h"
#include "browse/DownloadsWindow.h"
#include "browse/HistoryTestSupport.h"
#include "browse/PopUpsList.h"
#include "browse/SearchPane.h"
#include "browse/SideBar.h"
#include "browse/UserHomePage.h"
#include "core/Companion.h"
#include "frame/AboutBox.h"
#include "frame/AgreementDialog.h"
#include "frame/FindBar.h"
#include "frame/Help.h"
#include "frame/HelpWindow.h"
#include "frame/InternetOptions.h"
#include "frame/OptionsDialog.h"
#include "frame/PageCommands.h"
#include "frame/PagePropertiesDialog.h"
#include "frame/SearchEngineEditor.h"
#include "frame/TipOfTheDay.h"
#include "FrameSupport.h"
#include "links/LinkEditor.h"
#include "users/DeleteUserDialog.h"
#include "users/LoginDialog.h"
#include "users/SearchEngines.h"
#include "users/UserOptions.h"

using namespace core;
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

TEST(Toolbar, CaptionsFollowTheScreenWidthViewSettingsAndEachLinksZoomAreEachUsersOwn) {
    FrameRun run;
    run.CreateUser("bob", "builder");
    MainWindow& frame = run.StartWith({"A", "B"});
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
    // Each Link keeps its zoom; a stand-alone window zooms by itself and leaves the Links alone.
    FakePane& a = run.open("A", "http://a.test/");
    for (Qt::Key k : {Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Plus})
        QTest::keyClick(&frame, k, Qt::ControlModifier);
    EXPECT_EQ(a.ZoomPercent(), 125);
    EXPECT_EQ(core::GetValue(kUser, "Zoom3"), "125"); // after the new user's own two Links
    FakePane& b = run.open("B", "http://b.test/");
    EXPECT_EQ(b.ZoomPercent(), 100);
    for (int n = 0; n < 20; ++n)
        Trigger(frame, "mnuViewZoomOut");
    EXPECT_EQ(b.ZoomPercent(), BrowserPane::kMinZoom);
    QTest::keyClick(&frame, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(b.ZoomPercent(), 100);
    EXPECT_EQ(core::GetValue(kUser, "Zoom4"), QString());
    StandaloneWindow& window = run.OpenWindow("http://c.test/");
    Trigger(frame, "mnuViewZoomIn");
    EXPECT_EQ(PaneOf(window).ZoomPercent(), 110);
    EXPECT_EQ(a.ZoomPercent(), 125);
    run.Close();
    // Bob's are his own; Alice's come back at her next login.
    for (auto [user, password, on] :
         {std::tuple{QString("bob"), QString("builder"), true}, {kUser, kPassword, false}}) {
        SCOPED_TRACE(user.toStdString());
        MainWindow& next = run.Start(user, password);
        EXPECT_EQ(next.statusBar()->isVisibleTo(&next) + Toolbar(next).isVisibleTo(&next), on ? 2 : 0);
        EXPECT_EQ(Toolbar(next).toolButtonStyle(), on ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
        if (!on) {
            EXPECT_EQ(QList({run.pane("A").ZoomPercent(), run.pane("B").ZoomPercent()}), QList({125, 100}));
        }
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
    userstest::showActive(frame);
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
        userstest::showActive(*dialog);
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

TEST(Companion, StartsDetachedWithTheArgumentsAndSkipsAMissingProgram) {
    QTemporaryDir dir;
    const QString script = dir.filePath("bghelper"), called = dir.filePath("called");
    // The stand-in writes how it was called.
    SaveBytes(script, ("#!/bin/sh\necho \"$# [$1] $(pwd)\" > '" + called + "'\n").toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Companion::SetFolder(dir.path());
    EXPECT_TRUE(Companion::Start(" /REGSERVER"));
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(called).size() > 0; }));
    EXPECT_EQ(FileBytes(called).trimmed(), "1 [/REGSERVER] " + dir.path().toUtf8());
    QFile::remove(script);
    EXPECT_FALSE(Companion::Start(" /REGSERVER"));
    Companion::SetFolder(QString());
}

TEST(TipOfTheDay, EachShowingMovesOnAndTheTickIsTheUsersOwn) {
    LoggedInUser ann;
    ScriptedDialogs dialogs;
    {
        TipOfTheDay tip;
        EXPECT_EQ(Child<QLabel>(tip, "lblTip").text(), TipOfTheDay::Tips().at(0));
        Child<QPushButton>(tip, "cmdNext").click();
        EXPECT_EQ(GetValue("Ann", "CurrTip"), "2");
        EXPECT_FALSE(TipOfTheDay::ShowAtStartUp()) << "tips at start-up start switched off";
        Child<QCheckBox>(tip, "chkShowTips").setChecked(true);
    }
    dialogs.Next([](QDialog& d) {
        EXPECT_EQ(static_cast<TipOfTheDay&>(d).TipShown(), 2);
        return 1;
    });
    EXPECT_TRUE(TipOfTheDay::ShowAtStartUp());
    // The last one is followed by the first; a place out of range starts again.
    SaveValue("Ann", "CurrTip", QString::number(TipOfTheDay::Tips().size() - 1));
    EXPECT_EQ(TipOfTheDay().TipShown(), TipOfTheDay::Tips().size() - 1);
    EXPECT_EQ(GetValue("Ann", "CurrTip"), "0");
    SaveValue("Ann", "CurrTip", "999");
    EXPECT_EQ(TipOfTheDay::CurrTip(), 0);
    App().CurrentUser = "Bob";
    EXPECT_FALSE(TipOfTheDay::ShowAtStartUp());
}

TEST(AgreementDialog, DecliningAsksAndOnlyAConfirmedLeaveEndsIt) {
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    const auto click = [](const char* button) {
        return [button](QDialog& d) { return (Child<QPushButton>(d, button).click(), d.result()); };
    };
    dialogs.Next(click("cmdDecline")).Next(click("cmdAccept")).Next(click("cmdDecline"));
    boxes.Answer(msgbox::No).Answer(msgbox::Yes);
    EXPECT_TRUE(AgreementDialog::Run(nullptr));
    EXPECT_FALSE(AgreementDialog::Run(nullptr));
    ExpectBoxes(boxes, {"declined", "declined"});
}

TEST(InternetOptions, AHomePagePerUserDefaultingToTheStartPage) {
    LoggedInUser ann;
    ScriptedBoxes boxes;
    QSignalSpy changed(UserHomePage::Notifier(), &HomePageNotifier::HomePageChanged);
    InternetOptions dialog;
    auto& home = Child<QLineEdit>(dialog, "txtHomePage");
    auto& ok = Child<QPushButton>(dialog, "cmdOK");
    EXPECT_EQ(home.text(), "bramblegate://start/");
    boxes.Answer(msgbox::OK); // the first is refused
    for (const char* typed : {"javascript:alert(1)", "news.example/today"}) {
        home.setText(typed);
        ok.click();
    }
    EXPECT_EQ(changed.value(0).value(0).toString(), "http://news.example/today");
    EXPECT_EQ(UserHomePage::Get(), "http://news.example/today");
    App().CurrentUser = "Bob";
    EXPECT_EQ(UserHomePage::Get(), "bramblegate://start/");
    App().CurrentUser = "Ann";
    Child<QPushButton>(dialog, "cmdUseDefault").click();
    ok.click();
    EXPECT_FALSE(ValueExists("Ann", "HomePage"));
    // Deleting browsing data asks first; No deletes nothing.
    Child<QCheckBox>(dialog, "chkCookies").setChecked(true);
    boxes.Answer(msgbox::No);
    EXPECT_FALSE(dialog.OnDeleteClicked());
    ExpectBoxes(boxes, {"homePage", "deleteBrowsingData"});
}

TEST(FindBar, FindsForwardBackwardWithCaseAndSaysWhenNotFound) {
    FakePane pane;
    QWidget window;
    FindBar bar(&window);
    bar.Attach(&pane);
    window.show();
    bar.FindNext(); // nothing to look for yet: the bar opens
    auto& edit = Child<QLineEdit>(bar, "txtFind");
    QTest::keyClicks(&edit, "pri");
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_F3, Qt::ShiftModifier);
    Child<QCheckBox>(bar, "chkMatchCase").setChecked(true);
    bar.FindPrevious();
    EXPECT_EQ(pane.finds(), QStringList({"p >", "pr >", "pri >", "pri >", "pri <", "pri > Aa", "pri < Aa"}));
    EXPECT_EQ(Child<QLabel>(bar, "lblFindStatus").text(), FindBar::kNotFound);
    QTest::keyClick(&edit, Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_EQ(pane.finds().last(), " >"); // the page's highlight goes
    EXPECT_EQ(Child<QLabel>(bar, "lblFindStatus").text(), "");
}

TEST(PagePropertiesDialog, ShowsAddressTitleTypeSizeSecurityAndDates) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    FakePane pane;
    pane.SetLocation("https://bank.example/accounts", "Your Accounts");
    pane.SetHtmlDocument(true);
    using D = PagePropertiesDialog;
    D dialog(pane);
    const auto texts = [&](std::initializer_list<D::Row> rows) {
        QStringList out;
        for (D::Row row : rows)
            out << (dialog.IsShown(row) ? dialog.Text(row) : "-");
        return out;
    };
    EXPECT_EQ(texts({D::Protocol, D::Type, D::Size, D::Security, D::Modified}),
              QStringList({"HyperText Transfer Protocol with Privacy", "HTML Document", "Not available",
                           "Secure: encrypted (HTTPS), the site's certificate is valid", "-"}));
    dialog.SetFacts({"application/pdf", 12345, QDateTime(QDate(2024, 3, 1), QTime(9, 30)), {}});
    EXPECT_EQ(texts({D::Type, D::Size, D::Loaded}),
              QStringList({"PDF Document", "12.1 kB (12,345 bytes)", "-"}));
    EXPECT_TRUE(dialog.Text(D::Modified).contains("2024"));
    // A failed secure page is no secure page; plain http never is.
    pane.SetErrorPage(true);
    EXPECT_EQ(D(pane).Text(D::Security), "Not secure: the secure connection failed");
    pane.SetErrorPage(false);
    pane.SetLocation("http://news.example/", "");
    EXPECT_EQ(D(pane).Text(D::Security) + "|" + D(pane).Text(D::Title),
              "Not secure: not encrypted (HTTP)|(no title)");
    QLocale::setDefault(QLocale::system());
}

TEST(AboutBox, ShowsTheProgramsVersionAndTheEnginesAge) {
    EXPECT_EQ(AboutBox::VersionText().remove('.'), AppVersion());
    AboutBox box;
    const QString engine = Child<QLabel>(box, "lblEngine").text();
    EXPECT_TRUE(
        engine.contains(QStringLiteral("Chromium %1 (security fixes up to %2)")
                            .arg(qWebEngineChromiumVersion(), qWebEngineChromiumSecurityPatchVersion())))
        << engine.toStdString();
}

// Ann with the Links Bank (pop-ups let through), Mail and News ("Gone" removed between them).
TEST(OptionsDialog, ShowsAndAppliesEverythingAtOnceWithTheSsnEncryptedAndChecksAFieldWhenItIsLeft) {
    const QString ann = QStringLiteral("Ann");
    LoggedInUser user;
    ScriptedBoxes boxes;
    App().PassPhrase = QStringLiteral("wonderland");
    Links links(ann);
    for (const QString caption : {"Bank", "Gone", "Mail", "News"})
        links.Add(caption, SecretCipher::EncryptMessage("https://" + caption + ".example/"), "", "", "", "",
                  false, false);
    links.Remove(2);
    links.Item(1)->SetHidePopUps(false);
    links.SaveLink(1, 1);
    OptionsDialog dialog(&links);
    userstest::showActive(dialog);
    QSignalSpy applied(&dialog, &OptionsDialog::Applied);
    const auto field = [&](const char* name) -> QLineEdit& { return Child<QLineEdit>(dialog, name); };
    const auto button = [&](const char* name) -> QPushButton& { return Child<QPushButton>(dialog, name); };
    auto& list = Child<QListWidget>(dialog, "lstLinks");
    const auto checked = [&] {
        QString out;
        for (int i = 0; i < list.count(); ++i)
            out += list.item(i)->text() + (list.item(i)->checkState() == Qt::Checked ? "+" : "-");
        return out;
    };
    const struct {
        const char *field, *shown, *typed, *stored;
    } fields[] = {
        {"txtIdleMinutes", "30", "0", "AutoLogOutMts"},
        {"txtFreezeMinutes", "10", "0", "FreezeAfterMinutes"},
        {"txtDiscardMinutes", "30", "45", "DiscardAfterMinutes"},
        {"txtHistoryItems", "100", "0", "MaxHistoryItems"},
        {"txtBookmarks", "40", "5", "MaxBookmarkItems"},
    };
    for (const auto& f : fields) {
        EXPECT_EQ(field(f.field).text(), f.shown);
        field(f.field).setText(f.typed);
    }
    EXPECT_EQ(field("txtSSN").text(), "");
    field("txtSSN").setText("123 45 6789");
    auto& beep = Child<QCheckBox>(dialog, "chkBeepOnPopUp");
    EXPECT_TRUE(beep.isChecked());
    beep.setChecked(false);
    // Not the removed Link; in the collection's order; ticked where pop-ups are blocked.
    EXPECT_EQ(checked(), "Bank-Mail+News+");
    // Mail unticked: only Mail's value changes, in the place Mail is stored under (the store was
    // renumbered when "Gone" went; the Links' Indexes were not).
    list.item(1)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(dialog.OnApplyClicked());
    EXPECT_EQ(applied.count(), 1);
    for (const auto& f : fields)
        EXPECT_EQ(GetValue(ann, f.stored), f.typed) << f.stored;
    QStringList stored;
    for (const char* name : {"BeepOnPopup", "HidePopUps1", "HidePopUps2", "HidePopUps3"})
        stored << GetValue(ann, name);
    EXPECT_EQ(stored, QStringList({"False", "False", "False", "True"}));
    EXPECT_EQ(user.options().MaxBookmarkItems(), 5);
    EXPECT_FALSE(links.Item(3)->HidePopUps());
    EXPECT_EQ(Links(ann).Item(2)->Caption(), "Mail");
    EXPECT_NE(GetValue(ann, "SSN"), "123456789"); // not in plain text
    EXPECT_EQ(UserOptions(ann).SSN(), "123456789");
    // Any change offers Apply, though everything is ticked already.
    EXPECT_FALSE(button("cmdApply").isEnabled());
    field("txtSSN").clear();
    button("cmdCheckAll").click();
    EXPECT_TRUE(button("cmdApply").isEnabled());
    ASSERT_TRUE(dialog.OnApplyClicked());
    EXPECT_EQ(GetValue(ann, "SSN"), "");
    EXPECT_EQ(GetValue(ann, "HidePopUps2"), "True");
    // OK without a change closes and applies nothing.
    button("cmdOK").click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(applied.count(), 2);
    button("cmdClearAll").click();
    EXPECT_EQ(checked(), "Bank-Mail-News-");

    // A field is checked when it is left; a refused one keeps the focus.
    userstest::showActive(dialog);
    // Focuses a widget as the user would, its tab brought to the front first.
    const auto focus = [&](QWidget& w) {
        auto& tabs = Child<QTabWidget>(dialog, "tabOptions");
        for (int i = 0; i < tabs.count(); ++i)
            if (tabs.widget(i)->isAncestorOf(&w)) tabs.setCurrentIndex(i);
        w.setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    };
    const struct {
        const char *field, *text, *refused; // the message, or null
    } cases[] = {{"txtIdleMinutes", " 60 ", nullptr},
                 {"txtIdleMinutes", "61", "idleRange"},
                 {"txtIdleMinutes", "5.5", "idleRange"},
                 {"txtFreezeMinutes", "1440", nullptr},
                 {"txtFreezeMinutes", "1441", "linkIdleRange"},
                 {"txtDiscardMinutes", "ten", "linkIdleRange"},
                 {"txtBookmarks", "5", nullptr},
                 {"txtBookmarks", "4", "bookmarksRange"},
                 {"txtBookmarks", "201", "bookmarksRange"},
                 {"txtHistoryItems", "0", nullptr},
                 {"txtHistoryItems", "201", "historyRange"},
                 {"txtSSN", "123-456-7890", "ssnLength"},
                 {"txtSSN", "12a-45", "ssnDigits"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " '" + c.text + "'");
        QLineEdit& edit = field(c.field);
        const QString before = edit.text();
        focus(edit);
        edit.setText(c.text);
        if (c.refused) boxes.Answer(msgbox::OK);
        focus(field(c.field == std::string("txtHistoryItems") ? "txtIdleMinutes" : "txtHistoryItems"));
        ExpectBoxes(boxes, c.refused ? QStringList{c.refused} : QStringList{});
        if (!c.refused) continue;
        EXPECT_EQ(QApplication::focusWidget(), &edit) << "back in the refused field";
        edit.setText(before);
    }
    // The SSN is cleaned of blanks and dashes as it is left.
    focus(field("txtSSN"));
    field("txtSSN").setText(" 123-45 67-89 ");
    focus(field("txtIdleMinutes"));
    EXPECT_EQ(field("txtSSN").text(), "123456789");
    // Cancel closes without a word about the field; OK with a refused field stores nothing.
    QLineEdit& history = field("txtHistoryItems");
    focus(history);
    history.setText("300");
    focus(button("cmdCancel"));
    focus(history);
    boxes.Answer(msgbox::OK);
    QTest::mouseClick(&button("cmdOK"), Qt::LeftButton);
    QCoreApplication::processEvents();
    ExpectBoxes(boxes, {"historyRange"});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(GetValue(ann, "AutoLogOutMts") + GetValue(ann, "SSN") + GetValue(ann, "HidePopUps2"), "0True");
}

} // namespace
