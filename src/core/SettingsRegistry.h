#pragma once

#include <QString>
#include <QVariant>

// The store's primitive operations. Paths are relative to the user's hive; each primitive
// puts "Software\" in front itself. All return a status code (0 = success) unless noted.
namespace SettingsRegistry {

using HKEY = qint64;

// Status codes, as the primitives report them.
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;

// Value kinds.
constexpr int REG_SZ = 1;
constexpr int REG_EXPAND_SZ = 2;
constexpr int REG_BINARY = 3;
constexpr int REG_DWORD = 4;

// Opens "Software\" + path, creating the key when it is missing.
long OpenKey(const QString& path, HKEY* key);
long CloseKey(HKEY key);
// Writes a value into key + "\" + subkey. Kind 1: text (with its terminating NUL); kind 4: a
// 32-bit integer. Other kinds write nothing.
long SetKeyValue(const QString& key, const QString& subkey, const QString& valueName, const QVariant& value,
                 int kind);
// Reads a value of key + "\" + subkey: text for REG_SZ (an empty text gives the default), a
// 16-bit integer for REG_BINARY, an empty value for other kinds, the default when missing.
QVariant GetKeyValue(const QString& key, const QString& subkey, const QString& valueName,
                     const QVariant& defaultValue);
// The name of the index-th subkey of "Software\" + path.
long EnumKey(const QString& path, int index, QString* name, int* nameLength);
// Deletes "Software\" + path with everything below it.
long DeleteKeyTree(const QString& path);
// Deletes one value of key + "\" + subkey, or, with an empty name, the whole key.
long DeleteKeyValue(const QString& key, const QString& subkey, const QString& valueName);

} // namespace SettingsRegistry
