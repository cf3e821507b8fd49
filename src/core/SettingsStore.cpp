#include "core/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <sys/stat.h>

#include "core/AppPaths.h"
#include "core/Errors.h"

namespace {

SettingsStore* g_current = nullptr;

const char* const kMarker = "Bramblegate settings";

enum Stmt {
    SelKey,
    InsKey,
    SubKeyAt,
    HasSub,
    DelKeyValues,
    DelKey,
    UpsertValue,
    SelValue,
    DelValue,
    ListValues,
    StmtCount
};

const char* const kStatements[StmtCount] = {
    "SELECT id FROM keys WHERE parent=?1 AND fold=?2",
    "INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, ?3)",
    "SELECT name FROM keys WHERE parent=?1 ORDER BY id LIMIT 1 OFFSET ?2",
    "SELECT 1 FROM keys WHERE parent=?1 LIMIT 1",
    "DELETE FROM vals WHERE key=?1",
    "DELETE FROM keys WHERE id=?1",
    ("INSERT INTO vals(key, name, fold, kind, data) VALUES(?1, ?2, ?3, ?4, ?5) "
     "ON CONFLICT(key, fold) DO UPDATE SET kind=excluded.kind, data=excluded.data"),
    "SELECT kind, data FROM vals WHERE key=?1 AND fold=?2",
    "DELETE FROM vals WHERE key=?1 AND fold=?2",
    "SELECT name, kind, data FROM vals WHERE key=?1 ORDER BY id",
};

QString fold(const QString& s) {
    return s.toCaseFolded();
}

void bindText(sqlite3_stmt* st, int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(st, index, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
}

QString columnText(sqlite3_stmt* st, int col) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, col)),
                             sqlite3_column_bytes(st, col));
}

// Resets a statement when the scope ends, whatever path the caller takes.
struct Reset {
    sqlite3_stmt* st;
    ~Reset() {
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
    }
};

} // namespace

SettingsStore::SettingsStore(sqlite3* db, QString path) : m_db(db), m_path(std::move(path)) {}

SettingsStore::~SettingsStore() {
    if (g_current == this) g_current = nullptr;
    for (sqlite3_stmt* st : m_statements)
        sqlite3_finalize(st);
    if (m_db) sqlite3_close(m_db);
}

SettingsStore* SettingsStore::Current() {
    return g_current;
}
void SettingsStore::SetCurrent(SettingsStore* store) {
    g_current = store;
}

QString SettingsStore::LastError() const {
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

bool SettingsStore::Exec(const char* sql) {
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::unique_ptr<SettingsStore> SettingsStore::Open(const QString& path, QString* error) {
    const QFileInfo info(path);
    const bool existed = info.exists();
    // At every start, not only when made: the folder may have been opened up since.
    AppPaths::MakePrivateFolder(info.absolutePath());

    sqlite3* db = nullptr;
    // New files are made readable by their owner only (the -wal and -shm files follow the
    // database file's mode).
    const mode_t oldMask = umask(077);
    const int flags = SQLITE_OPEN_READWRITE | (existed ? 0 : SQLITE_OPEN_CREATE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    umask(oldMask);

    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The settings file \"%1\" cannot be used: %2. It has been left as it is.")
                         .arg(QDir::toNativeSeparators(path), why);
        return std::unique_ptr<SettingsStore>();
    };
    if (rc != SQLITE_OK) {
        const QString why =
            db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("it could not be opened");
        sqlite3_close(db);
        return fail(why);
    }
    std::unique_ptr<SettingsStore> store(new SettingsStore(db, path));
    sqlite3_busy_timeout(db, kBusyTimeoutMs);

    if (existed && info.size() > 0) {
        // Recognise our own file before changing anything in it.
        sqlite3_stmt* st = nullptr;
        const int prc =
            sqlite3_prepare_v2(db, "SELECT value FROM meta WHERE name='format'", -1, &st, nullptr);
        QString marker;
        const int src = prc == SQLITE_OK ? sqlite3_step(st) : prc;
        if (src == SQLITE_ROW) marker = columnText(st, 0);
        const QString why = store->LastError();
        sqlite3_finalize(st);
        if (marker != QLatin1String(kMarker)) {
            if (src == SQLITE_NOTADB || src == SQLITE_CORRUPT) return fail(why);
            if (src == SQLITE_BUSY || src == SQLITE_LOCKED)
                return fail(QStringLiteral("it is in use (%1)").arg(why));
            return fail(QStringLiteral("it is not a Bramblegate settings file"));
        }
    }

    if (!store->Exec("PRAGMA journal_mode=WAL") || !store->Exec("PRAGMA synchronous=NORMAL") ||
        !store->Exec("PRAGMA foreign_keys=OFF"))
        return fail(store->LastError());

    const char* schema =
        "BEGIN IMMEDIATE;"
        "CREATE TABLE IF NOT EXISTS meta(name TEXT PRIMARY KEY, value TEXT);"
        "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, name TEXT NOT NULL,"
        " fold TEXT NOT NULL, UNIQUE(parent, fold));"
        "CREATE TABLE IF NOT EXISTS vals(id INTEGER PRIMARY KEY, key INTEGER NOT NULL, name TEXT NOT NULL,"
        " fold TEXT NOT NULL, kind INTEGER NOT NULL, data BLOB, UNIQUE(key, fold));"
        "INSERT OR IGNORE INTO meta(name, value) VALUES('format', 'Bramblegate settings');"
        "INSERT OR IGNORE INTO meta(name, value) VALUES('schema', '1');"
        "COMMIT;";
    if (!store->Exec(schema)) {
        const QString why = store->LastError();
        store->Exec("ROLLBACK");
        return fail(why);
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    QString why;
    if (!store->PrepareAll(&why)) return fail(why);
    return store;
}

bool SettingsStore::PrepareAll(QString* error) {
    for (int i = 0; i < StmtCount; ++i) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v3(m_db, kStatements[i], -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) !=
            SQLITE_OK) {
            *error = LastError();
            return false;
        }
        m_statements.append(st);
    }
    return true;
}

sqlite3_stmt* SettingsStore::Statement(int which) {
    return m_statements[which];
}

SettingsStore::KeyId SettingsStore::ChildKey(KeyId parent, const QString& name, bool create) {
    const QString f = fold(name);
    {
        sqlite3_stmt* st = Statement(SelKey);
        Reset r{st};
        sqlite3_bind_int64(st, 1, parent);
        bindText(st, 2, f);
        if (sqlite3_step(st) == SQLITE_ROW) return sqlite3_column_int64(st, 0);
    }
    if (!create) return -1;
    sqlite3_stmt* st = Statement(InsKey);
    Reset r{st};
    sqlite3_bind_int64(st, 1, parent);
    bindText(st, 2, name);
    bindText(st, 3, f);
    if (const int rc = sqlite3_step(st); rc != SQLITE_DONE) {
        WriteFailed(rc);
        return -1;
    }
    return sqlite3_last_insert_rowid(m_db);
}

SettingsStore::KeyId SettingsStore::FindKey(const QString& path) {
    const QString folded = fold(path);
    if (auto it = m_keyCache.constFind(folded); it != m_keyCache.constEnd()) return *it;
    KeyId id = kRoot;
    for (const QString& part : path.split(QLatin1Char('\\'))) {
        id = ChildKey(id, part, false);
        if (id < 0) return -1;
    }
    m_keyCache.insert(folded, id);
    return id;
}

SettingsStore::KeyId SettingsStore::CreateKey(const QString& path) {
    const KeyId found = FindKey(path);
    if (found >= 0) return found;
    KeyId id = kRoot;
    for (const QString& part : path.split(QLatin1Char('\\'))) {
        id = ChildKey(id, part, true);
        if (id < 0) return -1;
    }
    m_keyCache.insert(fold(path), id);
    return id;
}

QString SettingsStore::SubKeyName(KeyId key, int index) {
    sqlite3_stmt* st = Statement(SubKeyAt);
    Reset r{st};
    sqlite3_bind_int64(st, 1, key);
    sqlite3_bind_int(st, 2, index);
    if (sqlite3_step(st) == SQLITE_ROW) return columnText(st, 0);
    return QString();
}

bool SettingsStore::HasSubKeys(KeyId key) {
    sqlite3_stmt* st = Statement(HasSub);
    Reset r{st};
    sqlite3_bind_int64(st, 1, key);
    return sqlite3_step(st) == SQLITE_ROW;
}

bool SettingsStore::DeleteKey(KeyId key) {
    if (key <= kRoot || HasSubKeys(key) || TransactionLost()) return false;
    Begin();
    bool ok;
    {
        sqlite3_stmt* st = Statement(DelKeyValues);
        Reset r{st};
        sqlite3_bind_int64(st, 1, key);
        ok = sqlite3_step(st) == SQLITE_DONE;
    }
    if (ok) {
        sqlite3_stmt* st = Statement(DelKey);
        Reset r{st};
        sqlite3_bind_int64(st, 1, key);
        ok = sqlite3_step(st) == SQLITE_DONE;
    }
    if (ok) {
        Commit();
        m_keyCache.clear(); // paths below the deleted key are gone too
    } else {
        Rollback();
    }
    return ok;
}

bool SettingsStore::TransactionLost() {
    // SQLite rolls a transaction back by itself on some errors (disk full, I/O). Writes after
    // that would commit one by one; refuse them and make the scope fail instead.
    if (m_depth > 0 && sqlite3_get_autocommit(m_db)) {
        if (!m_doomed) WriteFailed(sqlite3_extended_errcode(m_db));
        return true;
    }
    return false;
}

void SettingsStore::WriteFailed(int code) {
    if (m_depth == 0) return; // a single write outside a transaction: its caller sees the status
    if (!m_doomed) {
        switch (code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            m_failure = QStringLiteral("the settings file is in use by another copy of the program");
            break;
        case SQLITE_READONLY:
        case SQLITE_PERM:
            m_failure = QStringLiteral("the settings file cannot be written to");
            break;
        case SQLITE_FULL:
            m_failure = QStringLiteral("the disk is full");
            break;
        case SQLITE_IOERR:
            m_failure = QStringLiteral("the disk reported an error");
            break;
        default:
            m_failure = QStringLiteral("the settings file reported an error (%1)").arg(LastError());
            break;
        }
    }
    m_doomed = true;
}

bool SettingsStore::SetValue(KeyId key, const QString& name, int kind, const QByteArray& data) {
    if (TransactionLost()) return false;
    sqlite3_stmt* st = Statement(UpsertValue);
    Reset r{st};
    sqlite3_bind_int64(st, 1, key);
    bindText(st, 2, name);
    bindText(st, 3, fold(name));
    sqlite3_bind_int(st, 4, kind);
    sqlite3_bind_blob(st, 5, data.constData(), data.size(), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_DONE) WriteFailed(rc);
    return rc == SQLITE_DONE;
}

bool SettingsStore::GetValue(KeyId key, const QString& name, int* kind, QByteArray* data) {
    sqlite3_stmt* st = Statement(SelValue);
    Reset r{st};
    sqlite3_bind_int64(st, 1, key);
    bindText(st, 2, fold(name));
    if (sqlite3_step(st) != SQLITE_ROW) return false;
    *kind = sqlite3_column_int(st, 0);
    *data = QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 1)), sqlite3_column_bytes(st, 1));
    return true;
}

bool SettingsStore::DeleteValue(KeyId key, const QString& name) {
    if (TransactionLost()) return false;
    sqlite3_stmt* st = Statement(DelValue);
    Reset r{st};
    sqlite3_bind_int64(st, 1, key);
    bindText(st, 2, fold(name));
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_DONE) WriteFailed(rc);
    return rc == SQLITE_DONE && sqlite3_changes(m_db) > 0;
}

QList<SettingsStore::Value> SettingsStore::Values(KeyId key) {
    QList<Value> out;
    sqlite3_stmt* st = Statement(ListValues);
    Reset r{st};
    sqlite3_bind_int64(st, 1, key);
    while (sqlite3_step(st) == SQLITE_ROW) {
        Value v;
        v.name = columnText(st, 0);
        v.kind = sqlite3_column_int(st, 1);
        v.data =
            QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 2)), sqlite3_column_bytes(st, 2));
        out.append(std::move(v));
    }
    return out;
}

void SettingsStore::Begin() {
    if (m_depth++ == 0) {
        m_doomed = false;
        m_failure.clear();
        // Waits up to the busy timeout for another connection's write to end.
        if (!Exec("BEGIN IMMEDIATE")) WriteFailed(sqlite3_extended_errcode(m_db));
    }
}

bool SettingsStore::Commit() {
    if (m_depth == 0) return false;
    if (m_depth == 1 && !m_doomed && !Exec("COMMIT")) WriteFailed(sqlite3_extended_errcode(m_db));
    if (--m_depth == 0) {
        const bool committed = !m_doomed;
        if (!committed) {
            if (!sqlite3_get_autocommit(m_db)) Exec("ROLLBACK");
            m_keyCache.clear();
        }
        m_doomed = false;
        return committed;
    }
    return !m_doomed;
}

void SettingsStore::Rollback() {
    if (m_depth == 0) return;
    if (--m_depth == 0) {
        Exec("ROLLBACK");
        m_keyCache.clear(); // keys created inside the transaction are gone
        m_doomed = false;
    } else {
        m_doomed = true; // an inner scope failed: the outer one must not commit half of it
    }
}

StoreTransaction::StoreTransaction() : m_store(SettingsStore::Current()) {
    if (m_store) m_store->Begin();
}

StoreTransaction::~StoreTransaction() {
    if (m_store && !m_done) m_store->Rollback();
}

bool StoreTransaction::Commit() {
    bool committed = false;
    if (m_store && !m_done) committed = m_store->Commit();
    m_done = true;
    return committed;
}

void StoreTransaction::CommitOrThrow(const QString& what, const std::function<void()>& rollBack) {
    // Without a store there is nothing to save to, as for every other write.
    if (Commit() || !m_store) return;
    if (rollBack) rollBack();
    const QString why = m_store->FailureText();
    throw BgError(ErrNo::NotSaved,
                  what + QStringLiteral(" could not be saved: ") +
                      (why.isEmpty() ? QStringLiteral("the settings file reported an error") : why) +
                      QLatin1Char('.'));
}
