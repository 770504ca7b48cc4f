// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/TimeStamp.h"
#include <QString>

// One row of the memos table as the memo tree keeps it on each node.
struct Memo {
    QString mid;
    QString pid;
    QString content;
    bool expandFlag = false;
    TimeStamp assignTime = 0;
    TimeStamp createTime = 0;
    TimeStamp editTime = 0;
};
