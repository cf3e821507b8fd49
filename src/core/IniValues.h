#pragma once

#include <QString>
#include <QStringList>

// Values in initialisation files (the settings export), on top of IniFile.
namespace core {

// Error number of a failed INI write (the description says why).
constexpr long kErrIniWrite = 75;

// Writes one entry, creating the file's folder when it is missing. Throws BgError
// (kErrIniWrite, or SecretCipher::kErrNotEncodable for text the file cannot hold) on failure.
void WriteValueINI(const QString& file, const QString& section, const QString& name, const QString& value);
// One entry's value, or `def` when it (or the file) is missing or the file cannot be read.
QString GetValueINI(const QString& file, const QString& section, const QString& name,
                    const QString& def = QString());

} // namespace core
