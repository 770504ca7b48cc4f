// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MemoLevels.h"
#include <QSet>
#include <QStringList>

QStringList MemoLevels::outOfSight(const std::vector<Memo> &memos)
{
    QSet<QString> topLevel;
    for (const Memo &memo : memos) {
        if (isTopLevel(memo))
            topLevel.insert(memo.mid);
    }
    QStringList unseen;
    for (const Memo &memo : memos) {
        if (!isTopLevel(memo) && !topLevel.contains(memo.pid))
            unseen << memo.mid;
    }
    return unseen;
}
