#include "faultvfs.h"

#include <sqlite3.h>

#include <array>
#include <cstring>

namespace FaultVfs {

namespace {

struct State
{
    std::array<int, 4> counts{};
    bool armed = false;
    Call call = Call::Read;
    int failAt = 0;
    bool persistent = false;
    bool fired = false;
};

State state;
sqlite3_vfs *realVfs = nullptr;
sqlite3_vfs faultVfs;

// Whether this call fails; counts it either way.
bool failing(Call call)
{
    const int n = ++state.counts[std::size_t(call)];
    const bool fails = state.armed && state.call == call && (n == state.failAt || (state.persistent && n > state.failAt));
    state.fired = state.fired || fails;
    return fails;
}

struct FaultFile
{
    sqlite3_file base;
    sqlite3_file *real; // the wrapped file, in the memory just after this one
};

sqlite3_file *real(sqlite3_file *file)
{
    return reinterpret_cast<FaultFile *>(file)->real;
}

int xClose(sqlite3_file *file)
{
    return real(file)->pMethods->xClose(real(file));
}

int xRead(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset)
{
    if (failing(Call::Read))
        return SQLITE_IOERR_READ;
    return real(file)->pMethods->xRead(real(file), buffer, amount, offset);
}

int xWrite(sqlite3_file *file, const void *buffer, int amount, sqlite3_int64 offset)
{
    if (failing(Call::Write))
        return SQLITE_IOERR_WRITE;
    return real(file)->pMethods->xWrite(real(file), buffer, amount, offset);
}

int xTruncate(sqlite3_file *file, sqlite3_int64 size)
{
    if (failing(Call::Write))
        return SQLITE_IOERR_TRUNCATE;
    return real(file)->pMethods->xTruncate(real(file), size);
}

int xSync(sqlite3_file *file, int flags)
{
    if (failing(Call::Sync))
        return SQLITE_IOERR_FSYNC;
    return real(file)->pMethods->xSync(real(file), flags);
}

int xFileSize(sqlite3_file *file, sqlite3_int64 *size)
{
    return real(file)->pMethods->xFileSize(real(file), size);
}

int xLock(sqlite3_file *file, int level)
{
    if (failing(Call::Lock))
        return SQLITE_IOERR_LOCK;
    return real(file)->pMethods->xLock(real(file), level);
}

// Releasing a lock never fails here: SQLite cannot recover from that either.
int xUnlock(sqlite3_file *file, int level)
{
    return real(file)->pMethods->xUnlock(real(file), level);
}

int xCheckReservedLock(sqlite3_file *file, int *result)
{
    return real(file)->pMethods->xCheckReservedLock(real(file), result);
}

int xFileControl(sqlite3_file *file, int op, void *argument)
{
    return real(file)->pMethods->xFileControl(real(file), op, argument);
}

int xSectorSize(sqlite3_file *file)
{
    return real(file)->pMethods->xSectorSize(real(file));
}

int xDeviceCharacteristics(sqlite3_file *file)
{
    return real(file)->pMethods->xDeviceCharacteristics(real(file));
}

// Version 1: no shared memory and no memory mapping, which the program's
// journal mode never uses.
const sqlite3_io_methods faultMethods = {
    1, xClose, xRead, xWrite, xTruncate, xSync, xFileSize, xLock, xUnlock, xCheckReservedLock,
    xFileControl, xSectorSize, xDeviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

int xOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *file, int flags, int *outFlags)
{
    auto *wrapper = reinterpret_cast<FaultFile *>(file);
    wrapper->real = reinterpret_cast<sqlite3_file *>(wrapper + 1);
    const int rc = realVfs->xOpen(realVfs, name, wrapper->real, flags, outFlags);
    wrapper->base.pMethods = wrapper->real->pMethods ? &faultMethods : nullptr;
    return rc;
}

} // namespace

void install()
{
    if (realVfs)
        return;
    sqlite3_initialize();
    realVfs = sqlite3_vfs_find(nullptr);
    std::memcpy(&faultVfs, realVfs, sizeof faultVfs);
    faultVfs.iVersion = realVfs->iVersion;
    faultVfs.szOsFile = int(sizeof(FaultFile)) + realVfs->szOsFile;
    faultVfs.zName = "planora-fault";
    faultVfs.pNext = nullptr;
    faultVfs.xOpen = xOpen;
    sqlite3_vfs_register(&faultVfs, 1);
}

void reset()
{
    state = State();
}

void failAt(Call call, int n, bool persistent)
{
    state = State();
    state.armed = true;
    state.call = call;
    state.failAt = n;
    state.persistent = persistent;
}

int count(Call call)
{
    return state.counts[std::size_t(call)];
}

bool fired()
{
    return state.fired;
}

const char *name(Call call)
{
    static const char *const names[] = {"read", "write", "sync", "lock"};
    return names[std::size_t(call)];
}

} // namespace FaultVfs
