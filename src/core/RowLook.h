// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/MemoStore.h"
#include "core/RowPrints.h"
#include <QSet>
#include <memory>
#include <vector>

// What a look at the memos table found since the last one: only what differs, read in one
// read of the file, so that no commit of another process falls between the prints and the
// rows read for them.
struct RowLook {
    std::shared_ptr<const RowPrints> before; // the last look's prints, compared with
    RowPrints now;                           // every row's print; the ids of rows read filled in
    std::vector<MemoRow> rows;               // rows new or changed, and the sub-memos a new memo brings
    QSet<quint64> goneIds;                   // ids no row read holds any more

    bool foundChanges() const { return !rows.empty() || !goneIds.isEmpty(); }
};

// Throws DatabaseError when the table cannot be read.
RowLook lookAtRows(MemoStore &store, std::shared_ptr<const RowPrints> before);
