// The frame's own costs:
//   BM_SecondStartHandover  a later start finding the running copy over the local socket and
//                           getting its answer (the running copy answers on its own thread);
//   BM_FrameStartUp         the frame's start-up after the login dialog (store, version check,
//                           options, bars and menus, a browse window of 50 Links over scripted
//                           panes, master history of 100 and 40 bookmarks), and its unload.
#include <benchmark/benchmark.h>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

#include "BenchSupport.h"
#include "core/AppState.h"
#include "core/MessageBox.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "frame/MainWindow.h"
#include "frame/SingleInstance.h"
#include "links/Links.h"
#include "support/FakePane.h"
#include "users/Accounts.h"
#include "users/LoginDialog.h"

namespace {

void BM_SecondStartHandover(benchmark::State& state) {
    const QString name = SingleInstance::ServerName(QStringLiteral("bench"), QDir::tempPath());
    const QString lock = QDir::tempPath() + QStringLiteral("/bramblegate-bench.lock");
    QThread thread;
    auto* running = new SingleInstance(name, lock);
    running->moveToThread(&thread);
    thread.start();
    bool listening = false;
    QMetaObject::invokeMethod(
        running, [&] { listening = running->Claim() == SingleInstance::Outcome::First; },
        Qt::BlockingQueuedConnection);
    if (!listening) state.SkipWithError("cannot listen");
    for (auto _ : state) {
        SingleInstance later(name, lock);
        if (later.Claim() != SingleInstance::Outcome::Activated) state.SkipWithError("no answer");
    }
    QMetaObject::invokeMethod(
        running, [running] { delete running; }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}
BENCHMARK(BM_SecondStartHandover)->Unit(benchmark::kMicrosecond);

void BM_FrameStartUp(benchmark::State& state) {
    benchsupport::TempStore store;
    msgbox::SetAnswerer([](const msgbox::Request&) { return msgbox::Yes; });
    const QString user = QStringLiteral("bench"), password = QStringLiteral("benchpw");
    {
        Accounts accounts;
        LoginFields fields{user, password, QString(), password};
        accounts.DoNewUser(fields);
        Links links(user);
        for (int i = 0; i < 50; ++i)
            links.Add(QStringLiteral("Link %1").arg(i),
                      SecretCipher::EncryptMessage(QStringLiteral("http://l%1.test/").arg(i)), QString(),
                      QString(), QString(), QString(), false, false, -1, true);
        for (int i = 0; i < 100; ++i)
            core::SaveValue(user + QStringLiteral("History"), QStringLiteral("Page %1").arg(i),
                            QStringLiteral("http://h%1.test/").arg(i));
        for (int i = 0; i < 40; ++i)
            core::SaveValue(user + QStringLiteral("BMs"), QStringLiteral("Mark %1").arg(i),
                            QStringLiteral("http://b%1.test/").arg(i));
    }
    modal::SetRunner([&](QDialog& dialog) {
        if (auto* login = qobject_cast<LoginDialog*>(&dialog)) {
            login->findChild<QComboBox*>("cmbUserName")->setEditText(user);
            login->findChild<QLineEdit*>("txtPassword")->setText(password);
            login->findChild<QPushButton*>("cmdOK")->click();
        }
        return dialog.result();
    });
    for (auto _ : state) {
        App() = AppState();
        MainWindow frame([](QWidget* parent) { return new FakePane(parent); });
        frame.LifeCycle().SetEndProcessHandler([](ProgramLifeCycle::EndKind) {});
        // The first run's agreement and companion are not what is measured.
        ProgramLifeCycle::StartUpHooks hooks;
        hooks.version.agreement = [](QWidget*) { return true; };
        hooks.version.startCompanion = [](const QString&) {};
        frame.LifeCycle().SetStartUpHooks(hooks);
        frame.LifeCycle().StartUp();
        if (!frame.Browse()) state.SkipWithError("start-up failed");
        QCoreApplication::processEvents();
        frame.LifeCycle().QueryUnload(ProgramLifeCycle::Code);
        frame.LifeCycle().UnloadTick();
        frame.LifeCycle().UnloadTick();
    }
    modal::SetRunner({});
    msgbox::SetAnswerer({});
}
BENCHMARK(BM_FrameStartUp)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    benchsupport::Application app(argc, argv);
    return benchsupport::RunBenchmarks(argc, argv);
}
