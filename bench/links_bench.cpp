// Loading and saving a user's Links over a real store file.
//
//   LoadLinks100            make the Links collection of a user with 100 Links (reads the store)
//   LoadLinks100AndSecrets  the same, then read every Link's address, user name and password
//   SaveLinks100            SaveLinks(true) of 100 Links: one transaction
//   WriteValues100Singly    the same 1001 values written one by one, each its own commit
//
// The ratio of the last two is the price of saving without a transaction.

#include <benchmark/benchmark.h>
#include <memory>

#include "BenchSupport.h"
#include "core/AppState.h"
#include "core/PasswordChange.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/Links.h"

namespace {

const QString kUser = QStringLiteral("bench");
constexpr int kLinks = 100;

// A store in a temp folder with one user and 100 Links.
struct BenchStore {
    benchsupport::TempStore store;

    BenchStore() {
        App().CurrentUser = kUser;
        core::SaveUserPassword(QStringLiteral("Users"), kUser, QStringLiteral("benchpw1"), QString());
        Links links(kUser);
        for (int i = 0; i < kLinks; ++i)
            links.Add(QStringLiteral("Site %1").arg(i),
                      SecretCipher::EncryptMessage(QStringLiteral("https://site%1.example/login").arg(i)),
                      SecretCipher::EncryptMessage(QStringLiteral("user%1@example.com").arg(i)),
                      SecretCipher::EncryptMessage(QStringLiteral("pw-%1-secret").arg(i)), QString(),
                      QStringLiteral("Accounts"), i % 3 == 0, true);
    }
    ~BenchStore() { App().ClearUser(); }
};

void LoadLinks100(benchmark::State& state) {
    BenchStore bench;
    for (auto _ : state) {
        Links links(kUser);
        benchmark::DoNotOptimize(links.Count());
    }
}
BENCHMARK(LoadLinks100)->Unit(benchmark::kMillisecond);

void LoadLinks100AndSecrets(benchmark::State& state) {
    BenchStore bench;
    for (auto _ : state) {
        Links links(kUser);
        qsizetype total = 0;
        for (Link* link : links)
            total += link->URL().size() + link->UserName().size() + link->Password().size();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(LoadLinks100AndSecrets)->Unit(benchmark::kMillisecond);

void SaveLinks100(benchmark::State& state) {
    BenchStore bench;
    Links links(kUser);
    for (auto _ : state)
        links.SaveLinks(true);
}
BENCHMARK(SaveLinks100)->Unit(benchmark::kMillisecond);

void WriteValues100Singly(benchmark::State& state) {
    using core::BoolText;
    using core::SaveValue;
    BenchStore bench;
    Links links(kUser);
    for (auto _ : state) {
        SaveValue(kUser, QStringLiteral("Items"), QString::number(links.CountUndeleted()));
        for (Link* link : links) {
            const QString n = QString::number(link->Index());
            SaveValue(kUser, QStringLiteral("Caption") + n, link->Caption());
            SaveValue(kUser, QStringLiteral("SelectOption") + n, link->SelectOption());
            SaveValue(kUser, QStringLiteral("NavigateAfterLogin") + n, link->NavigateAfterLogin());
            SaveValue(kUser, QStringLiteral("URL") + n, link->URLEnc());
            SaveValue(kUser, QStringLiteral("UserName") + n, link->UserNameEnc());
            SaveValue(kUser, QStringLiteral("PW") + n, link->PasswordEnc());
            SaveValue(kUser, QStringLiteral("AutoNavigate") + n, BoolText(link->AutoNavigate()));
            SaveValue(kUser, QStringLiteral("ReqLogin") + n, BoolText(link->ReqLogin()));
            SaveValue(kUser, QStringLiteral("ControlOrder") + n, QString::number(link->ControlOrder()));
            SaveValue(kUser, QStringLiteral("HidePopUps") + n, BoolText(link->HidePopUps()));
        }
    }
}
BENCHMARK(WriteValues100Singly)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
