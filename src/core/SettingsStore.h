#pragma once

#include <functional>
#include <memory>
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

struct sqlite3;
struct sqlite3_stmt;

// The hierarchical key/value store behind every setting: one SQLite file per OS user.
// Keys are addressed by paths with "\" between the components; key and value names compare
// without regard to letter case (all of Unicode); values enumerate in the order in which they
// were created (overwriting keeps a value's place, deleting and re-creating moves it to the end).
//
// The program has one open store (Current()); SettingsRegistry and the settings layer work on it.
class SettingsStore {
public:
    using KeyId = qint64;
    static constexpr KeyId kRoot = 0; // the user's hive; every path is relative to it
    // How long a write waits for another connection's write to end.
    static constexpr int kBusyTimeoutMs = 5000;

    struct Value {
        QString name;
        int kind = 0;
        QByteArray data;
    };

    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Opens the store file, creating it when it is missing; the file is made 0600 and its folder
    // 0700 at every opening. A file
    // that exists but is not a store of this program is left untouched: the result is null
    // and *error names the file and the reason.
    static std::unique_ptr<SettingsStore> Open(const QString& path, QString* error);

    static SettingsStore* Current();
    static void SetCurrent(SettingsStore* store);

    const QString& Path() const { return m_path; }

    // Keys. FindKey returns -1 when the key does not exist; CreateKey makes the missing parts.
    KeyId FindKey(const QString& path);
    KeyId CreateKey(const QString& path);
    // The name of the index-th subkey in creation order, or a null string past the end.
    QString SubKeyName(KeyId key, int index);
    bool HasSubKeys(KeyId key);
    // Deletes a key that has no subkeys (with its values). False when it has subkeys or is the root.
    bool DeleteKey(KeyId key);

    // Values.
    bool SetValue(KeyId key, const QString& name, int kind, const QByteArray& data);
    bool GetValue(KeyId key, const QString& name, int* kind, QByteArray* data);
    bool DeleteValue(KeyId key, const QString& name);
    QList<Value> Values(KeyId key);

    // Transactions; nested calls join the outermost one, which alone commits or rolls back. A
    // write that fails inside a transaction (the file is read-only, the disk is full, another
    // program holds the store longer than the busy timeout) makes the whole transaction fail.
    void Begin();
    // False when the outermost scope rolled back instead (an inner scope or SQLite gave up).
    bool Commit();
    void Rollback();
    int TransactionDepth() const { return m_depth; }

    // The last SQLite error, for messages.
    QString LastError() const;
    // Why the last transaction that failed did, in plain words ("the disk is full").
    QString FailureText() const { return m_failure; }

    // The SQLite connection, for the few callers that need SQLite itself (tests that make the
    // store fail on purpose).
    sqlite3* handle() const { return m_db; }

private:
    explicit SettingsStore(sqlite3* db, QString path);
    bool PrepareAll(QString* error);
    sqlite3_stmt* Statement(int which);
    KeyId ChildKey(KeyId parent, const QString& name, bool create);
    bool Exec(const char* sql);
    bool TransactionLost();
    // A statement inside a transaction failed with this SQLite code: the transaction must fail.
    void WriteFailed(int code);

    sqlite3* m_db = nullptr;
    QString m_path;
    QList<sqlite3_stmt*> m_statements;
    QHash<QString, KeyId> m_keyCache; // folded path -> id
    int m_depth = 0;
    bool m_doomed = false;
    QString m_failure;
};

// A scope that holds one store transaction: everything written inside commits together, or,
// when the scope is left by an error (or without Commit()), nothing of it does. Nested scopes
// join the outer one.
class StoreTransaction {
public:
    StoreTransaction();
    ~StoreTransaction();
    // False when nothing of the scope will be (or was) committed.
    bool Commit();
    // Commit, or, when nothing was committed, a BgError (ErrNo::NotSaved) that says in plain words
    // that `what` could not be saved, and why ("Your Links could not be saved: the disk is full.").
    // `rollBack` runs first then: it puts what the caller holds in memory back to what the store has.
    void CommitOrThrow(const QString& what, const std::function<void()>& rollBack = {});
    StoreTransaction(const StoreTransaction&) = delete;
    StoreTransaction& operator=(const StoreTransaction&) = delete;

private:
    SettingsStore* m_store;
    bool m_done = false;
};
