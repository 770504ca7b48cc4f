// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RowLook.h"
#include "core/MemoLevels.h"
#include <QHash>
#include <algorithm>

namespace {

// What differs between two looks, by rowid. A look's prints carry no ids: a row whose print
// stayed keeps its id, and a row that changed is read back, which tells its id.
struct Difference {
    std::vector<qint64> toRead;      // rows new or changed, ascending
    QHash<qint64, quint64> changed; // the ids the changed ones held before
    QSet<quint64> goneIds;          // rows gone or changed, until a row read shows the id again
};

Difference compare(const RowPrints &before, RowPrints &now)
{
    Difference difference;
    size_t i = 0;
    size_t j = 0;
    while (i < before.size() || j < now.size()) {
        if (j == now.size() || (i < before.size() && before[i].rowid < now[j].rowid)) {
            difference.goneIds.insert(before[i++].id);
        } else if (i == before.size() || now[j].rowid < before[i].rowid) {
            difference.toRead.push_back(now[j++].rowid);
        } else {
            if (before[i].print == now[j].print) {
                now[j].id = before[i].id;
            } else {
                difference.toRead.push_back(now[j].rowid);
                difference.changed.insert(now[j].rowid, before[i].id);
                difference.goneIds.insert(before[i].id);
            }
            ++i;
            ++j;
        }
    }
    return difference;
}

quint64 &idAt(RowPrints &prints, qint64 rowid)
{
    return std::lower_bound(prints.begin(), prints.end(), rowid, [](const RowPrint &p, qint64 r) { return p.rowid < r; })->id;
}

// A new memo brings the sub-memos stored before it, which were out of sight until now.
// changedIds: the ids that rows read because they changed held before.
void addSubMemosOfNew(MemoStore &store, std::vector<MemoRow> &rows, const QHash<qint64, quint64> &changedIds)
{
    QSet<QString> read;
    for (const MemoRow &row : rows)
        read.insert(row.memo.mid);
    const size_t readCount = rows.size();
    for (size_t i = 0; i < readCount; ++i) {
        const auto before = changedIds.constFind(rows[i].rowid);
        const bool isNew = before == changedIds.cend() || *before != idPrint(rows[i].memo.mid);
        if (rows[i].memo.pid != MemoLevels::kTopLevelParent || !isNew)
            continue;
        for (Memo &child : store.children(rows[i].memo.mid)) {
            if (!read.contains(child.mid)) {
                read.insert(child.mid);
                rows.push_back({0, std::move(child), 0});
            }
        }
    }
}

} // namespace

RowLook lookAtRows(MemoStore &store, std::shared_ptr<const RowPrints> before)
{
    RowLook look;
    look.before = std::move(before);
    Difference difference;
    {
        Transaction read = store.transaction();
        look.now = store.rowPrints();
        difference = compare(*look.before, look.now);
        if (difference.toRead.empty() && difference.goneIds.isEmpty())
            return look;
        look.rows = store.memoRowsAt(difference.toRead);
        addSubMemosOfNew(store, look.rows, difference.changed);
        read.commit();
    }
    look.goneIds = std::move(difference.goneIds);
    for (const MemoRow &row : look.rows) {
        const quint64 id = idPrint(row.memo.mid);
        if (row.rowid != 0)
            idAt(look.now, row.rowid) = id;
        look.goneIds.remove(id); // a row changed in place, or an id that moved to another rowid
    }
    return look;
}
