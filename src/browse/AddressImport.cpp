#include "browse/AddressImport.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace AddressImport {
namespace {

// Longer addresses are not worth offering (and a history database is untrusted input).
constexpr int kMaxUrlLength = 2048;
// Chromium counts microseconds from 1601-01-01.
constexpr qint64 kChromiumEpochOffsetUs = 11644473600LL * 1000000LL;

bool Acceptable(const QString& url) {
    if (url.isEmpty() || url.size() > kMaxUrlLength) return false;
    if (url.left(4).compare(QLatin1String("http"), Qt::CaseInsensitive) != 0) return false;
    return std::none_of(url.cbegin(), url.cend(),
                        [](QChar c) { return c.unicode() < 0x20 || c == QChar(0x7f); });
}

// Copies the database (and its write-ahead log, which holds the latest changes while the
// other browser runs) into `dir`; returns the copy's path or "" when it cannot be read.
QString PrivateCopy(const QString& file, const QTemporaryDir& dir) {
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable()) return QString();
    const QString copy = dir.filePath(QStringLiteral("db.sqlite"));
    if (!QFile::copy(file, copy)) return QString();
    const QString wal = file + QStringLiteral("-wal");
    if (QFileInfo(wal).isFile()) QFile::copy(wal, copy + QStringLiteral("-wal"));
    return copy;
}

// Runs `sql` (one integer parameter: the limit) over a private read-only copy of `file`; each
// row gives an address and its last visit in the database's own time.
QList<TypedAddress> Query(const QString& file, const char* sql, int max, qint64 toUnixUs) {
    QList<TypedAddress> out;
    if (max <= 0) return out;
    QTemporaryDir dir;
    if (!dir.isValid()) return out;
    const QString copy = PrivateCopy(file, dir);
    if (copy.isEmpty()) return out;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(copy).constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return out;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK) {
        sqlite3_bind_int(stmt, 1, max);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            if (!text) continue;
            const QString url = QString::fromUtf8(text, sqlite3_column_bytes(stmt, 0));
            if (!Acceptable(url)) continue;
            out.append({url, sqlite3_column_int64(stmt, 1) - toUnixUs});
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return out;
}

} // namespace

QList<TypedAddress> ReadFirefoxPlaces(const QString& placesFile, int max) {
    return Query(
        placesFile,
        "SELECT url, IFNULL(last_visit_date, 0) FROM moz_places WHERE typed = 1 AND url LIKE 'http%' "
        "ORDER BY last_visit_date DESC LIMIT ?1",
        max, 0);
}

QList<TypedAddress> ReadChromiumHistory(const QString& historyFile, int max) {
    return Query(
        historyFile,
        "SELECT url, IFNULL(last_visit_time, 0) FROM urls WHERE typed_count > 0 AND url LIKE 'http%' "
        "ORDER BY last_visit_time DESC LIMIT ?1",
        max, kChromiumEpochOffsetUs);
}

QStringList BrowserTypedUrls(const QString& home, int max) {
    if (max <= 0 || home.isEmpty()) return {};
    QList<TypedAddress> all;
    const QDir firefox(home + QStringLiteral("/.mozilla/firefox"));
    for (const QString& profile : firefox.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        all += ReadFirefoxPlaces(firefox.filePath(profile + QStringLiteral("/places.sqlite")), max);
    for (const char* folder : {"/.config/chromium", "/.config/google-chrome"})
        all += ReadChromiumHistory(home + QLatin1String(folder) + QStringLiteral("/Default/History"), max);

    std::stable_sort(all.begin(), all.end(),
                     [](const TypedAddress& a, const TypedAddress& b) { return a.lastVisit > b.lastVisit; });
    QStringList urls;
    QSet<QString> seen;
    for (const TypedAddress& a : all) {
        if (urls.size() >= max) break;
        const QString key = a.url.toLower();
        if (seen.contains(key)) continue;
        seen.insert(key);
        urls.append(a.url);
    }
    return urls;
}

} // namespace AddressImport
