#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The addresses the user typed into the address bars of other browsers on this machine, read
// from their history databases. A database is never opened where it lies: it is copied into a
// private temp folder and the copy is read, read-only, so the other browser's files are never
// locked or changed. A missing, locked-out or unreadable database is skipped without a word.
namespace AddressImport {

struct TypedAddress {
    QString url;
    qint64 lastVisit = 0; // microseconds since 1970
};

// Every typed http(s) address of the user's browser profiles below `home`, newest first, each
// once (ignoring case), at most `max` of them.
QStringList BrowserTypedUrls(const QString& home, int max);

// One browser's database: typed addresses, newest first, at most `max`.
QList<TypedAddress> ReadFirefoxPlaces(const QString& placesFile, int max);
QList<TypedAddress> ReadChromiumHistory(const QString& historyFile, int max);

} // namespace AddressImport
