// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A file layer under the database engine that fails one chosen file operation, as a full disk,
// a pulled cable or a bad sector would: every connection opened while it is installed goes
// through it. The counting starts when a fault is armed; the Nth operation of that kind (on
// any file: the database or its journal) fails with an I/O error, and the ones after it
// succeed again.
class FaultVfs {
public:
    enum class Operation { Write, Sync, Lock, Read };
    FaultVfs();  // installs itself as the default
    ~FaultVfs(); // and gives the place back
    FaultVfs(const FaultVfs &) = delete;
    FaultVfs &operator=(const FaultVfs &) = delete;

    void arm(Operation operation, int nth);
    void disarm();
    // Whether the armed fault was met since arm().
    bool fired() const;
};
