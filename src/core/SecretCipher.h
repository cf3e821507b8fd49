#pragma once

#include <functional>
#include <QByteArray>
#include <QString>

// Stored secrets: RC4 keyed from the MD5 digest of a pass phrase (the first five digest bytes
// and eleven zero bytes), written in a printable form in which cipher bytes below 32 appear as
// "<CHR" + number + ">". An empty pass phrase argument stands for the current pass phrase.
namespace SecretCipher {

// Error number of a text that the 8-bit code page cannot hold.
constexpr long kErrNotEncodable = 1001;

// The key material of one call: derived, used and wiped within that call.
struct CryptKey {
    QByteArray key; // 16 bytes fed to the RC4 key schedule
    ~CryptKey() { key.fill('\0'); }
};

QString EncryptMessage(const QString& text, const QString& passPhrase = QString());
QString DecryptMessage(const QString& text, const QString& passPhrase = QString());
bool Initialize(CryptKey& key, const QString& passPhrase);

void EscapeControlChars(QString& text);
void UnescapeControlChars(QString& text);

// Throws a BgError (kErrNotEncodable) with a message a user can act on when text holds a
// character outside the 8-bit code page.
void RequireEncodable(const QString& text, const QString& what = QString());

// Re-encrypts the logged-in user's stored secrets from oldPassPhrase to the current pass
// phrase, and works out the same for the in-memory Links through the installed hook. Returns
// what puts the in-memory half into effect: the caller runs it once the store has committed, so
// that a failed save leaves the Links as the store still has them.
std::function<void()> ReEncryptUserData(const QString& oldPassPhrase);
// The Links collections of the logged-in user register here: given the old pass phrase, the hook
// works out the re-encrypted secrets (changing nothing yet) and returns what applies them.
using InMemoryReEncryptor = std::function<std::function<void()>(const QString& oldPassPhrase)>;
void SetInMemoryReEncryptor(InMemoryReEncryptor hook);

// The raw cipher, for tests and the export: RC4 of bytes under the pass phrase's key.
QByteArray Crypt(const QByteArray& bytes, const QString& passPhrase);

} // namespace SecretCipher
