#include "support/StoreFault.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <QFile>
#include <sqlite3.h>

#include "core/SettingsStore.h"

namespace {

std::atomic<bool> g_diskFull{false};
sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_shim;
// The real files' methods (main files and journals have sets of their own), each beside a copy
// whose writes fail while the disk is full.
struct Methods {
    const sqlite3_io_methods* real = nullptr;
    sqlite3_io_methods faulty{};
};
Methods g_methods[4];

Methods* Find(const sqlite3_io_methods* methods) {
    return std::find_if(std::begin(g_methods), std::end(g_methods), [methods](const Methods& m) {
        return m.real == methods || &m.faulty == methods || !m.real;
    });
}

int FaultyWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 at) {
    return g_diskFull ? SQLITE_FULL : Find(f->pMethods)->real->xWrite(f, p, n, at);
}

int ShimOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    const int rc = g_real->xOpen(g_real, name, f, flags, outFlags);
    Methods* m = f->pMethods ? Find(f->pMethods) : std::end(g_methods);
    if (m == std::end(g_methods)) return rc; // no file, or more kinds of files than expected
    if (!m->real) {
        m->real = f->pMethods;
        m->faulty = *f->pMethods;
        m->faulty.xWrite = FaultyWrite;
    }
    f->pMethods = &m->faulty;
    return rc;
}

} // namespace

void StoreFault::InstallShim() {
    if (g_real) return;
    g_real = sqlite3_vfs_find(nullptr);
    g_shim = *g_real;
    g_shim.zName = "bg-fault";
    g_shim.xOpen = ShimOpen;
    sqlite3_vfs_register(&g_shim, 1);
}

StoreFault::StoreFault(Kind kind) {
    SettingsStore* store = SettingsStore::Current();
    EXPECT_NE(store, nullptr);
    if (!store) return;
    switch (kind) {
    case ReadOnly:
        EXPECT_EQ(sqlite3_exec(store->handle(), "PRAGMA query_only=1", nullptr, nullptr, nullptr), SQLITE_OK);
        break;
    case Busy:
        // Another copy of the program in the middle of a long save; this one waits briefly.
        sqlite3_busy_timeout(store->handle(), 100);
        EXPECT_EQ(sqlite3_open_v2(QFile::encodeName(store->Path()).constData(), &m_holder,
                                  SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(m_holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        break;
    case DiskFull:
        EXPECT_NE(g_real, nullptr) << "the store was opened without the shim";
        g_diskFull = true;
        break;
    }
}

// Undoes every kind: each undo leaves a store without that fault as it is.
StoreFault::~StoreFault() {
    g_diskFull = false;
    sqlite3_close(m_holder); // the other copy's transaction rolls back
    if (SettingsStore* store = SettingsStore::Current()) {
        sqlite3_exec(store->handle(), "PRAGMA query_only=0", nullptr, nullptr, nullptr);
        sqlite3_busy_timeout(store->handle(), SettingsStore::kBusyTimeoutMs);
    }
}
