// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sync/SyncMerge.h"
#include "core/MemoLevels.h"
#include <QSet>
#include <QUuid>
#include <algorithm>

QString conflictCopyId(const QString &mid, const SyncDot &dot)
{
    static const QUuid kNamespace(QStringLiteral("{6B0E2C51-3A1D-4F7B-9E2A-5D8C1F4A7B30}"));
    return QUuid::createUuidV5(kNamespace, QString(mid + QLatin1Char('/') + dot.text())).toString(QUuid::WithBraces).toUpper();
}

namespace {

// The latest change that sets field, or none.
const SyncOp *latestSetting(const std::vector<SyncOp> &ops, SyncField field)
{
    const SyncOp *latest = nullptr;
    for (const SyncOp &op : ops) {
        if (op.sets(field) && (!latest || latest->before(op)))
            latest = &op;
    }
    return latest;
}

} // namespace

MergedMemo mergeMemo(const QString &mid, const std::vector<SyncOp> &ops)
{
    QSet<QString> replaced;
    for (const SyncOp &op : ops) {
        for (const SyncDot &dot : op.replaces)
            replaced.insert(dot.text());
    }
    std::vector<const SyncOp *> heads;
    for (const SyncOp &op : ops) {
        if (op.sets(SyncContent) && (replaced.isEmpty() || !replaced.contains(op.dot.text())))
            heads.push_back(&op);
    }
    MergedMemo merged;
    if (heads.empty())
        return merged;
    std::sort(heads.begin(), heads.end(), [](const SyncOp *a, const SyncOp *b) { return b->before(*a); });

    MergedRow main;
    main.memo.mid = mid;
    main.memo.content = heads.front()->memo.content;
    main.memo.editTime = heads.front()->memo.editTime;
    main.shown = heads.front()->dot;
    const SyncOp *parent = latestSetting(ops, SyncParent);
    main.rawPid = parent ? parent->memo.pid : MemoLevels::kTopLevelParent;
    main.memo.pid = main.rawPid;
    if (const SyncOp *expanded = latestSetting(ops, SyncExpanded))
        main.memo.expandFlag = expanded->memo.expandFlag;
    if (const SyncOp *times = latestSetting(ops, SyncTimes)) {
        main.memo.assignTime = times->memo.assignTime;
        main.memo.createTime = times->memo.createTime;
    }

    // The same text reached twice is one text, not a conflict.
    QSet<QString> kept;
    if (heads.size() > 1)
        kept.insert(main.memo.content);
    for (auto head = heads.begin() + 1; head != heads.end(); ++head) {
        if (kept.contains((*head)->memo.content))
            continue;
        kept.insert((*head)->memo.content);
        MergedRow copy = main;
        copy.memo = conflictCopy(main.memo, (*head)->memo, conflictCopyId(mid, (*head)->dot));
        copy.shown = (*head)->dot;
        copy.copyOf = mid;
        merged.copies.push_back(std::move(copy));
    }
    merged.main = std::move(main);
    return merged;
}
