// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/TimeStamp.h"
#include <QString>

// One row of the tasks table. The program keeps tasks only to carry them through exchange
// files for the sibling application, so flags and colours stay the text they were given.
struct Task {
    QString tid;
    QString pid;
    QString content;
    QString checkFlag;
    QString alarmFlag;
    QString dueFlag;
    QString textColor;
    QString backgroundColor;
    TimeStamp createTime = 0;
    TimeStamp editTime = 0;
    TimeStamp checkTime = 0;
    TimeStamp alarmTime = 0;
    TimeStamp dueTime = 0;
};
