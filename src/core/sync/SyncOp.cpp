// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sync/SyncOp.h"

SyncDot SyncDot::fromText(const QString &text)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    return {text.left(colon), text.mid(colon + 1).toLongLong()};
}
