// Ending the program: the close box and its question, File Exit, the deferred unload with its
// forced end, the system ending the program, and the ways dialogs end it through the frame.
#include <csignal>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSessionManager>

#include "browse/LinkControls.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Log.h"
#include "core/Settings.h"
#include "frame/MainWindow.h"
#include "FrameSupport.h"
#include "links/Links.h"
#include "users/ProgramEnd.h"

using namespace frametest;

namespace {

// Moves Link B in front of A: only a save puts "B" into the first stored slot.
void MoveBFirst(FrameRun& run) {
    run.browse().Controls().MoveLink(run.index(QStringLiteral("B")), run.index(QStringLiteral("A")));
}

bool SavedBFirst() {
    QStringList captions;
    for (int n = 1; n <= 6; ++n)
        captions << FrameRun::Stored(kUser, QStringLiteral("Caption") + QString::number(n));
    return captions.indexOf(QStringLiteral("B")) < captions.indexOf(QStringLiteral("A"));
}

QString LogFile() {
    return core::LogFolder() + QStringLiteral("/Log") + Clock::Now().toString(QStringLiteral("yyMMdd")) +
           QStringLiteral(".Log");
}

// The frame's own diagnostic lines of the unload, without their time stamps.
QStringList UnloadLogLines() {
    QFile log(LogFile());
    if (!log.open(QIODevice::ReadOnly)) return {};
    QStringList lines;
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line.trimmed()).mid(21); // date, time, two blanks
        if (text.startsWith(QLatin1String("tmrUnload")) || text.startsWith(QLatin1String("MDIForm_UnLoad")))
            lines << text;
    }
    return lines;
}

void Prepare(FrameRun& run) {
    run.CreateUser(kUser, kPassword);
    run.AddLink(kUser, kPassword, QStringLiteral("A"), QStringLiteral("http://a.test/"));
    run.AddLink(kUser, kPassword, QStringLiteral("B"), QStringLiteral("http://b.test/"));
    run.Start();
    MoveBFirst(run);
}

TEST(Shutdown, TheCloseBoxAsksNoLeavesEverythingRunningYesUnloadsAndSaves) {
    FrameRun run;
    Prepare(run);
    MainWindow& frame = run.frame();
    // What the window system's close box asks of the frame.
    run.boxes.Answer(msgbox::No);
    EXPECT_FALSE(frame.LifeCycle().QueryUnload(ProgramLifeCycle::CloseBox));
    ASSERT_EQ(run.boxes.count(), 1);
    EXPECT_EQ(run.boxes.lastText(), QStringLiteral("This will exit Bramblegate.") +
                                        QString(22, QLatin1Char(' ')) +
                                        QStringLiteral("\rAre your sure you want to exit?\r\r"));
    EXPECT_EQ(run.boxes.lastTitle(), QStringLiteral("Exit Bramblegate"));
    EXPECT_EQ(run.boxes.shown().last().buttons, msgbox::YesNo);
    EXPECT_EQ(run.boxes.shown().last().icon, msgbox::Question);
    EXPECT_FALSE(App().Unloading);
    EXPECT_FALSE(frame.LifeCycle().UnloadPending());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(frame.menuBar()->isEnabled());

    run.boxes.Answer(msgbox::Yes);
    EXPECT_TRUE(frame.LifeCycle().QueryUnload(ProgramLifeCycle::CloseBox));
    EXPECT_EQ(run.boxes.count(), 2);
    EXPECT_TRUE(App().Unloading);
    EXPECT_TRUE(frame.LifeCycle().UnloadPending());
    EXPECT_FALSE(frame.menuBar()->isEnabled());
    EXPECT_EQ(frame.MessageText(), QStringLiteral("Exiting..."));
    EXPECT_FALSE(SavedBFirst());
    EXPECT_EQ(run.TickUntilEnded(), 2);
    EXPECT_EQ(run.ends, QList<ProgramLifeCycle::EndKind>{ProgramLifeCycle::EndKind::Orderly});
    EXPECT_TRUE(SavedBFirst()) << "the browse window saves on an ordinary exit";
    EXPECT_FALSE(frame.MessageShown());
}

TEST(Shutdown, ExitAsksNothingAndAFavoritesRefreshThatNeverEndsIsCutOffAtTheTwentyFirstTick) {
    for (bool refreshEnds : {true, false}) {
        SCOPED_TRACE(refreshEnds ? "refresh ends at tick 5" : "refresh never ends");
        FrameRun run;
        Prepare(run);
        App().DiagnosticMode = true;
        QDir().mkpath(core::LogFolder());
        QFile::remove(LogFile());
        App().FavoritesReady = false;
        // File, Exit; closing the frame from code is the same.
        if (refreshEnds)
            run.frame().findChild<QAction*>(QStringLiteral("mnuFileExit"))->trigger();
        else
            run.frame().close();
        EXPECT_EQ(run.boxes.count(), 0);
        EXPECT_TRUE(run.frame().LifeCycle().UnloadPending());
        // A second request (a dialog asking for the end too) changes nothing.
        ProgramEnd::UnloadFrame();
        EXPECT_EQ(run.frame().LifeCycle().findChild<QTimer*>(QStringLiteral("unloadTimer"))->interval(), 500);
        EXPECT_EQ(run.TickUntilEnded(4), 4);
        if (refreshEnds) App().FavoritesReady = true;
        const int ticks = run.TickUntilEnded();
        EXPECT_EQ(run.frame().LifeCycle().UnloadTicks(), refreshEnds ? 5 : 21) << ticks;
        EXPECT_EQ(run.ends,
                  QList<ProgramLifeCycle::EndKind>{refreshEnds ? ProgramLifeCycle::EndKind::Orderly
                                                               : ProgramLifeCycle::EndKind::Immediate});
        EXPECT_EQ(SavedBFirst(), refreshEnds);
        EXPECT_EQ(UnloadLogLines(), refreshEnds
                                        ? QStringList({"tmrUnload_Timer Unloading...",
                                                       "MDIForm_UnLoad frmBrowse unloaded successfully",
                                                       "MDIForm_UnLoad Completed"})
                                        : QStringList({"tmrUnload_Timer ENDING APPLICATION..."}));
    }
}

TEST(Shutdown, TerminationEndsWithoutQuestionAndWithoutSaving) {
    FrameRun run;
    Prepare(run);
    ::kill(::getpid(), SIGTERM);
    ASSERT_TRUE(WaitFor([&] { return run.frame().LifeCycle().UnloadPending(); }, 5000));
    EXPECT_EQ(run.boxes.count(), 0);
    EXPECT_TRUE(App().EndingOnError);
    run.TickUntilEnded();
    EXPECT_EQ(run.ends, QList<ProgramLifeCycle::EndKind>{ProgramLifeCycle::EndKind::Orderly});
    EXPECT_FALSE(SavedBFirst());
}

TEST(Shutdown, TheDesktopSavingItsStateLeavesItRunningALogoutEndsItWithoutSaving) {
    FrameRun run;
    Prepare(run);
    // Asked to save its state while nobody logs out (a checkpoint of the session).
    auto* manager = qApp->findChild<QSessionManager*>();
    ASSERT_NE(manager, nullptr);
    emit qApp->commitDataRequest(*manager);
    emit qApp->saveStateRequest(*manager);
    QCoreApplication::processEvents();
    EXPECT_FALSE(run.frame().LifeCycle().EndRequested());
    EXPECT_FALSE(App().Unloading);
    // The user logs out: the desktop's session manager quits the program.
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &quit);
    EXPECT_TRUE(run.frame().LifeCycle().UnloadPending());
    EXPECT_EQ(run.boxes.count(), 0);
    EXPECT_TRUE(App().EndingOnError);
    run.TickUntilEnded();
    EXPECT_EQ(run.ends, QList<ProgramLifeCycle::EndKind>{ProgramLifeCycle::EndKind::Orderly});
    EXPECT_FALSE(SavedBFirst());
}

TEST(Shutdown, DialogsEndTheProgramThroughTheFrame) {
    FrameRun run;
    Prepare(run);
    // An import that succeeded ends at once; nothing of the running session is saved.
    ProgramEnd::EndNowWithoutSaving();
    EXPECT_EQ(run.ends, QList<ProgramLifeCycle::EndKind>{ProgramLifeCycle::EndKind::Immediate});
    EXPECT_FALSE(SavedBFirst());
}

} // namespace
