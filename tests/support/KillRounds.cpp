#include "support/KillRounds.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

namespace KillRounds {
namespace {

struct ChildEnvironment : ::testing::Environment {
    ChildEnvironment(const char* variable, std::function<void(const QString&)> work)
        : m_variable(variable), m_work(std::move(work)) {}
    void SetUp() override {
        const QByteArray value = qgetenv(m_variable);
        if (value.isEmpty()) return;
        m_work(QString::fromLocal8Bit(value));
        std::_Exit(0);
    }
    const char* m_variable;
    std::function<void(const QString&)> m_work;
};

} // namespace

const void* Child(const char* variable, std::function<void(const QString&)> work) {
    return ::testing::AddGlobalTestEnvironment(new ChildEnvironment(variable, std::move(work)));
}

void Ready() {
    std::printf("ready\n");
    std::fflush(stdout);
}

void Run(const char* variable, const QString& value, int rounds, const std::function<void(int)>& afterKill) {
    for (int round = 1; round <= rounds; ++round) {
        QProcess child; // killed when it goes
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(variable), value);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A filter that selects some test: the environment takes over before it runs.
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=*")});
        ASSERT_TRUE(child.waitForStarted(10000));
        QByteArray out;
        while (!out.contains("ready\n") && child.waitForReadyRead(20000))
            out += child.readAll();
        ASSERT_TRUE(out.contains("ready\n")) << "the child did not begin its work";
        QThread::msleep(20 + QRandomGenerator::global()->bounded(250));
        ASSERT_EQ(child.state(), QProcess::Running) << "the child stopped by itself";
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(10000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
        afterKill(round);
        if (::testing::Test::HasFailure()) return;
    }
}

} // namespace KillRounds
