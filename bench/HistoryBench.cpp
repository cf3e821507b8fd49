// The address box's matching and the master history at their usual sizes: 200 known addresses
// (the largest address list the options allow), 200 stored history entries, on a real store in
// a temp folder.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>

#include "BenchSupport.h"
#include "browse/AddressBox.h"
#include "browse/AddressList.h"
#include "browse/MasterHistory.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "frame/MasterHistoryMenu.h"
#include "users/UserOptions.h"

namespace {

constexpr int kEntries = 200;

QString Address(int i) {
    static const char* const hosts[] = {"www.example", "news.site", "mail.host", "yahoo", "shop.store"};
    return QStringLiteral("http://%1%2.com/page/%3").arg(QLatin1String(hosts[i % 5])).arg(i).arg(i * 7);
}

// A logged-in user on a store in a temp folder, MaxHistoryItems 201 so that 200 addresses fit.
class BenchUser {
public:
    BenchUser() {
        App().CurrentUser = QStringLiteral("Bench");
        m_options = std::make_unique<UserOptions>(App().CurrentUser);
        m_options->SetMaxHistoryItems(kEntries + 1);
        App().Options = m_options.get();
    }
    ~BenchUser() { App().Options = nullptr; }

private:
    benchsupport::TempStore m_store;
    std::unique_ptr<UserOptions> m_options;
};

AddressList KnownAddresses() {
    AddressList list;
    for (int i = 0; i < kEntries; ++i)
        list.AddUrlItem(Address(i), kEntries + 1);
    return list;
}

// The lookup behind every typed character: a bare word (prefix and www. retry), a scheme
// fragment that matches every address, and a miss.
void MatchTypedAddress(benchmark::State& state) {
    const AddressList list = KnownAddresses();
    const QString typed[] = {QStringLiteral("ya"), QStringLiteral("ht"), QStringLiteral("mail.h"),
                             QStringLiteral("nothing")};
    size_t matched = 0;
    int i = 0;
    for (auto _ : state) {
        const QStringList matches = list.MatchTypedAddress(typed[i++ % 4]);
        matched += size_t(matches.size());
        benchmark::DoNotOptimize(matches);
    }
    state.counters["matches_per_call"] = double(matched) / double(state.iterations());
}
BENCHMARK(MatchTypedAddress)->Unit(benchmark::kMicrosecond);

// The same through the widget: one key press in the box with 200 known addresses, up to the
// match list laid out under it.
void TypeIntoAddressBox(benchmark::State& state) {
    BenchUser user;
    QWidget window;
    auto* box = new AddressBox(&window);
    box->setGeometry(0, 0, 500, 24);
    for (int i = 0; i < kEntries; ++i)
        box->AddUrlItem(Address(i));
    window.resize(600, 400);
    window.show();
    for (auto _ : state) {
        box->lineEdit()->clear();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_H, Qt::NoModifier, QStringLiteral("h"));
        QCoreApplication::sendEvent(box->lineEdit(), &press);
        benchmark::DoNotOptimize(box->MatchList()->count());
    }
    state.counters["matches"] = box->MatchList()->count();
}
BENCHMARK(TypeIntoAddressBox)->Unit(benchmark::kMicrosecond);

// Login: 200 stored entries read and the "History" menu filled.
void LoadMasterHistory200(benchmark::State& state) {
    BenchUser user;
    {
        StoreTransaction transaction;
        for (int i = 0; i < kEntries; ++i)
            core::SaveValue(QStringLiteral("BenchHistory"), QStringLiteral("Page %1 - Title").arg(i),
                            Address(i));
        transaction.Commit();
    }
    MasterHistory history;
    QMenu menu;
    MasterHistoryMenu historyMenu(history, &menu);
    for (auto _ : state) {
        history.RefreshMasterHisList();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (history.Count() != kEntries || menu.actions().size() != kEntries) std::abort();
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(LoadMasterHistory200)->Unit(benchmark::kMillisecond);

// One visited page recorded into a full history (the oldest entry goes, the new one is stored:
// one transaction).
void AddToFullMasterHistory(benchmark::State& state) {
    BenchUser user;
    MasterHistory history;
    for (int i = 0; i <= kEntries; ++i)
        history.AddMasterHisListItem(QStringLiteral("Page %1").arg(i), Address(i));
    int i = kEntries + 1;
    for (auto _ : state) {
        history.AddMasterHisListItem(QStringLiteral("Page %1").arg(i), Address(i));
        ++i;
    }
    if (history.Count() != kEntries + 1) std::abort();
}
BENCHMARK(AddToFullMasterHistory)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    benchsupport::Application app(argc, argv);
    return benchsupport::RunBenchmarks(argc, argv);
}
