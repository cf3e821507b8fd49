#pragma once

#include <QString>
#include <QStringList>

// The stable identity of a Link: what names its web profile (cookies, site storage, cache) on
// the disk. It never changes while the Link lives, whatever happens to its slot, caption or
// place; it is stored per Link as "LinkId<n>". A Link without one (a store written by another
// tool, an older one, an import) gets a fresh one when it is loaded.
namespace LinkIds {

// A new id: 32 lower-case hexadecimal digits, random.
QString New();
// Whether a text is an id as New() makes them. Ids come from the store, which other tools may
// write, and become folder names: anything else is refused.
bool IsValid(const QString& id);
// Whether a value name of a user's section is a Link's id ("LinkId<n>").
bool IsIdValueName(const QString& valueName);
// The ids the store holds for the user's Links now.
QStringList Stored(const QString& user);

} // namespace LinkIds
