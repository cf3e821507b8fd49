#pragma once

#include <QString>
#include <QStringList>

#include "core/StoredNames.h"

// The typed settings layer every part of the program uses. All values are text below the
// product key; numbers are decimal text and Booleans "True"/"False".
namespace core {

// The product key name, the first component of every path of this layer.
QString AppKeyName();

// A default for GetValue: text, number or Boolean, converted to text.
struct DefaultValue {
    QString text;
    DefaultValue() = default;
    DefaultValue(const QString& t) : text(t) {}
    DefaultValue(const char* t) : text(QString::fromUtf8(t)) {}
    DefaultValue(int n) : text(QString::number(n)) {}
    DefaultValue(bool b) : text(b ? QStringLiteral("True") : QStringLiteral("False")) {}
};

// Writes a text value; with `encrypt` a non-empty text is stored in its encrypted form.
void SaveValue(const QString& subkey, const QString& valueName, const QString& text, bool encrypt = false);
// Reads a text value; an empty or missing value gives the default. With `decrypt` the result
// (a returned default included) is decrypted.
QString GetValue(const QString& subkey, const QString& valueName, const DefaultValue& def = {},
                 bool decrypt = false);
// True when the value holds something other than "" or "-1".
bool ValueExists(const QString& subkey, const QString& valueName);
// Deletes one value, or with the name "-1" the whole subkey and everything below it.
void DeleteValue(const QString& subkey, const QString& valueName);
// Reads every value of a key (full path, "Software\..." included) in creation order, names
// and texts trimmed and without NULs. Returns the count; leaves the lists alone when the key
// cannot be opened.
int EnumValues(const QString& fullPath, QStringList& names, QStringList& values, int initialBuffer = -1);
// The usual text-to-Boolean and text-to-number conversions of stored values.
bool CBool(const QString& text, bool fallback = false);
int CInt(const QString& text, int fallback = 0);
// "True"/"False".
inline QString BoolText(bool b) {
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

// A listed value (core/StoredNames.h) read with its own default.
inline int ReadInt(const QString& subkey, const stored::Value<int>& value) {
    return CInt(GetValue(subkey, value.name, value.byDefault), value.byDefault);
}
inline bool ReadBool(const QString& subkey, const stored::Value<bool>& value) {
    return CBool(GetValue(subkey, value.name, value.byDefault), value.byDefault);
}
inline QString ReadText(const QString& subkey, const stored::Value<const char*>& value) {
    return GetValue(subkey, value.name, value.byDefault);
}

} // namespace core
