#pragma once

struct sqlite3;

// Makes the current store fail as a real one does, for as long as it lives: the file cannot be
// written (read-only), another copy of the program holds it longer than the busy timeout, or
// the disk is full (an SQLite file-system shim under every store the tests open).
class StoreFault {
public:
    enum Kind { ReadOnly, Busy, DiskFull };
    static constexpr Kind kAll[] = {ReadOnly, Busy, DiskFull};
    static constexpr const char* kNames[] = {"ReadOnly", "Busy", "DiskFull"}; // for test names
    // As the program puts it to the user.
    static constexpr const char* kReasons[] = {"the settings file cannot be written to",
                                               "the settings file is in use by another copy of the program",
                                               "the disk is full"};

    explicit StoreFault(Kind kind);
    ~StoreFault();
    StoreFault(const StoreFault&) = delete;
    StoreFault& operator=(const StoreFault&) = delete;

    // Puts the file-system shim under the stores opened from now on (TempStore does).
    static void InstallShim();

private:
    sqlite3* m_holder = nullptr;
};
