// Feeds arbitrary bytes to the settings-file import: reading must never crash, and whatever a
// file gets through the checks must land in the store exactly, under the file's user and nowhere
// else (not in General beyond the user count, not in another user's keys).
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>

#include "core/Settings.h"
#include "core/SettingsRegistry.h"
#include "core/SettingsStore.h"
#include "users/SettingsFile.h"
#include "users/UserNames.h"

using namespace core;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

struct Store {
    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
    Store() {
        QString error;
        store = SettingsStore::Open(dir.filePath(QStringLiteral("settings.sqlite")), &error);
        check(store != nullptr);
        SettingsStore::SetCurrent(store.get());
    }
};

// Another user who must come out untouched, and a user count.
void reset() {
    SettingsRegistry::DeleteKeyTree(QStringLiteral("Bramblegate"));
    SaveValue(QStringLiteral("General"), QStringLiteral("Users"), QStringLiteral("1"));
    SaveValue(QStringLiteral("Users"), QStringLiteral("Keeper"), QStringLiteral("kept-record"));
    SaveValue(QStringLiteral("Keeper"), QStringLiteral("Caption1"), QStringLiteral("kept"));
}

QStringList topLevelKeys() {
    SettingsStore* s = SettingsStore::Current();
    const SettingsStore::KeyId product = s->FindKey(QStringLiteral("Software\\Bramblegate"));
    QStringList keys;
    for (int i = 0;; ++i) {
        const QString name = s->SubKeyName(product, i);
        if (name.isNull()) break;
        keys << name.toCaseFolded();
    }
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Store store;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const SettingsFile::ReadResult read = SettingsFile::ReadBytes(bytes);
    if (read.problem != SettingsFile::Problem::None) return 0;

    const SettingsFile::ImportData& file = read.data;
    check(SettingsFile::VersionNumber(read.version) > 85);
    check(UserNames::Usable(file.userName));
    check(!file.storedPassword.trimmed().isEmpty());
    check(file.sections.size() == 5);

    reset();
    const bool newUser = !ValueExists(QStringLiteral("Users"), file.userName);
    SettingsFile::Apply(file, newUser);

    // Every entry reads back as the file has it; of two entries with one name the later wins.
    for (const SettingsFile::ImportSection& section : file.sections) {
        check(section.key.startsWith(file.userName));
        QHash<QString, QString> last;
        for (const IniFile::Entry& entry : section.entries) {
            check(!entry.name.isEmpty());
            last.insert(entry.name.toCaseFolded(), entry.value);
        }
        for (const IniFile::Entry& entry : section.entries)
            check(GetValue(section.key, entry.name) == last.value(entry.name.toCaseFolded()));
    }
    check(GetValue(QStringLiteral("Users"), file.userName) == file.storedPassword);

    // Nothing outside the user's keys but the count and the password record.
    QSet<QString> allowed{QStringLiteral("general"), QStringLiteral("users"), QStringLiteral("keeper"),
                          file.userName.toCaseFolded()};
    for (const char* suffix : stored::kListKeySuffixes)
        allowed.insert((file.userName + QLatin1String(suffix)).toCaseFolded());
    for (const QString& key : topLevelKeys())
        check(allowed.contains(key));
    QStringList names, values;
    EnumValues(QStringLiteral("Software\\Bramblegate\\General"), names, values);
    check(names == QStringList{QStringLiteral("Users")});
    check(values.first() == (newUser ? QStringLiteral("2") : QStringLiteral("1")));
    if (file.userName.compare(QLatin1String("Keeper"), Qt::CaseInsensitive) != 0)
        check(GetValue(QStringLiteral("Keeper"), QStringLiteral("Caption1")) == QStringLiteral("kept"));
    return 0;
}
