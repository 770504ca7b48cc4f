// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/sync/SyncOp.h"
#include <QByteArray>
#include <optional>

// The files in the sync folder are runs of records that each check themselves: the payload's
// length (4 bytes), its CRC-32 (4 bytes), then the payload. A file that is still arriving, or
// was cut, is read up to its last whole record; the rest is read once it is there.
namespace SyncRecords {

// A snapshot begins with this: every change of its installation up to `covered` that still
// matters follows, and the installation's journal goes on in generation `nextGeneration`.
struct SnapshotHeader {
    qint64 covered = 0;
    qint64 nextGeneration = 0;
};

// A change's record; its origin is the installation whose file holds it.
QByteArray encode(const SyncOp &op);
QByteArray encode(const SnapshotHeader &header);

struct Scan {
    std::vector<SyncOp> ops;
    std::optional<SnapshotHeader> header;
    qint64 end = 0;       // where the first record not read begins
    bool damaged = false; // a whole record failed its check: nothing after it is read
};
// The records of bytes from offset `from` on (at most `limit` of them when it is not
// negative), the changes stamped with origin.
Scan decode(const QByteArray &bytes, qint64 from, const QString &origin, qsizetype limit = -1);

} // namespace SyncRecords
