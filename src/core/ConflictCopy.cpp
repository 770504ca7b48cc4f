// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ConflictCopy.h"

const QString kConflictMark = QStringLiteral("[sync conflict] ");

Memo conflictCopy(const Memo &memo, const Memo &lost, const QString &copyId)
{
    Memo copy = memo;
    copy.mid = copyId;
    copy.content = kConflictMark + lost.content;
    copy.editTime = lost.editTime;
    copy.expandFlag = false;
    return copy;
}
