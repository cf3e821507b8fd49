#pragma once

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

// Kills a child process at random moments of its work, and looks at what it left each time. The
// child is this test program itself, started with the environment variable `variable` set to
// `value`: a test environment registered with KillRounds::Child (at namespace scope) sees it before
// any test runs and does the work instead, printing "ready" once it has begun.
namespace KillRounds {

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

// Registers the child's work for `variable`; returns a token to keep in a static.
inline const void* Child(const char* variable, std::function<void(const QString& value)> work) {
    return ::testing::AddGlobalTestEnvironment(new ChildEnvironment(variable, std::move(work)));
}

// Tells the parent that the work has begun (the kill follows within a quarter of a second).
inline void Ready() {
    std::printf("ready\n");
    std::fflush(stdout);
}

// `rounds` times: start the child, wait for "ready", let it work 20 to 270 ms, kill it, then call
// `afterKill(round)` (which reopens the store and checks it). Stops at the first failure.
inline void Run(const char* variable, const QString& value, int rounds,
                const std::function<void(int round)>& afterKill) {
    for (int round = 1; round <= rounds; ++round) {
        QProcess child; // killed when it goes
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(variable), value);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A filter that selects some test: the environment takes over before it runs.
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=*")});
        QByteArray out;
        while (!out.contains("ready\n") && child.waitForReadyRead(20000))
            out += child.readAll();
        ASSERT_TRUE(out.contains("ready\n")) << "the child did not begin its work";
        QThread::msleep(20 + QRandomGenerator::global()->bounded(250));
        ASSERT_EQ(child.state(), QProcess::Running) << "the child stopped by itself";
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(10000));
        afterKill(round);
        if (::testing::Test::HasFailure()) return;
    }
}

} // namespace KillRounds
