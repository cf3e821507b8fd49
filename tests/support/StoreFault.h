#pragma once

#include <QString>

struct sqlite3;

// Makes the current store fail as a real one does, for as long as it lives: the file cannot be
// written (read-only), another copy of the program holds it longer than the busy timeout, or
// the disk is full (an SQLite file-system shim under every store the tests open).
class StoreFault {
public:
    enum Kind { ReadOnly, Busy, DiskFull };
    static constexpr Kind kAll[] = {ReadOnly, Busy, DiskFull};
    static constexpr const char* kNames[] = {"ReadOnly", "Busy", "DiskFull"}; // for test names

    explicit StoreFault(Kind kind);
    ~StoreFault();
    StoreFault(const StoreFault&) = delete;
    StoreFault& operator=(const StoreFault&) = delete;

    static QString Reason(Kind kind); // as the program puts it to the user

    // Puts the file-system shim under the stores opened from now on (TempStore does).
    static void InstallShim();

private:
    sqlite3* m_holder = nullptr;
};
