#pragma once

// Shared by the benchmarks: an offscreen application with private folders, an event pump, a
// settings store in a temp folder, and the memory of this process and the engine's processes.
#include <functional>
#include <memory>
#include <QApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class SettingsStore;

namespace benchsupport {

// The application of a benchmark program, offscreen, with its data, cache and settings in a
// private temp folder. Made first in main(); with program pages, the program's own URL scheme
// is registered before the application (the engine wants it so).
class Application {
public:
    enum class Pages { None, Program };
    Application(int& argc, char** argv, Pages pages = Pages::None);
    ~Application();
    QString home() const { return m_home.path(); }

private:
    QTemporaryDir m_home;
    std::unique_ptr<QApplication> m_app;
};

// Runs the Google Benchmark cases named on the command line (all by default).
int RunBenchmarks(int& argc, char** argv);

// Turns the event loop until done() holds; false when timeoutMs passed first.
bool Pump(const std::function<bool()>& done, int timeoutMs = 60000);

// A settings store in a temp folder, current for the scope. A store that cannot be opened ends
// the program: no figure would mean anything.
class TempStore {
public:
    TempStore();
    ~TempStore();
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_store;
};

// Memory of this process and every process below it (the engine's zygote and renderers), as
// PSS from /proc/<pid>/smaps_rollup, after `settleMs` of events for the engine to settle (late
// frames, garbage collection).
struct TreeMemory {
    int processes = 0;
    qint64 ownKb = 0;   // this process
    qint64 totalKb = 0; // the whole tree
};
TreeMemory SettleAndMeasure(int settleMs = 3000);

// Runs this program again with `argument` (each run a fresh process) and gives the fields of the
// last line it printed (fewer than expected when the run failed).
QStringList RunChild(const QString& argument);

} // namespace benchsupport
