// Page snapshot of pages served by the local test sites (a plain login page, and generated
// pages of 1,000 and 65,000 elements, argument 0 being the login page): the time in the page
// script, the transfer of its result to the program, and the C++ model build, reported
// separately.
//   EngineSnapshotBench [--benchmark_filter=...]
#include <algorithm>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <QFile>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include "BenchSupport.h"
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

void BM_Snapshot(benchmark::State& state) {
    WebEnginePane* pane = PaneWith(int(state.range(0)));
    double script = 0, transfer = 0, build = 0;
    // Minimums too: the machine is shared, and the least disturbed run says most.
    double scriptMin = 1e9, transferMin = 1e9, buildMin = 1e9;
    qint64 bytes = 0;
    int modelElements = 0;
    for (auto _ : state) {
        DocumentPtr doc;
        bool done = false;
        pane->RefreshDocument([&](DocumentPtr d) {
            doc = d;
            done = true;
        });
        benchsupport::Pump([&] { return done; });
        if (!doc) {
            state.SkipWithError("no snapshot");
            break;
        }
        const WebEnginePane::SnapshotStats& s = pane->LastSnapshotStats();
        script += s.scriptMs;
        transfer += s.roundTripMs - s.scriptMs;
        build += s.buildMs;
        scriptMin = std::min(scriptMin, s.scriptMs);
        transferMin = std::min(transferMin, s.roundTripMs - s.scriptMs);
        buildMin = std::min(buildMin, s.buildMs);
        bytes = s.bytes;
        modelElements = s.elements;
        state.SetIterationTime((s.roundTripMs + s.buildMs) / 1000.0);
    }
    const double n = double(state.iterations());
    state.counters["script_ms"] = script / n;
    state.counters["transfer_ms"] = transfer / n;
    state.counters["build_ms"] = build / n;
    state.counters["script_min"] = scriptMin;
    state.counters["transfer_min"] = transferMin;
    state.counters["build_min"] = buildMin;
    state.counters["json_MB"] = double(bytes) / 1e6;
    state.counters["model_elements"] = modelElements;
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
        pane->page()->runJavaScript(QString::fromUtf8(file.readAll()).trimmed() + QStringLiteral("(999999)"),
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
