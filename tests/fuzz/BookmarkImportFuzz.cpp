// Feeds arbitrary bookmarks of other browsers to the favorites import: a Chromium "Bookmarks" file
// as it is, or a Firefox places database built from the input (any tree, loops included). The
// import never crashes and writes only Internet shortcuts, only below its own folder.
#include <cstdint>
#include <cstdlib>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

#include "browse/FavoritesImport.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Records: type (1 byte), parent (1 byte), title up to a NUL, address up to a NUL.
void writePlaces(const QString& path, const QByteArray& records) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    sqlite3* db = nullptr;
    check(sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK);
    sqlite3_exec(
        db,
        "CREATE TABLE moz_places(id INTEGER PRIMARY KEY, url TEXT);"
        "CREATE TABLE moz_bookmarks(id INTEGER PRIMARY KEY, type INT, fk INT, parent INT, position INT,"
        " title TEXT, guid TEXT);"
        "INSERT INTO moz_bookmarks VALUES(1, 2, NULL, 0, 0, '', 'root________');"
        "INSERT INTO moz_bookmarks VALUES(2, 2, NULL, 1, 0, 'menu', 'menu________');"
        "INSERT INTO moz_bookmarks VALUES(3, 2, NULL, 1, 1, 'toolbar', 'toolbar_____');",
        nullptr, nullptr, nullptr);
    sqlite3_stmt* place = nullptr;
    sqlite3_stmt* mark = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO moz_places(id, url) VALUES(?1, ?2)", -1, &place, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO moz_bookmarks VALUES(?1, ?2, ?1, ?3, ?1, ?4, ?5)", -1, &mark,
                       nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    qsizetype at = 0;
    for (int id = 4; at + 2 <= records.size() && id < 2000; ++id) {
        const int type = quint8(records[at]) % 4;
        const int parent = quint8(records[at + 1]) % (id + 2);
        at += 2;
        const qsizetype titleEnd = records.indexOf('\0', at);
        const QByteArray title = records.mid(at, titleEnd < 0 ? -1 : titleEnd - at);
        at = titleEnd < 0 ? records.size() : titleEnd + 1;
        const qsizetype urlEnd = records.indexOf('\0', at);
        const QByteArray url = records.mid(at, urlEnd < 0 ? -1 : urlEnd - at);
        at = urlEnd < 0 ? records.size() : urlEnd + 1;
        sqlite3_bind_int(place, 1, id);
        sqlite3_bind_text(place, 2, url.constData(), int(url.size()), SQLITE_TRANSIENT);
        sqlite3_step(place);
        sqlite3_reset(place);
        sqlite3_bind_int(mark, 1, id);
        sqlite3_bind_int(mark, 2, type);
        sqlite3_bind_int(mark, 3, parent);
        sqlite3_bind_text(mark, 4, title.constData(), int(title.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(mark, 5, "", 0, SQLITE_STATIC);
        sqlite3_step(mark);
        sqlite3_reset(mark);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(place);
    sqlite3_finalize(mark);
    sqlite3_close(db);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const QByteArray input(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("favorites"));
    int written = 0;
    if (data[0] & 1) {
        write(dir.filePath(QStringLiteral("chromium/Default/Bookmarks")), input);
        written = FavoritesImport::ImportFromChromium(dir.filePath(QStringLiteral("chromium")),
                                                      QStringLiteral("Fuzz"), root);
    } else {
        write(dir.filePath(QStringLiteral("firefox/profiles.ini")),
              "[Profile0]\nPath=p\nIsRelative=1\nDefault=1\n");
        writePlaces(dir.filePath(QStringLiteral("firefox/p/places.sqlite")), input);
        written = FavoritesImport::ImportFromFirefox(dir.filePath(QStringLiteral("firefox")), root);
    }
    check(written >= 0 && written <= FavoritesImport::kMaxBookmarks);
    int files = 0;
    const QString canonical = QDir(root).canonicalPath();
    for (QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QFileInfo entry(it.next());
        check(entry.canonicalFilePath().startsWith(canonical + QLatin1Char('/')));
        check(!entry.isSymLink());
        if (entry.isFile()) {
            check(entry.fileName().endsWith(QLatin1String(".url")));
            ++files;
        }
    }
    check(files == written);
    return 0;
}
