// One running copy per OS user: a second start hands over to the first and ends.
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSysInfo>
#include <QTemporaryDir>

#include "browse/PopupPolicy.h"
#include "browse/StandaloneWindow.h"
#include "core/AppPaths.h"
#include "frame/MainWindow.h"
#include "frame/SingleInstance.h"
#include "FrameSupport.h"

using namespace frametest;

namespace {

TEST(SingleInstance, NamesKeepUsersAndDataFoldersApart) {
    const QString name =
        SingleInstance::ServerName(QStringLiteral("1000"), QStringLiteral("/home/a/.local/share"));
    EXPECT_EQ(name,
              SingleInstance::ServerName(QStringLiteral("1000"), QStringLiteral("/home/a/.local/share")));
    EXPECT_NE(name,
              SingleInstance::ServerName(QStringLiteral("1001"), QStringLiteral("/home/a/.local/share")));
    EXPECT_NE(name, SingleInstance::ServerName(QStringLiteral("1000"), QStringLiteral("/tmp/other")));
    EXPECT_TRUE(name.startsWith(QLatin1String("bramblegate-")));
}

TEST(SingleInstance, ASecondProgramBringsTheRunningFrameForwardAndEnds) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    MainWindow& frame = run.Start();
    ASSERT_NE(frame.Browse(), nullptr);
    frame.showMinimized();
    ASSERT_TRUE(frame.isMinimized());

    // The program itself, for the same OS user and data folder.
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(BG_PROGRAM_FILE), {});
    ASSERT_TRUE(second.waitForStarted(10000));
    const bool finished = WaitFor([&] { return second.state() == QProcess::NotRunning; }, 60000);
    if (!finished) second.kill();
    ASSERT_TRUE(finished) << "the second copy is still running";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(frame.isMinimized());
    EXPECT_TRUE(run.ends.isEmpty());
    EXPECT_FALSE(QFile::exists(AppPaths::SettingsFile()))
        << "the second copy went no further than the handover";
}

TEST(SingleInstance, TwoStartsAtOnceLeaveOneCopyAndADeadCopysLockIsTakenOver) {
    QTemporaryDir dir;
    const QString name = SingleInstance::ServerName(QStringLiteral("test"), dir.path());
    const QString lock = dir.filePath(QStringLiteral("Bramblegate.lock"));
    // The second start looks while the first is still starting (it has the lock, it does not
    // listen yet): the second never becomes the running copy too.
    {
        QLockFile starting(lock);
        ASSERT_TRUE(starting.tryLock(0));
        SingleInstance second(name, lock);
        EXPECT_EQ(second.Claim(300), SingleInstance::Outcome::NoAnswer);
        EXPECT_FALSE(second.Listening());
    }
    // Nor later, while the first runs (here it cannot answer): the first one's socket stays.
    SingleInstance first(name, lock), second(name, lock);
    ASSERT_EQ(first.Claim(300), SingleInstance::Outcome::First);
    EXPECT_EQ(second.Claim(300), SingleInstance::Outcome::NoAnswer);
    EXPECT_FALSE(second.Listening());
    EXPECT_TRUE(first.Listening());
    QLocalSocket socket;
    socket.connectToServer(name);
    EXPECT_TRUE(socket.waitForConnected(1000));

    // A copy that died (killed, crashed) left its lock and its socket behind.
    QProcess dead;
    dead.start(QStringLiteral("sleep"), {QStringLiteral("0.1")});
    ASSERT_TRUE(dead.waitForStarted(5000));
    const qint64 deadPid = dead.processId();
    ASSERT_TRUE(dead.waitForFinished(5000));
    const QString other = SingleInstance::ServerName(QStringLiteral("test"), dir.filePath("other"));
    const QString otherLock = dir.filePath(QStringLiteral("other.lock"));
    QFile left(otherLock);
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.write(QByteArray::number(deadPid) + "\nbramblegate\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    left.close();
    QFile socketLeft(QDir::tempPath() + QLatin1Char('/') + other); // where its socket was
    ASSERT_TRUE(socketLeft.open(QIODevice::WriteOnly));
    socketLeft.close();
    SingleInstance next(other, otherLock);
    EXPECT_EQ(next.Claim(300), SingleInstance::Outcome::First);
    EXPECT_TRUE(next.Listening());
}

// Addresses given to a later start open in the running copy once its start-up Links are open:
// the first in the visible Link's pane, the others in stand-alone windows.
TEST(SingleInstance, ASecondStartHandsItsAddressesToTheRunningCopy) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    run.AddLink(kUser, kPassword, QStringLiteral("A"), QStringLiteral("http://a.test/"));
    MainWindow& frame = run.Start();
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(BG_PROGRAM_FILE), {QStringLiteral("http://one.test/?a=b c"), "two.test"});
    ASSERT_TRUE(WaitFor([&] { return second.state() == QProcess::NotRunning; }, 60000));
    EXPECT_EQ(second.exitCode(), 0);

    const auto visible = [&] { return &run.pane(run.browse().VisibleIndex()); };
    EXPECT_EQ(frame.Browse()->PopUps().NewWindows().size(), 0) << "not before the start-up Links";
    run.browse().OnLoadFavoritesTimer();
    EXPECT_EQ(visible()->navigations().last(), "http://one.test/?a=b%20c");
    const QList<StandaloneWindow*> windows = frame.Browse()->PopUps().NewWindows();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(static_cast<FakePane*>(windows.first()->Pane())->navigations(), QStringList{"http://two.test"});

    // Once running, at once, in the active window (now the stand-alone one); what no address box
    // would open is dropped.
    frame.LifeCycle().OpenAddresses(
        {QStringLiteral("javascript:alert(1)"), QStringLiteral("https://three.test/")});
    EXPECT_EQ(static_cast<FakePane*>(windows.first()->Pane())->navigations().last(), "https://three.test/");
}

// A first start opens its addresses after the login, once the start-up Links are open.
TEST(SingleInstance, AFirstStartOpensItsAddressesAfterTheLogin) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    run.addresses = {QStringLiteral("http://first.test/")};
    run.Start();
    run.browse().OnLoadFavoritesTimer();
    EXPECT_EQ(run.pane(run.browse().VisibleIndex()).navigations().last(), "http://first.test/");
}

TEST(SingleInstance, ARunningCopyThatDoesNotAnswerIsAlreadyOpen) {
    QLocalServer hung; // accepts connections, never answers
    ASSERT_TRUE(hung.listen(SingleInstance::DefaultServerName()));
    QLockFile running(SingleInstance::DefaultLockFile()); // and holds the lock
    ASSERT_TRUE(running.tryLock(0));
    FrameRun run;
    run.hooks.instanceAnswerMs = 300;
    MainWindow& frame = run.Start();
    ASSERT_EQ(run.boxes.count(), 1);
    EXPECT_EQ(run.boxes.lastText(), QStringLiteral("Bramblegate is already open!               \r\r"));
    EXPECT_EQ(run.boxes.lastTitle(), QStringLiteral("Already Open"));
    EXPECT_EQ(run.boxes.shown().last().icon, msgbox::Exclamation);
    EXPECT_EQ(run.ends, QList<ProgramLifeCycle::EndKind>{ProgramLifeCycle::EndKind::Immediate});
    EXPECT_EQ(run.dialogs.count(), 0);
    EXPECT_EQ(frame.Browse(), nullptr);
}

} // namespace
