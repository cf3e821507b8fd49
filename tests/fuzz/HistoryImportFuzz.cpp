// Other browsers' histories (a Firefox or a Chromium database built from the input) for the import
// of typed addresses: only typed web addresses come back, newest first, at most as many as asked.
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

#include "browse/AddressImport.h"
#include "Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const bool firefox = data[0] & 1;
    const int max = data[1] % 50;
    QTemporaryDir dir;
    const QString path = dir.filePath("history");
    sqlite3* db = nullptr;
    Check(sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK);
    const char* table =
        firefox ? "moz_places(url, typed, last_visit_date)" : "urls(url, typed_count, last_visit_time)";
    sqlite3_exec(db, ("CREATE TABLE " + QByteArray(table) + "; BEGIN").constData(), nullptr, nullptr,
                 nullptr);
    // Records: typed (1 byte), time (1 byte, 0 for none), address, NUL.
    const QList<QByteArray> records = Bytes(data + 2, size - 2).split('\0');
    for (int row = 0; row < records.size() && row < 2000; ++row) {
        const QByteArray record = records[row].leftJustified(2, '\0');
        char* sql =
            sqlite3_mprintf("INSERT INTO %s VALUES(%Q, %d, NULLIF(%lld, 0))", table,
                            record.mid(2).constData(), quint8(record[0]) % 3, quint8(record[1]) * 1000003LL);
        sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        sqlite3_free(sql);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const QList<AddressImport::TypedAddress> read =
        firefox ? AddressImport::ReadFirefoxPlaces(path, max) : AddressImport::ReadChromiumHistory(path, max);
    Check(read.size() <= max);
    for (int i = 0; i < read.size(); ++i)
        Check(read[i].url.startsWith("http", Qt::CaseInsensitive) &&
              (!i || read[i - 1].lastVisit >= read[i].lastVisit));
    return 0;
}
