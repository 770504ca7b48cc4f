// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Memo.h"
#include "core/RowPrints.h"
#include "core/Task.h"
#include "core/Transaction.h"
#include <functional>
#include <optional>
#include <vector>

class Database;

// A row with its place in the table: put back there, it keeps the table's order, and its
// empty columns stay empty (bit i set: the i-th column held NULL).
struct MemoRow {
    qint64 rowid = 0;
    Memo memo;
    quint32 nullColumns = 0;
};
struct TaskRow {
    qint64 rowid = 0;
    Task task;
    quint32 nullColumns = 0;
};

// A memo and a task as an exchange file hands them over: the texts as UTF-8 that lives at
// least until the call that stores them returns.
struct MemoBytes {
    QByteArrayView mid, pid, content;
    TimeStamp assignTime = 0, createTime = 0, editTime = 0;
};
struct TaskBytes {
    QByteArrayView tid, pid, content, checkFlag, alarmFlag, dueFlag, textColor, backgroundColor;
    TimeStamp createTime = 0, editTime = 0, checkTime = 0, alarmTime = 0, dueTime = 0;
};

// The memos and tasks tables behind a typed interface. Every call runs prepared statements
// with bound values and resets them before it returns, so no read lock outlives a call (a
// transaction holds its lock until it ends, which also spares a long run of reads one lock
// each). All calls throw DatabaseError when the engine refuses them; a value over the
// engine's length limit is refused, never stored empty. Lists come in table order.
class MemoStore {
public:
    explicit MemoStore(Database &database);

    bool isReadOnly() const;
    void setWaitsForLocks(bool waits);
    // Statements issued while it lives reach the disk together (see Transaction). A batch
    // that reads before it writes takes the write lock at once, so that it waits for another
    // process's lock instead of being refused at its first write.
    Transaction transaction(Transaction::Lock lock = Transaction::Lock::Deferred,
                            Transaction::OnFailure onFailure = Transaction::OnFailure::KeepDone)
    {
        return Transaction(m_database, lock, onFailure);
    }
    // Statements issued while it lives are stored all together or, on a failure, not at all.
    Transaction allOrNothing() { return Transaction(m_database, Transaction::Lock::Deferred, Transaction::OnFailure::TakeBack); }

    std::vector<Memo> children(const QString &pid); // MemoLevels::kTopLevelParent for the top level
    qint64 count();
    // A new memo as the list adds it: no expanded flag, and no assign time when it has none.
    void insert(const Memo &memo);
    // Throws when the memo is no longer stored.
    void updateText(const QString &mid, const QString &content, TimeStamp editTime);
    void setExpanded(const QString &mid, bool expanded);
    void move(const QString &mid, const QString &pid);
    // The rows removed: the memos' first, then their sub-memos'.
    std::vector<MemoRow> removeWithSubMemos(const QString &mid);
    std::vector<MemoRow> removeWithSubMemos(const std::vector<QString> &mids);

    // What taking a step back and doing it again need: rows with their places, found by id
    // (in the order asked, missing ones left out) or stored after a place (in table order),
    // removed by id, and put back whole, in their old place where it is free.
    std::vector<MemoRow> memoRows(const std::vector<QString> &mids);
    std::vector<MemoRow> memoRowsAt(const std::vector<qint64> &rowids); // in rowid order
    qint64 lastMemoRow();
    qint64 lastTaskRow();
    std::vector<MemoRow> memoRowsAfter(qint64 rowid);
    std::vector<TaskRow> taskRowsAfter(qint64 rowid);
    void removeMemo(const QString &mid);
    void removeTask(const QString &tid);
    void putBack(const MemoRow &row);
    void putBack(const TaskRow &row);

    // Every memo in table order, handed over one at a time (the load keeps no second copy);
    // with prints, also what a refresh compares later (see rowPrints).
    void forEachMemo(const std::function<void(Memo &)> &visit, RowPrints *prints = nullptr);
    // Every row's print, taken by the engine in one pass: a look at what another process
    // changed reads back only the rows whose prints differ from the last look's.
    RowPrints rowPrints();

    // What backup, restore and import need.
    std::vector<Memo> allMemos();
    std::vector<Task> allTasks();
    std::optional<Memo> findMemo(const QString &mid);
    std::optional<Task> findTask(const QString &tid);
    // Inserts the record, or replaces the stored one with its id in place (its position in
    // the table, and a memo's expanded flag, stay).
    void storeMemo(const Memo &memo);
    void storeMemo(const MemoBytes &memo);
    // Inserts the memo, or replaces every column of the stored one with its id, the expanded
    // flag too.
    void storeWhole(const Memo &memo);
    void storeTask(const Task &task);
    void storeTask(const TaskBytes &task);
    // Inserts the record unless one with its id is stored; false when one is.
    bool insertNewMemo(const MemoBytes &memo);
    bool insertNewTask(const TaskBytes &task);
    // Memos the tree could not show (under a missing memo, under themselves or under a
    // sub-memo) become top-level memos.
    void liftHiddenMemos();

private:
    Database &m_database;
};
