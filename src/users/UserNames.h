#pragma once

#include <QString>

namespace UserNames {

// Longest user name: the name also starts four more store keys and names sections of the
// settings file.
constexpr int kMaxLength = 100;

// A user name is a key of the store and the start of four more, and a key and section names in
// the settings file; it must break neither layout: no "\", no "=", "[" or "]", no line break or
// other control character, no leading ";", not "Users" or "General", at most kMaxLength
// characters. The name is taken as it is (callers trim).
bool Usable(const QString& name);

} // namespace UserNames
