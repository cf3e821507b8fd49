#pragma once

#include <QString>
#include <QStringList>

namespace UserNames {

// Longest user name: the name also starts four more store keys and names sections of the
// settings file.
constexpr int kMaxLength = 100;

// A user name is a key of the store and the start of four more, and a key and section names in
// the settings file; it must break neither layout: no "\", no "=", "[" or "]", no line break or
// other control character, no leading ";", not a name the program keeps its own settings under
// ("Users", "General") and not "-1" (which stands for a whole key when values are deleted), at
// most kMaxLength characters. The name is taken as it is (callers trim).
bool Usable(const QString& name);
// Why a name is not Usable, in a sentence for the user; empty when it is.
QString Problem(const QString& name);

// The store keys that hold a user's settings: its own key and those named after it, the four
// list keys and the site permissions ("Permissions").
QStringList Keys(const QString& name);
// The first of `users` whose keys would be some of `name`'s keys too ("Bob" and "BobHistory"):
// the two would read and write each other's settings, and deleting one would wipe the other.
// Empty when there is none. Names compare without regard to letter case, as the store does.
QString SharedWith(const QString& name, const QStringList& users);
// The users in the store (the value names of "Users"), in store order.
QStringList StoredUsers();

} // namespace UserNames
