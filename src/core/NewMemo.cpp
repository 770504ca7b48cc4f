// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/NewMemo.h"
#include "core/MemoId.h"

namespace {

std::function<TimeStamp()> &setClock()
{
    static std::function<TimeStamp()> set;
    return set;
}

} // namespace

TimeStamp memoClockNow()
{
    return setClock() ? setClock()() : dateTimeNow();
}

void setMemoClock(std::function<TimeStamp()> clock)
{
    setClock() = std::move(clock);
}

Memo newMemo(const QString &pid, const QString &content)
{
    Memo memo;
    memo.mid = newMemoId();
    memo.pid = pid;
    memo.content = content;
    memo.createTime = memoClockNow();
    memo.assignTime = memo.createTime;
    memo.editTime = memoClockNow();
    return memo;
}
