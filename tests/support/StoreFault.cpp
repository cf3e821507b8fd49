#include "support/StoreFault.h"

#include <atomic>
#include <gtest/gtest.h>
#include <QFile>
#include <sqlite3.h>

#include "core/SettingsStore.h"

namespace {

std::atomic<bool> g_diskFull{false};
sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_shim;
sqlite3_io_methods g_methods;

// A file of the shim: its own header, then the real file.
struct ShimFile {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* real(sqlite3_file* f) {
    return reinterpret_cast<ShimFile*>(f)->real;
}

int shimClose(sqlite3_file* f) {
    return real(f)->pMethods->xClose(real(f));
}
int shimRead(sqlite3_file* f, void* p, int n, sqlite3_int64 at) {
    return real(f)->pMethods->xRead(real(f), p, n, at);
}
int shimWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 at) {
    if (g_diskFull) return SQLITE_FULL;
    return real(f)->pMethods->xWrite(real(f), p, n, at);
}
int shimTruncate(sqlite3_file* f, sqlite3_int64 size) {
    return real(f)->pMethods->xTruncate(real(f), size);
}
int shimSync(sqlite3_file* f, int flags) {
    return real(f)->pMethods->xSync(real(f), flags);
}
int shimFileSize(sqlite3_file* f, sqlite3_int64* size) {
    return real(f)->pMethods->xFileSize(real(f), size);
}
int shimLock(sqlite3_file* f, int level) {
    return real(f)->pMethods->xLock(real(f), level);
}
int shimUnlock(sqlite3_file* f, int level) {
    return real(f)->pMethods->xUnlock(real(f), level);
}
int shimCheckReservedLock(sqlite3_file* f, int* out) {
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int shimFileControl(sqlite3_file* f, int op, void* arg) {
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int shimSectorSize(sqlite3_file* f) {
    return real(f)->pMethods->xSectorSize(real(f));
}
int shimDeviceCharacteristics(sqlite3_file* f) {
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int shimShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
    return real(f)->pMethods->xShmMap(real(f), region, size, extend, out);
}
int shimShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void shimShmBarrier(sqlite3_file* f) {
    real(f)->pMethods->xShmBarrier(real(f));
}
int shimShmUnmap(sqlite3_file* f, int deleteFlag) {
    return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}
int shimFetch(sqlite3_file* f, sqlite3_int64 at, int n, void** out) {
    return real(f)->pMethods->xFetch(real(f), at, n, out);
}
int shimUnfetch(sqlite3_file* f, sqlite3_int64 at, void* p) {
    return real(f)->pMethods->xUnfetch(real(f), at, p);
}

int shimOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<ShimFile*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    file->base.pMethods = nullptr;
    const int rc = g_real->xOpen(g_real, name, file->real, flags, outFlags);
    if (file->real->pMethods) {
        // The real files all share one set of methods; the shim offers what they offer.
        g_methods.iVersion = file->real->pMethods->iVersion;
        file->base.pMethods = &g_methods;
    }
    return rc;
}

} // namespace

void StoreFault::InstallShim() {
    if (g_real) return;
    g_real = sqlite3_vfs_find(nullptr);
    g_methods = {1,
                 shimClose,
                 shimRead,
                 shimWrite,
                 shimTruncate,
                 shimSync,
                 shimFileSize,
                 shimLock,
                 shimUnlock,
                 shimCheckReservedLock,
                 shimFileControl,
                 shimSectorSize,
                 shimDeviceCharacteristics,
                 shimShmMap,
                 shimShmLock,
                 shimShmBarrier,
                 shimShmUnmap,
                 shimFetch,
                 shimUnfetch};
    g_shim = *g_real;
    g_shim.zName = "bg-fault";
    g_shim.szOsFile = int(sizeof(ShimFile)) + g_real->szOsFile;
    g_shim.xOpen = shimOpen;
    sqlite3_vfs_register(&g_shim, 1);
}

StoreFault::StoreFault(Kind kind) : m_kind(kind) {
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

StoreFault::~StoreFault() {
    SettingsStore* store = SettingsStore::Current();
    switch (m_kind) {
    case ReadOnly:
        if (store) sqlite3_exec(store->handle(), "PRAGMA query_only=0", nullptr, nullptr, nullptr);
        break;
    case Busy:
        if (m_holder) {
            sqlite3_exec(m_holder, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(m_holder);
        }
        if (store) sqlite3_busy_timeout(store->handle(), SettingsStore::kBusyTimeoutMs);
        break;
    case DiskFull:
        g_diskFull = false;
        break;
    }
}

const char* StoreFault::Name(Kind kind) {
    switch (kind) {
    case ReadOnly:
        return "ReadOnly";
    case Busy:
        return "Busy";
    case DiskFull:
        return "DiskFull";
    }
    return "";
}

QString StoreFault::Reason(Kind kind) {
    switch (kind) {
    case ReadOnly:
        return QStringLiteral("the settings file cannot be written to");
    case Busy:
        return QStringLiteral("the settings file is in use by another copy of the program");
    case DiskFull:
        return QStringLiteral("the disk is full");
    }
    return QString();
}
