// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Memo.h"
#include <functional>

// The clock that new and edited memos are stamped with: the local time, unless a test has set
// another (an empty function sets the local time again).
TimeStamp memoClockNow();
void setMemoClock(std::function<TimeStamp()> clock);

// A memo that is about to be stored for the first time: a fresh id, created and assigned now,
// and edited at a second reading of the clock.
Memo newMemo(const QString &pid, const QString &content);
