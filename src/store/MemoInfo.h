#pragma once
#include "store/DateTime.h"
#include <QString>

// One row of the memos table as the memo tree keeps it on each node.
struct TMemoInfo {
    QString mid;
    QString pid;
    QString content;
    bool expandFlag = false;
    TDateTime assignTime = 0;
    TDateTime createTime = 0;
    TDateTime editTime = 0;
};
