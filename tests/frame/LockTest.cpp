// The inactivity lock over a real frame: idle time and what counts as activity, Logout, the
// password prompt with its tries, Exit, and what the user can see and do while locked.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalSocket>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTest>

#include "browse/AddressBox.h"
#include "browse/DownloadsWindow.h"
#include "browse/LinkButtonsPanel.h"
#include "browse/PopupPolicy.h"
#include "browse/StandaloneWindow.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "frame/ActivityMonitor.h"
#include "frame/FrameToolbar.h"
#include "frame/HelpWindow.h"
#include "frame/InactivityLock.h"
#include "frame/MainWindow.h"
#include "frame/SingleInstance.h"
#include "FrameSupport.h"
#include "users/MessageWindow.h"
#include "users/PasswordPrompt.h"
#include "users/UserOptions.h"

using namespace frametest;

namespace {

struct LockRun : FrameRun {
    LockRun() {
        Clock::SetNow(QDateTime(QDate(2024, 3, 5), QTime(10, 0, 0)));
        CreateUser(kUser, kPassword);
        AddLink(kUser, kPassword, QStringLiteral("A"), QStringLiteral("http://a.test/"));
        Start();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame()));
        open(QStringLiteral("A"), QStringLiteral("http://a.test/"));
    }
    FakePane& page() { return pane(index(QStringLiteral("A"))); }
    // One tick of the browse window's busy timer.
    void tick() { browse().OnBusyTimer(); }
    QDateTime lastActivity() { return frame().Activity().LastActivity(); }
    // The next password prompt types these passwords one after another, then presses Exit
    // unless the prompt closed by itself; records its prompt text.
    void answerPrompt(QStringList passwords, bool exitAfter = false, std::function<void()> inside = {}) {
        dialogs.Next([this, passwords, exitAfter, inside](QDialog& d) {
            auto& prompt = static_cast<PasswordPrompt&>(d);
            promptText = prompt.findChild<QLabel*>("lblPrompt")->text();
            auto* userBox = prompt.findChild<QLineEdit*>("txtUserName");
            promptUser = userBox->text();
            promptUserEditable = !userBox->isReadOnly();
            auto* exitButton = prompt.findChild<QPushButton*>("cmdCancel");
            exitCaption = exitButton->text();
            if (inside) inside();
            for (const QString& password : passwords) {
                prompt.findChild<QLineEdit*>("txtPassword")->setText(password);
                prompt.findChild<QPushButton*>("cmdOK")->click();
            }
            if (exitAfter && prompt.result() != QDialog::Accepted && !prompt.TooManyTries())
                exitButton->click();
            return prompt.result();
        });
    }
    QString promptText;
    QString promptUser;
    bool promptUserEditable = true;
    QString exitCaption;
};

TEST(Lock, IdleMinutesLockOnlyPressesCountAndThePasswordOpensIt) {
    LockRun run;
    MainWindow& frame = run.frame();
    App().Options->SetAutoLogOutMts(1);
    const QDateTime start = Clock::Now();
    EXPECT_EQ(run.lastActivity(), start);

    Clock::Advance(50 * 1000);
    QTest::keyClick(&frame, Qt::Key_Shift);
    EXPECT_EQ(run.lastActivity(), start.addSecs(50));
    Clock::Advance(60 * 1000);
    QTest::mouseMove(run.browse().Buttons().LinkButtonAt(run.index(QStringLiteral("A"))));
    QTest::mouseMove(&frame, QPoint(30, 200));
    EXPECT_EQ(run.lastActivity(), start.addSecs(50)) << "moving the mouse is no activity";
    run.tick();
    EXPECT_FALSE(App().Locked) << "60 seconds are not more than one minute";
    Clock::Advance(1000);
    run.tick();
    ASSERT_TRUE(App().Locked);

    // Locked: everything minimised, no page visible, no command usable, no navigation.
    EXPECT_TRUE(frame.isMinimized());
    EXPECT_TRUE(frame.BrowseSubWindow()->isMinimized());
    EXPECT_TRUE(frame.LockedView());
    EXPECT_FALSE(run.browse().isVisible());
    EXPECT_FALSE(frame.menuBar()->isEnabled());
    EXPECT_FALSE(Toolbar(frame).isEnabled());
    EXPECT_TRUE(run.page().RaiseBeforeNavigate2(QStringLiteral("http://a.test/next")));
    QTest::mouseClick(frame.findChild<QPushButton*>(QStringLiteral("cmdUnlock")), Qt::RightButton);
    EXPECT_EQ(run.lastActivity(), start.addSecs(50)) << "a press while locked is no activity";

    // While the frame stays minimised nothing is asked.
    run.tick();
    EXPECT_EQ(run.dialogs.count(), 1) << "only the login so far";

    // Restoring the frame asks for the password; the right one restores the browse window.
    frame.showNormal();
    run.answerPrompt({QStringLiteral("wrong"), kPassword});
    Clock::Advance(5000);
    EXPECT_TRUE(frame.isMinimized() == false);
    run.tick();
    EXPECT_EQ(run.promptText, InactivityLock::kIdlePrompt);
    EXPECT_EQ(run.promptUser, kUser);
    EXPECT_FALSE(run.promptUserEditable);
    EXPECT_EQ(run.exitCaption, QStringLiteral("Exit"));
    EXPECT_EQ(run.boxes.texts(), QStringList{QStringLiteral("Invalid Password, try again!\r\r")});
    EXPECT_FALSE(App().Locked);
    EXPECT_FALSE(frame.LockedView());
    EXPECT_TRUE(frame.menuBar()->isEnabled());
    EXPECT_TRUE(frame.BrowseSubWindow()->isMaximized());
    EXPECT_EQ(run.lastActivity(), Clock::Now());
    EXPECT_FALSE(frame.LifeCycle().UnloadPending());
    EXPECT_FALSE(run.page().RaiseBeforeNavigate2(QStringLiteral("http://a.test/next")));
}

TEST(Lock, LogoutLocksAtOnceAndTheSixthWrongPasswordEndsTheProgram) {
    LockRun run;
    MainWindow& frame = run.frame();
    App().Options->SetAutoLogOutMts(0); // the idle lock is off; Logout still locks
    frame.findChild<QAction*>(QStringLiteral("mnuFileLogout"))->trigger();
    EXPECT_FALSE(App().Locked) << "the lock comes with the next tick";
    run.tick();
    ASSERT_TRUE(App().Locked);
    frame.showNormal();
    run.answerPrompt({"one", "two", "three", "four", "five", "six"});
    run.tick();
    EXPECT_EQ(run.promptText, InactivityLock::kLogoutPrompt);
    const QString again = QStringLiteral("Invalid Password, try again!\r\r");
    EXPECT_EQ(run.boxes.texts(),
              QStringList({again, again, again, again,
                           QStringLiteral("Invalid Password. You have one more chance to enter a "
                                          "correct Password.\rOtherwise the application will exit.\r\r")}));
    EXPECT_EQ(run.boxes.lastTitle(), QStringLiteral("Verify Password"));
    EXPECT_TRUE(App().Unloading);
    EXPECT_TRUE(frame.LifeCycle().UnloadPending());
    EXPECT_TRUE(frame.LockedView()) << "the pages stay hidden while the program ends";
    EXPECT_EQ(run.TickUntilEnded(), 2);
    EXPECT_EQ(run.ends, QList<ProgramLifeCycle::EndKind>{ProgramLifeCycle::EndKind::Orderly});
}

TEST(Lock, UnlockingGivesEveryWindowBackTheStateItHad) {
    LockRun run;
    MainWindow& frame = run.frame();
    StandaloneWindow* window =
        run.browse().PopUps().OpenNewWin(QStringLiteral("http://b.test/"), true, nullptr, true, QString());
    QMdiSubWindow* browse = frame.BrowseSubWindow();
    auto* standAlone = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    ASSERT_TRUE(standAlone);
    const Qt::WindowStates kinds = Qt::WindowMinimized | Qt::WindowMaximized;
    struct Case {
        Qt::WindowState browse, standAlone;
    } cases[] = {{Qt::WindowMinimized, Qt::WindowNoState},
                 {Qt::WindowNoState, Qt::WindowMinimized},
                 {Qt::WindowMaximized, Qt::WindowMinimized}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.browse) * 10 + int(c.standAlone));
        for (auto [sub, state] : {std::pair{standAlone, c.standAlone}, std::pair{browse, c.browse}}) {
            sub->setWindowState(state);
            sub->show();
        }
        frame.findChild<QAction*>(QStringLiteral("mnuFileLogout"))->trigger();
        run.tick();
        ASSERT_TRUE(App().Locked);
        EXPECT_TRUE(browse->isMinimized() && standAlone->isMinimized());
        frame.showNormal();
        run.answerPrompt({kPassword});
        run.tick();
        ASSERT_FALSE(App().Locked);
        EXPECT_EQ(browse->windowState() & kinds, c.browse);
        EXPECT_EQ(standAlone->windowState() & kinds, c.standAlone);
    }
}

TEST(Lock, ExitInThePromptEndsTheProgramAndOnlyOnePromptIsEverOpen) {
    LockRun run;
    MainWindow& frame = run.frame();
    frame.findChild<QAction*>(QStringLiteral("mnuFileLogout"))->trigger();
    run.tick();
    frame.showNormal();
    // The busy timer goes on ticking while the prompt is open: no second prompt.
    run.answerPrompt({}, true, [&] {
        run.tick();
        run.tick();
    });
    run.tick();
    EXPECT_EQ(run.dialogs.count(), 2) << "the login and one prompt";
    EXPECT_FALSE(App().Locked);
    EXPECT_TRUE(frame.LifeCycle().UnloadPending());
    EXPECT_EQ(run.boxes.count(), 0);
}

TEST(Lock, EveryOtherWindowGoesAndAnythingTypedInADialogIsDropped) {
    LockRun run;
    MainWindow& frame = run.frame();
    const auto lock = [&] {
        frame.findChild<QAction*>(QStringLiteral("mnuFileLogout"))->trigger();
        run.tick();
        ASSERT_TRUE(App().Locked);
    };
    // Windows of the program that are not dialogs (the message window, help, the downloads), and
    // the browse window's list of matches under the address box.
    frame.ShowMessage(QStringLiteral("Refreshing..."));
    frame.ShowHelp(QStringLiteral("Contents"));
    QWidget* downloads = frame.ShowDownloads();
    auto* help = frame.findChild<HelpWindow*>(QStringLiteral("frmHelp"));
    ASSERT_TRUE(help && help->isVisible() && downloads->isVisible());
    AddressBox* address = run.browse().findChild<AddressBox*>();
    ASSERT_NE(address, nullptr);
    address->AddUrlItem(QStringLiteral("http://a.test/one"));
    frame.activateWindow();
    address->setFocus();
    address->lineEdit()->clear();
    QTest::keyClicks(address, QStringLiteral("a.test/o"));
    ASSERT_TRUE(address->MatchList()->isVisible());

    // Options is open with a change typed in when the lock comes.
    bool visibleAfterLock = true;
    run.dialogs.Next([&](QDialog& options) {
        options.show();
        options.findChild<QLineEdit*>(QStringLiteral("txtSSN"))->setText(QStringLiteral("987-65-4321"));
        lock();
        visibleAfterLock = options.isVisible();
        return options.result();
    });
    frame.findChild<QAction*>(QStringLiteral("mnuOptionsBramblegate"))->trigger();
    EXPECT_FALSE(visibleAfterLock);
    EXPECT_FALSE(MessageWindow::IsShown());
    EXPECT_FALSE(help->isVisible());
    EXPECT_FALSE(downloads->isVisible());
    EXPECT_TRUE(address->MatchList()->isHidden());
    EXPECT_FALSE(frame.statusBar()->isVisible()) << "page titles and addresses show there";
    EXPECT_EQ(App().Options->SSN(), QString());
    EXPECT_EQ(FrameRun::Stored(kUser, QStringLiteral("SSN")), QString());

    // A window that opens while locked (a page's box, a late dialog) closes as it shows.
    QDialog late;
    late.show();
    ASSERT_TRUE(WaitFor([&] { return !late.isVisible(); }, 2000));
    EXPECT_EQ(late.result(), QDialog::Rejected);

    // Back with the right password: the hidden windows return, the cancelled dialog does not.
    frame.showNormal();
    run.answerPrompt({kPassword});
    run.tick();
    ASSERT_FALSE(App().Locked);
    EXPECT_TRUE(MessageWindow::IsShown());
    EXPECT_TRUE(help->isVisible() && downloads->isVisible());
    EXPECT_TRUE(frame.statusBar()->isVisible());
    EXPECT_FALSE(address->MatchList()->isVisible()) << "the matches are the user's to call up again";
    EXPECT_EQ(App().Options->SSN(), QString());
    frame.HideMessage();
}

TEST(Lock, NoKeyDoesAnythingWhileLockedAndASecondStartBringsThePrompt) {
    LockRun run;
    MainWindow& frame = run.frame();
    frame.showNormal();
    // Every action of the program counts its triggers.
    int triggered = 0;
    QStringList fired;
    for (QAction* action : frame.findChildren<QAction*>())
        QObject::connect(action, &QAction::triggered, &frame, [&, action] {
            ++triggered;
            fired << action->objectName() + " " + action->text();
        });
    frame.findChild<QAction*>(QStringLiteral("mnuFileLogout"))->trigger();
    triggered = 0;
    fired.clear();
    run.tick();
    ASSERT_TRUE(App().Locked);
    frame.showNormal(); // as a window system that does not minimise would leave it
    const int dialogs = run.dialogs.count();
    const QStringList navigations = run.page().navigations();

    // Every shortcut of every action, every menu's accelerator, and the keys of the pages.
    QList<QKeySequence> keys;
    for (QAction* action : frame.findChildren<QAction*>())
        keys << action->shortcuts();
    for (QAction* menu : frame.menuBar()->actions()) {
        const QString title = menu->text();
        const qsizetype amp = title.indexOf(QLatin1Char('&'));
        if (amp >= 0 && amp + 1 < title.size())
            keys << QKeySequence(Qt::ALT | QKeySequence(title.mid(amp + 1, 1))[0].key());
    }
    keys << QKeySequence(Qt::Key_F5) << QKeySequence(Qt::Key_Escape) << QKeySequence(Qt::Key_Return)
         << QKeySequence(Qt::ALT | Qt::Key_Left) << QKeySequence(Qt::Key_F10);
    ASSERT_GT(keys.size(), 30);
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &frame;
    for (const QKeySequence& key : keys) {
        if (key.isEmpty()) continue;
        QTest::keyClick(focus, key[0].key(), key[0].keyboardModifiers());
        QTest::keyClick(&frame, key[0].key(), key[0].keyboardModifiers());
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(triggered, 0) << fired.join(", ").toStdString();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(run.dialogs.count(), dialogs);
    EXPECT_EQ(run.boxes.count(), 0);
    EXPECT_EQ(run.page().navigations(), navigations);
    EXPECT_TRUE(App().Locked);

    // A second start of the program while locked: the frame comes forward, and with it the
    // password prompt, not anything else.
    frame.showMinimized();
    run.tick();
    EXPECT_EQ(run.dialogs.count(), dialogs) << "no prompt while minimised";
    QLocalSocket second;
    second.connectToServer(SingleInstance::DefaultServerName());
    ASSERT_TRUE(second.waitForConnected(2000));
    second.write("activate\n");
    ASSERT_TRUE(WaitFor(
        [&] { return second.bytesAvailable() > 0 || second.state() != QLocalSocket::ConnectedState; }));
    EXPECT_FALSE(frame.isMinimized());
    run.answerPrompt({kPassword});
    run.tick();
    EXPECT_EQ(run.promptText, InactivityLock::kLogoutPrompt);
    EXPECT_FALSE(App().Locked);
}

} // namespace
