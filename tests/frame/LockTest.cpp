// The inactivity lock over a real frame: idle time and what counts as activity, Logout, the
// password prompt with its tries, and what the user can see and do while locked.

#include "browse/AddressBox.h"
#include "browse/DownloadsWindow.h"
#include "browse/LinkButtonsPanel.h"
#include "browse/PopupPolicy.h"
#include "browse/StandaloneWindow.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "frame/ActivityMonitor.h"
#include "frame/HelpWindow.h"
#include "frame/InactivityLock.h"
#include "FrameSupport.h"
#include "users/MessageWindow.h"
#include "users/PasswordPrompt.h"
#include "users/UserOptions.h"

using namespace frametest;

namespace {

struct LockRun : FrameRun {
    LockRun() {
        Clock::SetNow(QDateTime(QDate(2024, 3, 5), QTime(10, 0, 0)));
        StartWith({"A"});
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame()));
        open("A", "http://a.test/");
    }
    void tick() { browse().OnBusyTimer(); }
    void logout() {
        Trigger(frame(), "mnuFileLogout");
        tick();
        EXPECT_TRUE(App().Locked);
    }
    // Restores the frame; at the next tick the prompt asks and gets these passwords one after
    // another. Records what the prompt asked.
    void unlock(QStringList passwords, std::function<void()> inside = {}) {
        frame().showNormal();
        dialogs.Next([=, this](QDialog& prompt) {
            shown = Child<QLabel>(prompt, "lblPrompt").text();
            if (inside) inside();
            for (const QString& password : passwords) {
                Child<QLineEdit>(prompt, "txtPassword").setText(password);
                Child<QPushButton>(prompt, "cmdOK").click();
            }
            return prompt.result();
        });
        for (int n = 1; n < std::min<int>(passwords.size(), PasswordPrompt::kMaxTries); ++n)
            boxes.Answer(msgbox::OK); // "wrong password"
        tick();
    }
    QDateTime lastActivity() { return frame().Activity().LastActivity(); }
    QString shown;
};

TEST(Lock, IdleMinutesOrLogoutLockOnlyPressesCountThePasswordOpensAndTheSixthWrongOneEnds) {
    LockRun run;
    MainWindow& frame = run.frame();
    App().Options->SetAutoLogOutMts(1);
    const QDateTime start = Clock::Now();
    Clock::Advance(50 * 1000);
    QTest::keyClick(&frame, Qt::Key_Shift);
    Clock::Advance(60 * 1000);
    QTest::mouseMove(run.browse().Buttons().LinkButtonAt(run.index("A")));
    QTest::mouseMove(&frame, QPoint(30, 200));
    EXPECT_EQ(run.lastActivity(), start.addSecs(50)) << "moving the mouse is no activity";
    run.tick();
    EXPECT_FALSE(App().Locked) << "60 seconds are not more than one minute";
    Clock::Advance(1000);
    run.tick();
    ASSERT_TRUE(App().Locked);
    // Everything minimised, no page visible, no command usable, no navigation.
    EXPECT_TRUE(frame.isMinimized() && BrowseSubWindow(frame)->isMinimized() && frame.LockedView());
    EXPECT_FALSE(run.browse().isVisible() || frame.menuBar()->isEnabled() || Toolbar(frame).isEnabled());
    EXPECT_TRUE(run.pane("A").RaiseBeforeNavigate2("http://a.test/next"));
    QTest::mouseClick(&Child<QPushButton>(frame, "cmdUnlock"), Qt::RightButton);
    EXPECT_EQ(run.lastActivity(), start.addSecs(50)) << "a press while locked is no activity";
    run.tick(); // no prompt while the frame stays minimised

    Clock::Advance(5000);
    run.unlock({"wrong", kPassword});
    EXPECT_EQ(run.shown, InactivityLock::kIdlePrompt);
    EXPECT_EQ(run.boxes.count(), 1);
    EXPECT_FALSE(App().Locked || frame.LockedView() || frame.LifeCycle().UnloadPending());
    EXPECT_TRUE(frame.menuBar()->isEnabled() && BrowseSubWindow(frame)->isMaximized());
    EXPECT_EQ(run.lastActivity(), Clock::Now());
    EXPECT_FALSE(run.pane("A").RaiseBeforeNavigate2("http://a.test/next"));

    App().Options->SetAutoLogOutMts(0); // the idle lock is off; Logout still locks
    run.logout();
    // The busy timer goes on ticking while the prompt is open: no second prompt.
    run.unlock({"one", "two", "three", "four", "five", "six"}, [&] { run.tick(); });
    EXPECT_EQ(run.shown, InactivityLock::kLogoutPrompt);
    EXPECT_EQ(run.boxes.count(), 6) << "the one before, four wrong and the last chance";
    EXPECT_TRUE(App().Unloading && frame.LockedView()) << "the pages stay hidden while it ends";
    EXPECT_EQ(run.TickUntilEnded(), 2);
    EXPECT_EQ(run.ends, kOrderly);
}

TEST(Lock, WhileLockedOtherWindowsGoNoKeyWorksAndUnlockingGivesEveryWindowBackItsState) {
    LockRun run;
    MainWindow& frame = run.frame();
    // Windows that are not dialogs, and the list of matches under the address box.
    frame.ShowMessage("Refreshing...");
    frame.ShowHelp("Contents");
    frame.ShowDownloads();
    QWidget* downloads = frame.findChild<DownloadsWindow*>();
    auto& help = Child<HelpWindow>(frame, "frmHelp");
    auto& address = Child<AddressBox>(run.browse(), "cmbAddress");
    address.AddUrlItem("http://a.test/one");
    frame.activateWindow();
    address.setFocus();
    address.lineEdit()->clear();
    QTest::keyClicks(&address, "a.test/o");
    ASSERT_TRUE(address.MatchList()->isVisible() && help.isVisible() && downloads->isVisible());
    // Options is open with a change typed in when the lock comes.
    bool visibleAfterLock = true;
    run.dialogs.Next([&](QDialog& options) {
        options.show();
        Child<QLineEdit>(options, "txtSSN").setText("987-65-4321");
        run.logout();
        visibleAfterLock = options.isVisible();
        return options.result();
    });
    Trigger(frame, "mnuOptionsBramblegate");
    EXPECT_FALSE(visibleAfterLock || MessageWindow::IsShown() || help.isVisible() || downloads->isVisible() ||
                 address.MatchList()->isVisible() || frame.statusBar()->isVisible());
    EXPECT_EQ(FrameRun::Stored(kUser, "SSN"), QString());
    // A window that opens while locked (a page's box, a late dialog) closes as it shows.
    QDialog late;
    late.show();
    EXPECT_TRUE(WaitFor([&] { return !late.isVisible(); }, 2000));
    // Back: the hidden windows return, the cancelled dialog and the matches do not.
    run.unlock({kPassword});
    EXPECT_TRUE(MessageWindow::IsShown() && help.isVisible() && downloads->isVisible() &&
                frame.statusBar()->isVisible() && !address.MatchList()->isVisible());
    EXPECT_EQ(App().Options->SSN(), QString());
    frame.HideMessage();

    run.logout();
    frame.showNormal(); // as a window system that does not minimise would leave it
    QStringList fired;
    QList<QKeySequence> keys{QKeySequence(Qt::Key_F5), QKeySequence(Qt::Key_Escape),
                             QKeySequence(Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Left),
                             QKeySequence(Qt::Key_F10)};
    for (QAction* action : frame.findChildren<QAction*>()) {
        QObject::connect(action, &QAction::triggered, &frame, [&, action] { fired << action->objectName(); });
        keys << action->shortcuts();
    }
    const QStringList navigations = run.pane("A").navigations();
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &frame;
    for (const QKeySequence& key : keys)
        if (!key.isEmpty())
            for (QWidget* target : {focus, static_cast<QWidget*>(&frame)})
                QTest::keyClick(target, key[0].key(), key[0].keyboardModifiers());
    QCoreApplication::processEvents();
    EXPECT_GT(keys.size(), 30);
    EXPECT_EQ(fired, QStringList());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(run.pane("A").navigations(), navigations);

    run.unlock({kPassword});

    // Unlocking gives every window back its state, a minimised one too.
    StandaloneWindow* window =
        run.browse().PopUps().OpenNewWin("http://b.test/", true, nullptr, true, QString());
    QMdiSubWindow* browse = BrowseSubWindow(frame);
    auto* standAlone = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    standAlone->setWindowState(Qt::WindowNoState);
    browse->setWindowState(Qt::WindowMinimized);
    run.logout();
    EXPECT_TRUE(browse->isMinimized() && standAlone->isMinimized());
    run.unlock({kPassword});
    EXPECT_TRUE(browse->isMinimized() &&
                !(standAlone->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)));
}

} // namespace
