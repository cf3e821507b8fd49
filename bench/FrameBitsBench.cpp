// The links strip and the options dialog at the sizes a heavy user reaches: 100 shortcuts in the
// Links folder with their stored order, and 100 Links in the options dialog's list, on a real
// store in a temp folder.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <QApplication>
#include <QDir>
#include <QListWidget>

#include "BenchSupport.h"
#include "browse/FavoritesReader.h"
#include "core/AppState.h"
#include "core/SecretCipher.h"
#include "frame/OptionsDialog.h"
#include "frame/ShortcutsBar.h"
#include "links/Links.h"
#include "users/UserOptions.h"

namespace {

constexpr int kItems = 100;

class BenchUser {
public:
    BenchUser() {
        App().CurrentUser = QStringLiteral("Bench");
        App().PassPhrase = QStringLiteral("bench pass phrase");
        m_options = std::make_unique<UserOptions>(App().CurrentUser);
        App().Options = m_options.get();
    }
    ~BenchUser() { App().Options = nullptr; }
    QString folder() const { return m_store.filePath(QStringLiteral("Links")); }

private:
    benchsupport::TempStore m_store;
    std::unique_ptr<UserOptions> m_options;
};

// A Links folder of 100 shortcuts, and the strip showing it.
void FillLinksFolder(const BenchUser& user, ShortcutsBar& bar) {
    QDir().mkpath(user.folder());
    for (int i = 0; i < kItems; ++i)
        FavoritesReader::WriteShortcut(user.folder() + QStringLiteral("/Site %1.url").arg(i),
                                       QStringLiteral("https://site%1.example/").arg(i));
    bar.SetFolder(user.folder());
    bar.Load();
}

// Start-up: 100 shortcuts read, ordered as stored, and their buttons made.
void LoadLinksStrip100(benchmark::State& state) {
    BenchUser user;
    ShortcutsBar bar;
    FillLinksFolder(user, bar);
    bar.MoveLink(kItems - 1, 0); // a stored order that is not the folder's
    for (auto _ : state) {
        bar.Load();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (bar.Count() != kItems) std::abort();
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(LoadLinksStrip100)->Unit(benchmark::kMillisecond);

// A change of the order: the key deleted and written again whole, in one transaction.
void MoveOnLinksStrip100(benchmark::State& state) {
    BenchUser user;
    ShortcutsBar bar;
    FillLinksFolder(user, bar);
    for (auto _ : state) {
        bar.MoveLink(kItems - 1, 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(MoveOnLinksStrip100)->Unit(benchmark::kMillisecond);

// The options dialog with 100 Links: opening it, and Apply with every Link's pop-up value
// (after a removal, so the stored numbers differ from the Indexes).
void OptionsDialogApply100(benchmark::State& state) {
    BenchUser user;
    Links links(App().CurrentUser);
    for (int i = 0; i <= kItems; ++i)
        links.Add(QStringLiteral("Link %1").arg(i),
                  SecretCipher::EncryptMessage(QStringLiteral("https://l%1.example/").arg(i)), QString(),
                  QString(), QString(), QString(), false, false);
    links.Remove(1);
    bool checked = false;
    for (auto _ : state) {
        OptionsDialog dialog(&links);
        checked = !checked;
        checked ? dialog.OnCheckAllClicked() : dialog.OnClearAllClicked();
        if (!dialog.OnApplyClicked()) std::abort();
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(OptionsDialogApply100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchsupport::Application app(argc, argv);
    return benchsupport::RunBenchmarks(argc, argv);
}
