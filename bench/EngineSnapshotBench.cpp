// Page snapshot of pages served by the local test sites (a plain login page, and generated
// pages of 1,000 and 65,000 elements, argument 0 being the login page): the time in the page
// script, the transfer of its result to the program, and the C++ model build, reported
// separately and against the snapshot script kept in baseline/ as it was before its reduction.
//   EngineSnapshotBench [--benchmark_filter=...]
#include <algorithm>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <set>

#include "BenchSupport.h"
#include "browse/engine/ControlWords.h"
#include "browse/engine/WebEnginePane.h"
#include "sites/TestSites.h"

namespace {

sites::TestSites& Sites() {
    static sites::TestSites sites;
    return sites;
}

// One pane per page size, loaded once (and closed before the application ends).
std::map<int, std::unique_ptr<WebEnginePane>> g_panes;

WebEnginePane* PaneWith(int elements) {
    auto& pane = g_panes[elements];
    if (!pane) {
        pane = std::make_unique<WebEnginePane>(QStringLiteral("bench"));
        bool complete = false;
        QObject::connect(pane.get(), &BrowserPane::DocumentComplete, [&](const QString&, bool top) {
            if (top) complete = true;
        });
        pane->Navigate2(Sites().Url(elements ? QStringLiteral("/generated?n=%1").arg(elements)
                                             : QStringLiteral("/login")));
        benchsupport::Pump([&] { return complete; });
        QObject::disconnect(pane.get(), &BrowserPane::DocumentComplete, nullptr, nullptr);
    }
    return pane.get();
}

// One snapshot's parts, in milliseconds.
struct Parts {
    double script = 0, transfer = 0, build = 0;
    qint64 bytes = 0;
    int elements = 0;
    double total() const { return script + transfer + build; }
};

// The program's snapshot, as a Link's pane takes it.
bool Current(WebEnginePane* pane, Parts& out) {
    DocumentPtr doc;
    bool done = false;
    pane->RefreshDocument([&](DocumentPtr d) {
        doc = d;
        done = true;
    });
    benchsupport::Pump([&] { return done; });
    if (!doc) return false;
    const WebEnginePane::SnapshotStats& s = pane->LastSnapshotStats();
    out = {s.scriptMs, s.roundTripMs - s.scriptMs, s.buildMs, s.bytes, s.elements};
    return true;
}

// The baseline script, put into the page's program world once and then called the way the
// program calls its own, its text built into the same model.
bool Baseline(WebEnginePane* pane, Parts& out) {
    static std::set<WebEnginePane*> installed;
    static int generation = 900000;
    if (!installed.count(pane)) {
        QFile file(QStringLiteral(":/baseline/PageSnapshotBaseline.js"));
        if (!file.open(QIODevice::ReadOnly)) return false;
        const QString pattern = QString::fromUtf8(
            QJsonDocument(QJsonArray{ControlWords::Pattern()}).toJson(QJsonDocument::Compact));
        const QString install = QStringLiteral("window.__bgBaseline = function (gen) { return (") +
                                QString::fromUtf8(file.readAll()).trimmed() + QStringLiteral(")(gen, ") +
                                pattern.mid(1, pattern.size() - 2) + QStringLiteral("); }; 1");
        bool done = false;
        pane->Page()->runJavaScript(install, QWebEngineScript::ApplicationWorld,
                                    [&](const QVariant&) { done = true; });
        benchsupport::Pump([&] { return done; });
        installed.insert(pane);
    }
    QString text;
    bool done = false;
    QElapsedTimer clock;
    clock.start();
    pane->Page()->runJavaScript(QStringLiteral("window.__bgBaseline(%1)").arg(++generation),
                                QWebEngineScript::ApplicationWorld, [&](const QVariant& v) {
                                    text = v.toString();
                                    done = true;
                                });
    benchsupport::Pump([&] { return done; });
    const double roundTrip = double(clock.nsecsElapsed()) / 1e6;
    const qsizetype newline = text.indexOf(QLatin1Char('\n'));
    if (!text.startsWith(QLatin1String("BGSNAP ")) || newline < 0) return false;
    QElapsedTimer build;
    build.start();
    std::shared_ptr<PageModel> model = PageModel::FromJson(QStringView(text).mid(newline + 1));
    benchmark::DoNotOptimize(model);
    const double script = text.left(newline).split(QLatin1Char(' ')).value(2).toDouble();
    out = {script, roundTrip - script, double(build.nsecsElapsed()) / 1e6, text.size() - newline - 1,
           model ? model->elementCount() : 0};
    return model != nullptr;
}

void Add(Parts& total, Parts& lowest, const Parts& one) {
    total.script += one.script;
    total.transfer += one.transfer;
    total.build += one.build;
    lowest.script = std::min(lowest.script, one.script);
    lowest.transfer = std::min(lowest.transfer, one.transfer);
    lowest.build = std::min(lowest.build, one.build);
}

// The baseline snapshots of the page are taken first, as many as the program's that follow
// (not in turn with them: the garbage of a baseline snapshot would be collected in the
// program's next one). The iteration time is the program's. Counters: the mean parts of each,
// their minimums (the machine is shared, and the least disturbed run says most), and
// program / baseline ratios.
void BM_Snapshot(benchmark::State& state) {
    WebEnginePane* pane = PaneWith(int(state.range(0)));
    Parts sum, base, min{1e9, 1e9, 1e9}, baseMin{1e9, 1e9, 1e9};
    Parts last, lastBase;
    for (benchmark::IterationCount k = 0; k < state.max_iterations; ++k) {
        if (!Baseline(pane, lastBase)) {
            state.SkipWithError("no baseline snapshot");
            return;
        }
        Add(base, baseMin, lastBase);
    }
    for (auto _ : state) {
        if (!Current(pane, last)) {
            state.SkipWithError("no snapshot");
            break;
        }
        Add(sum, min, last);
        state.SetIterationTime(last.total() / 1000.0);
    }
    const double n = double(state.iterations());
    const double nb = double(state.max_iterations);
    state.counters["script_ms"] = sum.script / n;
    state.counters["transfer_ms"] = sum.transfer / n;
    state.counters["build_ms"] = sum.build / n;
    state.counters["script_min"] = min.script;
    state.counters["transfer_min"] = min.transfer;
    state.counters["build_min"] = min.build;
    state.counters["json_MB"] = double(last.bytes) / 1e6;
    state.counters["model_elements"] = last.elements;
    state.counters["base_script_ms"] = base.script / nb;
    state.counters["base_transfer_ms"] = base.transfer / nb;
    state.counters["base_build_ms"] = base.build / nb;
    state.counters["base_json_MB"] = double(lastBase.bytes) / 1e6;
    state.counters["base_model_elements"] = lastBase.elements;
    state.counters["ratio_script"] = (sum.script / n) / (base.script / nb);
    state.counters["ratio_transfer"] = (sum.transfer / n) / (base.transfer / nb);
    state.counters["ratio_build"] = (sum.build / n) / (base.build / nb);
    state.counters["ratio_total"] = (sum.total() / n) / (base.total() / nb);
    state.counters["ratio_total_min"] = min.total() / baseMin.total();
}
BENCHMARK(BM_Snapshot)
    ->Arg(0)
    ->Arg(1000)
    ->Arg(65000)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The C++ model build alone, from the snapshot text of the same page.
void BM_ModelFromJson(benchmark::State& state) {
    WebEnginePane* pane = PaneWith(int(state.range(0)));
    static std::map<int, QByteArray> json;
    QByteArray& text = json[int(state.range(0))];
    if (text.isEmpty()) {
        QFile file(QStringLiteral(":/engine/PageSnapshot.js"));
        file.open(QIODevice::ReadOnly);
        bool done = false;
        pane->Page()->runJavaScript(QString::fromUtf8(file.readAll()).trimmed() + QStringLiteral("(999999)"),
                                    QWebEngineScript::ApplicationWorld, [&](const QVariant& v) {
                                        const QString s = v.toString();
                                        text = s.mid(s.indexOf(QLatin1Char('\n')) + 1).toUtf8();
                                        done = true;
                                    });
        benchsupport::Pump([&] { return done; });
    }
    for (auto _ : state) {
        auto model = PageModel::FromJson(text);
        benchmark::DoNotOptimize(model);
    }
    state.counters["json_MB"] = double(text.size()) / 1e6;
}
BENCHMARK(BM_ModelFromJson)->Arg(65000)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchsupport::Application app(argc, argv);
    const int rc = benchsupport::RunBenchmarks(argc, argv);
    g_panes.clear(); // the panes go before the application
    return rc;
}
