// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Memo.h"
#include <QByteArrayView>
#include <QString>
#include <vector>

// Memos are two levels deep: a memo sits at the top level, a sub-memo under a top-level memo,
// and nothing under a sub-memo. A row that breaks this is out of the program's sight.
namespace MemoLevels {

// The parent id that every top-level memo carries, as text and as the stored UTF-8.
inline constexpr QByteArrayView kTopLevelParentUtf8("root");
inline const QString kTopLevelParent = QString::fromLatin1(kTopLevelParentUtf8);

inline bool isTopLevel(const Memo &memo)
{
    return memo.pid == kTopLevelParent;
}

// The ids of the memos that neither sit at the top level nor under a top-level memo.
QStringList outOfSight(const std::vector<Memo> &memos);

} // namespace MemoLevels
