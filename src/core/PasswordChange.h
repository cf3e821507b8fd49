#pragma once

#include <functional>
#include <QString>

// Changing a user's master password touches the settings and the cipher at once: it lives apart
// from both so that neither needs the other's header.
namespace core {

// Makes newPassword the current pass phrase, stores it encrypted with itself as the value
// named after the user in `subkey` ("Users"), and, when oldPassword is not empty, re-encrypts
// the user's secrets, stored and in memory. All of it in one store transaction: when the store
// refuses it (the reason is then SettingsStore::failureText()), the result is false and the pass
// phrase and the Links in memory stay as the store still has them. Throws BgError when a
// secret cannot be re-encrypted (nothing changes then either).
bool SaveUserPassword(const QString& subkey, const QString& user, const QString& newPassword,
                      const QString& oldPassword);

} // namespace core

namespace SecretCipher {

// Re-encrypts the logged-in user's stored secrets from oldPassPhrase to the current pass
// phrase, and works out the same for the in-memory Links through the installed hook. Returns
// what puts the in-memory half into effect: the caller runs it once the store has committed, so
// that a failed save leaves the Links as the store still has them.
std::function<void()> ReEncryptUserData(const QString& oldPassPhrase);
// The Links collections of the logged-in user register here: given the old pass phrase, the hook
// works out the re-encrypted secrets (changing nothing yet) and returns what applies them.
using InMemoryReEncryptor = std::function<std::function<void()>(const QString& oldPassPhrase)>;
void SetInMemoryReEncryptor(InMemoryReEncryptor hook);

} // namespace SecretCipher
