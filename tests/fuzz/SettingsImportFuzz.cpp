// The settings-file import: what a file gets through the checks lands under the file's user and
// nowhere else (not in General beyond the user count, not in another user's keys).
#include <QSet>
#include <QTemporaryDir>

#include "core/Settings.h"
#include "core/SettingsRegistry.h"
#include "core/SettingsStore.h"
#include "Fuzz.h"
#include "users/SettingsFile.h"
#include "users/UserNames.h"

using namespace core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    static QString error;
    static const std::unique_ptr<SettingsStore> store =
        SettingsStore::Open(dir.filePath("settings.sqlite"), &error);
    const SettingsFile::ReadResult read = SettingsFile::ReadBytes(Bytes(data, size));
    if (read.problem != SettingsFile::Problem::None) return 0;
    const SettingsFile::ImportData& file = read.data;
    Check(UserNames::Usable(file.userName) && !file.storedPassword.trimmed().isEmpty());
    SettingsStore::SetCurrent(store.get());
    // Another user who must come out untouched, and a user count.
    SettingsRegistry::DeleteKeyTree("Bramblegate");
    SaveValue("General", "Users", "1");
    SaveValue("Users", "Keeper", "kept-record");
    SaveValue("Keeper", "Caption1", "kept");
    const bool newUser = !ValueExists("Users", file.userName);
    SettingsFile::Apply(file, newUser);
    QSet<QString> allowed{"general", "users", "keeper", file.userName.toCaseFolded()};
    for (const char* suffix : stored::kListKeySuffixes)
        allowed.insert((file.userName + suffix).toCaseFolded());
    Check(GetValue("Users", file.userName) == file.storedPassword);
    const SettingsStore::KeyId product = store->FindKey("Software\\Bramblegate");
    for (int i = 0; !store->SubKeyName(product, i).isNull(); ++i)
        Check(allowed.contains(store->SubKeyName(product, i).toCaseFolded()));
    QStringList names, values;
    EnumValues("Software\\Bramblegate\\General", names, values);
    Check(names == QStringList{"Users"} && values.first() == (newUser ? "2" : "1"));
    Check(!file.userName.compare("Keeper", Qt::CaseInsensitive) || GetValue("Keeper", "Caption1") == "kept");
    return 0;
}
