// The inactivity lock over a real frame: idle time and what counts as activity, Logout, the
// password prompt with its tries, Exit, and what the user can see and do while locked.
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include "browse/frmNewWin.h"
#include "browse/LinkButtonsPanel.h"
#include "browse/PopupPolicy.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "frame/ActivityMonitor.h"
#include "frame/FrameToolbar.h"
#include "frame/frmMDI.h"
#include "frame/InactivityLock.h"
#include "FrameSupport.h"
#include "users/cOptions.h"
#include "users/frmInput.h"

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
    void tick() { browse().tmrBusy_Timer(); }
    QDateTime lastActivity() { return frame().Activity().LastActivity(); }
    // The next password prompt types these passwords one after another, then presses Exit
    // unless the prompt closed by itself; records its prompt text.
    void answerPrompt(QStringList passwords, bool exitAfter = false, std::function<void()> inside = {}) {
        dialogs.Next([this, passwords, exitAfter, inside](QDialog& d) {
            auto& prompt = static_cast<frmInput&>(d);
            promptText = prompt.lblPrompt()->text();
            promptUser = prompt.txtUserName()->text();
            promptUserEditable = !prompt.txtUserName()->isReadOnly();
            exitCaption = prompt.cmdCancel()->text();
            if (inside) inside();
            for (const QString& password : passwords) {
                prompt.txtPassword()->setText(password);
                prompt.cmdOK()->click();
            }
            if (exitAfter && prompt.result() != QDialog::Accepted && !prompt.TooManyTries())
                prompt.cmdCancel()->click();
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
    frmMDI& frame = run.frame();
    App().Options->SetAutoLogOutMts(1);
    const QDateTime start = Clock::Now();
    EXPECT_EQ(run.lastActivity(), start);

    Clock::Advance(50 * 1000);
    QTest::keyClick(&frame, Qt::Key_Shift);
    EXPECT_EQ(run.lastActivity(), start.addSecs(50));
    Clock::Advance(60 * 1000);
    QTest::mouseMove(run.browse().Buttons().cmdLink(run.index(QStringLiteral("A"))));
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
    EXPECT_FALSE(frame.Toolbar().isEnabled());
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
    EXPECT_FALSE(frame.UnloadPending());
    EXPECT_FALSE(run.page().RaiseBeforeNavigate2(QStringLiteral("http://a.test/next")));
}

TEST(Lock, LogoutLocksAtOnceAndTheSixthWrongPasswordEndsTheProgram) {
    LockRun run;
    frmMDI& frame = run.frame();
    App().Options->SetAutoLogOutMts(0); // the idle lock is off; Logout still locks
    frame.MenuAction(QStringLiteral("mnuFileLogout"))->trigger();
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
    EXPECT_TRUE(App().gbUnloading);
    EXPECT_TRUE(frame.UnloadPending());
    EXPECT_TRUE(frame.LockedView()) << "the pages stay hidden while the program ends";
    EXPECT_EQ(run.TickUntilEnded(), 2);
    EXPECT_EQ(run.ends, QList<frmMDI::EndKind>{frmMDI::EndKind::Orderly});
}

TEST(Lock, UnlockingGivesEveryWindowBackTheStateItHad) {
    LockRun run;
    frmMDI& frame = run.frame();
    frmNewWin* window =
        run.browse().PopUps().OpenNewWin(QStringLiteral("http://b.test/"), true, nullptr, true);
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
        frame.MenuAction(QStringLiteral("mnuFileLogout"))->trigger();
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
    frmMDI& frame = run.frame();
    frame.MenuAction(QStringLiteral("mnuFileLogout"))->trigger();
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
    EXPECT_TRUE(frame.UnloadPending());
    EXPECT_EQ(run.boxes.count(), 0);
}

} // namespace
