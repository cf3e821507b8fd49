// The settings store under load: a real store file in a temp folder, 5,000 values in one key
// (about what a user with many Links, a long history and bookmarks has).
#include <benchmark/benchmark.h>
#include <memory>

#include "BenchSupport.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"

namespace {

constexpr int kValues = 5000;
const QString kKey = QStringLiteral("bench");

class BenchStore {
public:
    void Fill(int count) {
        StoreTransaction transaction;
        for (int i = 0; i < count; ++i)
            core::SaveValue(kKey, Name(i), Text(i));
        transaction.Commit();
    }
    static QString Name(int i) { return QStringLiteral("Value%1").arg(i); }
    static QString Text(int i) {
        return QStringLiteral("http://www.example%1.com/some/path?with=query").arg(i);
    }

private:
    benchsupport::TempStore m_store;
};

// One value overwritten, committed on its own (as a single SaveValue outside a transaction is).
void SaveValue(benchmark::State& state) {
    BenchStore s;
    s.Fill(kValues);
    int i = 0;
    for (auto _ : state) {
        core::SaveValue(kKey, BenchStore::Name(i % kValues), BenchStore::Text(i));
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}

void GetValue(benchmark::State& state) {
    BenchStore s;
    s.Fill(kValues);
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(core::GetValue(kKey, BenchStore::Name(i % kValues)));
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}

// All 5,000 values of the key, in creation order.
void EnumValues(benchmark::State& state) {
    BenchStore s;
    s.Fill(kValues);
    const QString path = QStringLiteral("Software\\") + core::AppKeyName() + QLatin1Char('\\') + kKey;
    for (auto _ : state) {
        QStringList names, values;
        const int count = core::EnumValues(path, names, values);
        if (count != kValues) state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(values);
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

// 1,000 writes in one transaction (saving all Links, an import) ...
void Writes1000InOneTransaction(benchmark::State& state) {
    BenchStore s;
    for (auto _ : state) {
        StoreTransaction transaction;
        for (int i = 0; i < 1000; ++i)
            core::SaveValue(kKey, BenchStore::Name(i), BenchStore::Text(i));
        transaction.Commit();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}

// ... against the same 1,000 writes, each committed on its own.
void Writes1000SeparateCommits(benchmark::State& state) {
    BenchStore s;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i)
            core::SaveValue(kKey, BenchStore::Name(i), BenchStore::Text(i));
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}

} // namespace

BENCHMARK(SaveValue);
BENCHMARK(GetValue);
BENCHMARK(EnumValues)->Unit(benchmark::kMillisecond);
BENCHMARK(Writes1000InOneTransaction)->Unit(benchmark::kMillisecond);
BENCHMARK(Writes1000SeparateCommits)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
