// SPDX-License-Identifier: GPL-3.0-or-later
#include "FaultVfs.h"
#include <sqlite3.h>
#include <cstring>

namespace {

struct Fault {
    bool armed = false;
    FaultVfs::Operation operation = FaultVfs::Operation::Write;
    int remaining = 0;
    bool fired = false;
};
Fault gFault;
sqlite3_vfs *gReal = nullptr;
sqlite3_vfs gVfs;

// True when this call is the one to fail.
bool failsNow(FaultVfs::Operation operation)
{
    if (!gFault.armed || gFault.fired || gFault.operation != operation)
        return false;
    if (--gFault.remaining > 0)
        return false;
    gFault.fired = true;
    return true;
}

// Our file: the real one follows it in the same allocation.
struct FaultFile {
    sqlite3_file base;
    sqlite3_file *real;
};

sqlite3_file *real(sqlite3_file *file)
{
    return reinterpret_cast<FaultFile *>(file)->real;
}

int faultClose(sqlite3_file *file)
{
    return real(file)->pMethods ? real(file)->pMethods->xClose(real(file)) : SQLITE_OK;
}
int faultRead(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset)
{
    if (failsNow(FaultVfs::Operation::Read))
        return SQLITE_IOERR_READ;
    return real(file)->pMethods->xRead(real(file), buffer, amount, offset);
}
int faultWrite(sqlite3_file *file, const void *buffer, int amount, sqlite3_int64 offset)
{
    if (failsNow(FaultVfs::Operation::Write))
        return SQLITE_IOERR_WRITE;
    return real(file)->pMethods->xWrite(real(file), buffer, amount, offset);
}
int faultTruncate(sqlite3_file *file, sqlite3_int64 size)
{
    return real(file)->pMethods->xTruncate(real(file), size);
}
int faultSync(sqlite3_file *file, int flags)
{
    if (failsNow(FaultVfs::Operation::Sync))
        return SQLITE_IOERR_FSYNC;
    return real(file)->pMethods->xSync(real(file), flags);
}
int faultFileSize(sqlite3_file *file, sqlite3_int64 *size)
{
    return real(file)->pMethods->xFileSize(real(file), size);
}
int faultLock(sqlite3_file *file, int level)
{
    if (failsNow(FaultVfs::Operation::Lock))
        return SQLITE_IOERR_LOCK;
    return real(file)->pMethods->xLock(real(file), level);
}
int faultUnlock(sqlite3_file *file, int level)
{
    return real(file)->pMethods->xUnlock(real(file), level);
}
int faultCheckReservedLock(sqlite3_file *file, int *result)
{
    return real(file)->pMethods->xCheckReservedLock(real(file), result);
}
int faultFileControl(sqlite3_file *file, int op, void *arg)
{
    return real(file)->pMethods->xFileControl(real(file), op, arg);
}
int faultSectorSize(sqlite3_file *file)
{
    return real(file)->pMethods->xSectorSize(real(file));
}
int faultDeviceCharacteristics(sqlite3_file *file)
{
    return real(file)->pMethods->xDeviceCharacteristics(real(file));
}

// Version 1: no shared memory (the rollback journal needs none) and no memory mapping, so
// that every read goes through xRead.
const sqlite3_io_methods kMethods = {
    1,
    faultClose,
    faultRead,
    faultWrite,
    faultTruncate,
    faultSync,
    faultFileSize,
    faultLock,
    faultUnlock,
    faultCheckReservedLock,
    faultFileControl,
    faultSectorSize,
    faultDeviceCharacteristics,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

int faultOpen(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    FaultFile *ours = reinterpret_cast<FaultFile *>(file);
    ours->real = reinterpret_cast<sqlite3_file *>(ours + 1);
    ours->base.pMethods = nullptr;
    const int rc = gReal->xOpen(gReal, name, ours->real, flags, outFlags);
    if (ours->real->pMethods)
        ours->base.pMethods = &kMethods;
    return rc;
}
int faultDelete(sqlite3_vfs *, const char *name, int syncDir)
{
    return gReal->xDelete(gReal, name, syncDir);
}
int faultAccess(sqlite3_vfs *, const char *name, int flags, int *result)
{
    return gReal->xAccess(gReal, name, flags, result);
}
int faultFullPathname(sqlite3_vfs *, const char *name, int size, char *out)
{
    return gReal->xFullPathname(gReal, name, size, out);
}
int faultRandomness(sqlite3_vfs *, int size, char *out)
{
    return gReal->xRandomness(gReal, size, out);
}
int faultSleep(sqlite3_vfs *, int microseconds)
{
    return gReal->xSleep(gReal, microseconds);
}
int faultCurrentTime(sqlite3_vfs *, double *now)
{
    return gReal->xCurrentTime(gReal, now);
}
int faultGetLastError(sqlite3_vfs *, int size, char *out)
{
    return gReal->xGetLastError ? gReal->xGetLastError(gReal, size, out) : 0;
}

} // namespace

FaultVfs::FaultVfs()
{
    gReal = sqlite3_vfs_find(nullptr);
    std::memset(&gVfs, 0, sizeof gVfs);
    gVfs.iVersion = 1;
    gVfs.szOsFile = int(sizeof(FaultFile)) + gReal->szOsFile;
    gVfs.mxPathname = gReal->mxPathname;
    gVfs.zName = "jotwell-fault";
    gVfs.xOpen = faultOpen;
    gVfs.xDelete = faultDelete;
    gVfs.xAccess = faultAccess;
    gVfs.xFullPathname = faultFullPathname;
    gVfs.xDlOpen = gReal->xDlOpen;
    gVfs.xDlError = gReal->xDlError;
    gVfs.xDlSym = gReal->xDlSym;
    gVfs.xDlClose = gReal->xDlClose;
    gVfs.xRandomness = faultRandomness;
    gVfs.xSleep = faultSleep;
    gVfs.xCurrentTime = faultCurrentTime;
    gVfs.xGetLastError = faultGetLastError;
    sqlite3_vfs_register(&gVfs, 1);
}

FaultVfs::~FaultVfs()
{
    sqlite3_vfs_unregister(&gVfs);
    gFault = {};
}

void FaultVfs::arm(Operation operation, int nth)
{
    gFault = {true, operation, nth, false};
}

void FaultVfs::disarm()
{
    gFault.armed = false;
}

bool FaultVfs::fired() const
{
    return gFault.fired;
}
