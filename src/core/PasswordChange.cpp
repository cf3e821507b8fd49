#include "core/PasswordChange.h"

#include "core/AppState.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"

namespace SecretCipher {
namespace {

InMemoryReEncryptor g_reEncryptor;

} // namespace

std::function<void()> ReEncryptUserData(const QString& oldPassPhrase) {
    const QString user = App().CurrentUser;
    QStringList names, values;
    core::EnumValues(QStringLiteral("Software\\") + core::AppKeyName() + QLatin1Char('\\') + user, names,
                     values, -1);
    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names[i];
        if (values[i].isEmpty()) continue;
        const bool secret = name.startsWith(QLatin1String("PW"), Qt::CaseInsensitive) ||
                            (name.startsWith(QLatin1String("url"), Qt::CaseInsensitive) &&
                             name.compare(QLatin1String("Urls"), Qt::CaseInsensitive) != 0) ||
                            name.startsWith(QLatin1String("UserName"), Qt::CaseInsensitive) ||
                            name == QLatin1String("SSN");
        if (!secret) continue;
        // EnumValues trims; the stored text is read whole again so nothing is lost.
        const QString stored = core::GetValue(user, name);
        core::SaveValue(user, name, EncryptMessage(DecryptMessage(stored, oldPassPhrase)));
    }
    return g_reEncryptor ? g_reEncryptor(oldPassPhrase) : std::function<void()>();
}

void SetInMemoryReEncryptor(InMemoryReEncryptor hook) {
    g_reEncryptor = std::move(hook);
}

} // namespace SecretCipher

namespace core {

bool SaveUserPassword(const QString& subkey, const QString& user, const QString& newPassword,
                      const QString& oldPassword) {
    // Checked before anything changes: a password the cipher cannot take faithfully is refused.
    SecretCipher::RequireEncodable(newPassword);
    const QString previous = App().PassPhrase;
    std::function<void()> inMemory;
    bool committed = false;
    try {
        StoreTransaction transaction;
        App().PassPhrase = newPassword;
        SaveValue(subkey, user, SecretCipher::EncryptMessage(newPassword, newPassword));
        if (!oldPassword.isEmpty()) inMemory = SecretCipher::ReEncryptUserData(oldPassword);
        committed = transaction.Commit();
    } catch (...) {
        App().PassPhrase = previous;
        throw;
    }
    if (!committed) {
        // The store keeps the old password: so must everything in memory, or the secrets saved
        // later would be unreadable after a restart.
        App().PassPhrase = previous;
        return false;
    }
    if (inMemory) inMemory();
    return true;
}

} // namespace core
