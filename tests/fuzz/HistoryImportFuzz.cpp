// Feeds arbitrary browsing histories of other browsers (a Firefox or a Chromium database built
// from the input) to the import of typed addresses: never a crash, and only typed web addresses
// come back, newest first, at most as many as asked for.
#include <cstdint>
#include <cstdlib>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

#include "browse/AddressImport.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Records: typed (1 byte), time (1 byte), address up to a NUL.
void writeHistory(const QString& path, bool firefox, const QByteArray& records) {
    sqlite3* db = nullptr;
    check(sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK);
    sqlite3_exec(
        db,
        firefox ? "CREATE TABLE moz_places(id INTEGER PRIMARY KEY, url TEXT, typed INT, last_visit_date INT)"
                : "CREATE TABLE urls(id INTEGER PRIMARY KEY, url TEXT, typed_count INT, last_visit_time INT)",
        nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       firefox ? "INSERT INTO moz_places(url, typed, last_visit_date) VALUES(?1, ?2, ?3)"
                               : "INSERT INTO urls(url, typed_count, last_visit_time) VALUES(?1, ?2, ?3)",
                       -1, &insert, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    qsizetype at = 0;
    for (int row = 0; at + 2 <= records.size() && row < 2000; ++row) {
        const int typed = quint8(records[at]) % 3;
        const qint64 time = qint64(quint8(records[at + 1])) * 1000003;
        at += 2;
        const qsizetype end = records.indexOf('\0', at);
        const QByteArray url = records.mid(at, end < 0 ? -1 : end - at);
        at = end < 0 ? records.size() : end + 1;
        sqlite3_bind_text(insert, 1, url.constData(), int(url.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 2, typed);
        if (time % 7 == 0)
            sqlite3_bind_null(insert, 3);
        else
            sqlite3_bind_int64(insert, 3, time);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const bool firefox = data[0] & 1;
    const int max = data[1] % 50;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history"));
    writeHistory(path, firefox, QByteArray(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2)));
    const QList<AddressImport::TypedAddress> read =
        firefox ? AddressImport::ReadFirefoxPlaces(path, max) : AddressImport::ReadChromiumHistory(path, max);
    check(read.size() <= max);
    for (int i = 0; i < read.size(); ++i) {
        check(read[i].url.startsWith(QLatin1String("http"), Qt::CaseInsensitive));
        if (i > 0) check(read[i - 1].lastVisit >= read[i].lastVisit);
    }
    return 0;
}
