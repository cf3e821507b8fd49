#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMultiHash>
#include <QProcess>
#include <QThread>

#include "browse/engine/ProgramPages.h"
#include "core/SettingsStore.h"

namespace benchsupport {
namespace {

void PrepareEnvironment(const QTemporaryDir& home) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

qint64 PssKb(int pid) {
    QFile file(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith("Pss:")) return line.mid(4).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// `root` and every process below it, root first.
QList<int> ProcessTree(int root) {
    QMultiHash<int, int> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const int pid = entry.toInt(&ok);
        if (!ok) continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        children.insert(fields.value(1).toInt(), pid);
    }
    QList<int> out{root};
    for (int i = 0; i < out.size(); ++i)
        out += children.values(out[i]);
    return out;
}

} // namespace

Application::Application(int& argc, char** argv, Pages pages) {
    PrepareEnvironment(m_home);
    if (pages == Pages::Program) ProgramPages::RegisterScheme();
    m_app = std::make_unique<QApplication>(argc, argv);
}

Application::~Application() = default;

int RunBenchmarks(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

bool Pump(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::usleep(200);
    }
    return true;
}

TempStore::TempStore() {
    QString error;
    m_store = SettingsStore::Open(m_dir.filePath(QStringLiteral("settings.sqlite")), &error);
    if (!m_store) {
        fprintf(stderr, "%s\n", qPrintable(error));
        std::abort();
    }
    SettingsStore::SetCurrent(m_store.get());
}

TempStore::~TempStore() {
    SettingsStore::SetCurrent(nullptr);
}

TreeMemory SettleAndMeasure(int settleMs) {
    Pump([] { return false; }, settleMs);
    const QList<int> tree = ProcessTree(int(QCoreApplication::applicationPid()));
    TreeMemory memory;
    memory.processes = int(tree.size());
    memory.ownKb = PssKb(tree.first());
    for (int pid : tree)
        memory.totalKb += PssKb(pid);
    return memory;
}

QStringList RunChild(const QString& argument) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {argument});
    child.waitForFinished(300000);
    return QString::fromLocal8Bit(child.readAllStandardOutput())
        .trimmed()
        .split(QLatin1Char('\n'))
        .last()
        .split(QLatin1Char(' '));
}

} // namespace benchsupport
