// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Memo.h"
#include "core/Report.h"
#include <vector>

class XmlNavigator;

// Memos picked for an export or a report, in the order they go out. A top-level memo takes
// all its sub-memos along, picked or not; a sub-memo picked on its own goes out alone.
struct SelectedMemo {
    const Memo *memo;
    bool topLevel;
    std::vector<const Memo *> subMemos; // empty for a sub-memo
};
using MemoSelection = std::vector<SelectedMemo>;

// The exchange document of the selection: each picked memo as a top-level one, followed by
// the sub-memos it takes along.
void buildSelectionExport(XmlNavigator &xml, const MemoSelection &selection, const QString &appVersion);
// The report's main list for the selection.
std::vector<ReportItem> reportItems(const MemoSelection &selection);
