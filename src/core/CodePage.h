#pragma once

#include <QByteArray>
#include <QString>

// The 8-bit code page in which secrets are turned into bytes: Windows-1252, with its five
// unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) standing for the C1 controls of the same
// number, so that every byte value has exactly one character and round-trips.
namespace CodePage {

// The character of byte b.
QChar ToChar(unsigned char b);
// The byte of character c; false when c has no byte in the code page.
bool ToByte(QChar c, unsigned char* b);

// Text to bytes. Returns false (and leaves *bytes partial) when a character is outside the
// code page; *badChar then holds the first such character.
bool Encode(const QString& text, QByteArray* bytes, QChar* badChar = nullptr);
QString Decode(const QByteArray& bytes);
// Text to bytes as other programs read 8-bit formats: a character without a byte becomes "?".
QByteArray EncodeLossy(const QString& text);

// True when every character of text has a byte in the code page.
bool CanEncode(const QString& text);

} // namespace CodePage
