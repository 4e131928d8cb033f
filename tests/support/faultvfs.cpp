#include "faultvfs.h"

#include <sqlite3.h>

#include <array>

namespace FaultVfs {

namespace {

struct State
{
    std::array<int, 4> counts{};
    bool persistent = false, fired = false; // failAt 0 and not persistent: no call fails
    Call call = Call::Read;
    int failAt = 0;
} state;
sqlite3_vfs faultVfs, *realVfs = nullptr;

// Whether this call fails; counts it either way.
bool failing(Call call)
{
    const int n = ++state.counts[std::size_t(call)];
    const bool fails = state.call == call && (n == state.failAt || (state.persistent && n > state.failAt));
    state.fired |= fails;
    return fails;
}

// The wrapped file's method (the wrapped file lies in the memory just after
// ours); with an error, a call of that kind that may fail (counted) instead.
// Closing, unlocking and the queries never fail: SQLite cannot recover from
// that either.
template <auto Method, Call call = Call::Read, int error = 0, class... Args>
int forward(sqlite3_file *file, Args... args)
{
    if (error && failing(call))
        return error;
    return (file[1].pMethods->*Method)(file + 1, args...);
}

// Version 1: no shared memory and no memory mapping, which the program's
// journal mode never uses.
using M = sqlite3_io_methods;
const sqlite3_io_methods faultMethods = {1, forward<&M::xClose>, forward<&M::xRead, Call::Read, SQLITE_IOERR_READ>,
    forward<&M::xWrite, Call::Write, SQLITE_IOERR_WRITE>, forward<&M::xTruncate, Call::Write, SQLITE_IOERR_TRUNCATE>,
    forward<&M::xSync, Call::Sync, SQLITE_IOERR_FSYNC>, forward<&M::xFileSize>,
    forward<&M::xLock, Call::Lock, SQLITE_IOERR_LOCK>, forward<&M::xUnlock>, forward<&M::xCheckReservedLock>,
    forward<&M::xFileControl>, forward<&M::xSectorSize>, forward<&M::xDeviceCharacteristics>, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr};

int xOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *file, int flags, int *outFlags)
{
    const int rc = realVfs->xOpen(realVfs, name, file + 1, flags, outFlags);
    file->pMethods = file[1].pMethods ? &faultMethods : nullptr;
    return rc;
}

} // namespace

void install()
{
    if (realVfs)
        return;
    realVfs = sqlite3_vfs_find(nullptr);
    faultVfs = *realVfs;
    faultVfs.szOsFile = int(sizeof(sqlite3_file)) + realVfs->szOsFile;
    faultVfs.zName = "planora-fault";
    faultVfs.xOpen = xOpen;
    sqlite3_vfs_register(&faultVfs, 1);
}

void reset() { state = State(); }
void failAt(Call call, int n, bool persistent) { state = {{}, persistent, false, call, n}; }
int count(Call call) { return state.counts[std::size_t(call)]; }
bool fired() { return state.fired; }
const char *name(Call call) { return std::array{"read", "write", "sync", "lock"}[std::size_t(call)]; }

} // namespace FaultVfs
