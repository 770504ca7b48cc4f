// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/ConflictCopy.h"
#include "core/Memo.h"
#include "core/sync/SyncOp.h"
#include <optional>

// A memo row as the merge makes it, with what the next local change needs: the change whose
// text it shows, or, for a conflict copy, the memo and the change it came from.
struct MergedRow {
    Memo memo;
    QString rawPid; // the parent as set, before the two-level rule
    SyncDot shown;
    QString copyOf;
};

struct MergedMemo {
    std::optional<MergedRow> main;
    std::vector<MergedRow> copies;
};

// The memo (and its conflict copies) that a set of changes makes, whatever their order. Texts
// that no change replaced all stay: the latest by clock is the memo's, each other one becomes
// a copy beside it, marked. The memo is gone only when every text it had was replaced by a
// delete that saw it; a text nobody saw outlives a delete.
MergedMemo mergeMemo(const QString &mid, const std::vector<SyncOp> &ops);

// The id of the copy that keeps the text of `dot`, the same on every computer.
QString conflictCopyId(const QString &mid, const SyncDot &dot);
