#pragma once

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

} // namespace SecretCipher
