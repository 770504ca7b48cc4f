// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MemoStore.h"
#include "core/Database.h"
#include "core/DatabaseError.h"
#include "core/MemoLevels.h"
#include "core/Statement.h"
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <string>

namespace {

#define MEMO_COLUMNS "mid, pid, content, expandFlag, assignTime, createTime, editTime"
#define TASK_COLUMNS                                                                                                 \
    "tid, pid, content, checkFlag, alarmFlag, dueFlag, textColor, backgroundColor, createTime, editTime, checkTime," \
    " alarmTime, dueTime"

// The parent ids of a pass over the table: most rows name the top level or the parent of the
// row before, and those share one copy of the id instead of each decoding its own.
class ParentIds {
public:
    QString read(const Statement &row, int column)
    {
        const QByteArrayView utf8 = row.textBytes(column);
        if (utf8.isNull())
            return row.text(column);
        if (utf8 == MemoLevels::kTopLevelParentUtf8)
            return MemoLevels::kTopLevelParent;
        if (utf8 != QByteArrayView(m_lastUtf8.data(), qsizetype(m_lastUtf8.size()))) {
            m_last = QString::fromUtf8(utf8);
            m_lastUtf8.assign(utf8.data(), size_t(utf8.size())); // in the room of the one before
        }
        return m_last;
    }

private:
    std::string m_lastUtf8;
    QString m_last;
};

// The columns from first on are MEMO_COLUMNS.
Memo readMemo(const Statement &row, int first = 0, ParentIds *parents = nullptr)
{
    Memo memo;
    memo.mid = row.text(first);
    memo.pid = parents ? parents->read(row, first + 1) : row.text(first + 1);
    memo.content = row.text(first + 2);
    memo.expandFlag = row.flag(first + 3);
    memo.assignTime = row.time(first + 4);
    memo.createTime = row.time(first + 5);
    memo.editTime = row.time(first + 6);
    return memo;
}

// The columns from first on are TASK_COLUMNS.
Task readTask(const Statement &row, int first = 0)
{
    Task task;
    task.tid = row.text(first);
    task.pid = row.text(first + 1);
    task.content = row.text(first + 2);
    task.checkFlag = row.text(first + 3);
    task.alarmFlag = row.text(first + 4);
    task.dueFlag = row.text(first + 5);
    task.textColor = row.text(first + 6);
    task.backgroundColor = row.text(first + 7);
    task.createTime = row.time(first + 8);
    task.editTime = row.time(first + 9);
    task.checkTime = row.time(first + 10);
    task.alarmTime = row.time(first + 11);
    task.dueTime = row.time(first + 12);
    return task;
}

std::vector<Memo> readMemos(Statement &query)
{
    std::vector<Memo> memos;
    while (query.nextRow())
        memos.push_back(readMemo(query));
    return memos;
}

quint32 nullColumns(const Statement &row, int first, int count)
{
    quint32 nulls = 0;
    for (int i = 0; i < count; ++i)
        nulls |= row.isNull(first + i) ? 1u << i : 0u;
    return nulls;
}

// Rows read as "rowid, " MEMO_COLUMNS.
void readMemoRows(Statement &query, std::vector<MemoRow> &rows)
{
    while (query.nextRow())
        rows.push_back({query.integer(0), readMemo(query, 1), nullColumns(query, 1, 7)});
}

// A pasted memo has no assign time: its column stays empty, as the table's default.
Statement &bindAssignTime(Statement &statement, TimeStamp assignTime)
{
    return assignTime != 0 ? statement.bind("assignTime", assignTime) : statement.bindNull("assignTime");
}

qint64 lastRow(Statement &&query)
{
    query.nextRow();
    const qint64 rowid = query.integer(0);
    query.run();
    return rowid;
}

// A row put back takes its old rowid unless another row has taken it meanwhile.
#define FREE_ROWID(table) "(case when exists (select 1 from " table " where rowid=?) then null else ? end)"

// Binds a row's values in column order, NULL where the row held NULL.
class RowBinder {
public:
    RowBinder(Statement &statement, quint32 nullColumns) : m_statement(statement), m_nulls(nullColumns) {}
    template <typename Value>
    RowBinder &operator()(const char *name, const Value &value)
    {
        if (m_nulls & (1u << m_column++))
            m_statement.bindNull(name);
        else
            m_statement.bind(name, value);
        return *this;
    }

private:
    Statement &m_statement;
    quint32 m_nulls;
    int m_column = 0;
};

} // namespace

MemoStore::MemoStore(Database &database) : m_database(database) {}

void MemoStore::setWaitsForLocks(bool waits)
{
    m_database.setWaitsForLocks(waits);
}

bool MemoStore::isReadOnly() const
{
    return m_database.isReadOnly();
}

std::vector<Memo> MemoStore::children(const QString &pid)
{
    Statement query(m_database, "select " MEMO_COLUMNS " from memos where pid=?");
    query.bind("pid", pid);
    return readMemos(query);
}

qint64 MemoStore::count()
{
    Statement query(m_database, "select count(*) from memos");
    query.nextRow();
    const qint64 count = query.integer(0);
    query.run();
    return count;
}

void MemoStore::insert(const Memo &memo)
{
    Statement insert(m_database,
                     "insert into memos (mid, pid, content, createTime, assignTime, editTime) values (?, ?, ?, ?, ?, ?)");
    insert.bind("mid", memo.mid).bind("pid", memo.pid).bind("content", memo.content).bind("createTime", memo.createTime);
    bindAssignTime(insert, memo.assignTime).bind("editTime", memo.editTime).run();
}

void MemoStore::storeWhole(const Memo &memo)
{
    Statement put(m_database, "insert into memos (mid, pid, content, expandFlag, createTime, assignTime, editTime)"
                              " values (?, ?, ?, ?, ?, ?, ?) on conflict(mid) do update set pid=excluded.pid,"
                              " content=excluded.content, expandFlag=excluded.expandFlag, assignTime=excluded.assignTime,"
                              " createTime=excluded.createTime, editTime=excluded.editTime");
    put.bind("mid", memo.mid).bind("pid", memo.pid).bind("content", memo.content).bind("expandFlag", memo.expandFlag);
    put.bind("createTime", memo.createTime);
    bindAssignTime(put, memo.assignTime).bind("editTime", memo.editTime).run();
}

void MemoStore::updateText(const QString &mid, const QString &content, TimeStamp editTime)
{
    Statement update(m_database, "update memos set content=?, editTime=? where mid=?");
    update.bind("content", content).bind("editTime", editTime).bind("mid", mid).run();
    if (update.changes() == 0)
        throw DatabaseError(QCoreApplication::translate("MemoStore", "The memo is no longer in the memo database."));
}

void MemoStore::setExpanded(const QString &mid, bool expanded)
{
    Statement(m_database, "update memos set expandFlag=? where mid=?").bind("expandFlag", expanded).bind("mid", mid).run();
}

void MemoStore::move(const QString &mid, const QString &pid)
{
    Statement(m_database, "update memos set pid=? where mid=?").bind("pid", pid).bind("mid", mid).run();
}

std::vector<MemoRow> MemoStore::removeWithSubMemos(const QString &mid)
{
    return removeWithSubMemos(std::vector<QString>{mid});
}

std::vector<MemoRow> MemoStore::removeWithSubMemos(const std::vector<QString> &mids)
{
    // Two statements for any number of memos, the ids handed over as one JSON array; the
    // rows come back from the deletes themselves, so keeping them costs no second search.
    QJsonArray list;
    for (const QString &mid : mids)
        list.append(mid);
    const QString ids = QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
    std::vector<MemoRow> rows;
    Statement memos(m_database, "delete from memos where mid in (select value from json_each(?))"
                                " returning rowid, " MEMO_COLUMNS);
    memos.bind("mid", ids);
    readMemoRows(memos, rows);
    Statement subMemos(m_database, "delete from memos where pid in (select value from json_each(?))"
                                   " returning rowid, " MEMO_COLUMNS);
    subMemos.bind("pid", ids);
    readMemoRows(subMemos, rows);
    return rows;
}

std::vector<MemoRow> MemoStore::memoRowsAt(const std::vector<qint64> &rowids)
{
    QJsonArray list;
    for (qint64 rowid : rowids)
        list.append(rowid);
    std::vector<MemoRow> rows;
    rows.reserve(rowids.size());
    Statement query(m_database, "select rowid, " MEMO_COLUMNS " from memos where rowid in (select value from json_each(?))");
    query.bind("rowid", QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact)));
    readMemoRows(query, rows);
    return rows;
}

std::vector<MemoRow> MemoStore::memoRows(const std::vector<QString> &mids)
{
    std::vector<MemoRow> rows;
    rows.reserve(mids.size());
    for (const QString &mid : mids) {
        Statement query(m_database, "select rowid, " MEMO_COLUMNS " from memos where mid=?");
        query.bind("mid", mid);
        readMemoRows(query, rows);
    }
    return rows;
}

qint64 MemoStore::lastMemoRow()
{
    return lastRow(Statement(m_database, "select coalesce(max(rowid), 0) from memos"));
}

qint64 MemoStore::lastTaskRow()
{
    return lastRow(Statement(m_database, "select coalesce(max(rowid), 0) from tasks"));
}

std::vector<MemoRow> MemoStore::memoRowsAfter(qint64 rowid)
{
    std::vector<MemoRow> rows;
    Statement query(m_database, "select rowid, " MEMO_COLUMNS " from memos where rowid>? order by rowid");
    query.bindInteger("rowid", rowid);
    readMemoRows(query, rows);
    return rows;
}

std::vector<TaskRow> MemoStore::taskRowsAfter(qint64 rowid)
{
    std::vector<TaskRow> rows;
    Statement query(m_database, "select rowid, " TASK_COLUMNS " from tasks where rowid>? order by rowid");
    query.bindInteger("rowid", rowid);
    while (query.nextRow())
        rows.push_back({query.integer(0), readTask(query, 1), nullColumns(query, 1, 13)});
    return rows;
}

void MemoStore::removeMemo(const QString &mid)
{
    Statement(m_database, "delete from memos where mid=?").bind("mid", mid).run();
}

void MemoStore::removeTask(const QString &tid)
{
    Statement(m_database, "delete from tasks where tid=?").bind("tid", tid).run();
}

void MemoStore::putBack(const MemoRow &row)
{
    const Memo &memo = row.memo;
    Statement put(m_database, "insert into memos (rowid, " MEMO_COLUMNS ") values (" FREE_ROWID("memos")
                              ", ?, ?, ?, ?, ?, ?, ?) on conflict(mid) do update set pid=excluded.pid,"
                              " content=excluded.content, expandFlag=excluded.expandFlag,"
                              " assignTime=excluded.assignTime, createTime=excluded.createTime,"
                              " editTime=excluded.editTime");
    put.bindInteger("rowid", row.rowid).bindInteger("rowid", row.rowid);
    RowBinder(put, row.nullColumns)("mid", memo.mid)("pid", memo.pid)("content", memo.content)(
        "expandFlag", memo.expandFlag)("assignTime", memo.assignTime)("createTime", memo.createTime)("editTime",
                                                                                                 memo.editTime);
    put.run();
}

void MemoStore::putBack(const TaskRow &row)
{
    const Task &task = row.task;
    Statement put(m_database, "insert into tasks (rowid, " TASK_COLUMNS ") values (" FREE_ROWID("tasks")
                              ", ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    put.bindInteger("rowid", row.rowid).bindInteger("rowid", row.rowid);
    RowBinder(put, row.nullColumns)("tid", task.tid)("pid", task.pid)("content", task.content)(
        "checkFlag", task.checkFlag)("alarmFlag", task.alarmFlag)("dueFlag", task.dueFlag)("textColor", task.textColor)(
        "backgroundColor", task.backgroundColor)("createTime", task.createTime)("editTime", task.editTime)(
        "checkTime", task.checkTime)("alarmTime", task.alarmTime)("dueTime", task.dueTime);
    put.run();
}

void MemoStore::forEachMemo(const std::function<void(Memo &)> &visit, RowPrints *prints)
{
    {
        Statement query(m_database, prints ? "select rowid, memo_print(mid, pid, expandFlag, editTime), " MEMO_COLUMNS
                                              " from memos"
                                            : "select 0, 0, " MEMO_COLUMNS " from memos");
        if (prints)
            prints->clear();
        ParentIds parents;
        while (query.nextRow()) {
            Memo memo = readMemo(query, 2, &parents);
            if (prints)
                prints->push_back({query.integer(0), idPrint(memo.mid), quint64(query.integer(1))});
            visit(memo);
        }
    }
    // The whole file was read in: its pages would otherwise stay resident as the program's.
    m_database.releaseMappedPages();
}

RowPrints MemoStore::rowPrints()
{
    RowPrints prints;
    {
        Statement query(m_database, "select memo_prints(?, rowid, mid, pid, expandFlag, editTime) from memos");
        query.bindPointer(&prints, kRowPrintsType).run();
    }
    m_database.releaseMappedPages();
    // A pass over a rowid table goes in rowid order; a table with its own order is sorted.
    if (!std::is_sorted(prints.begin(), prints.end(), [](const RowPrint &a, const RowPrint &b) { return a.rowid < b.rowid; }))
        std::sort(prints.begin(), prints.end(), [](const RowPrint &a, const RowPrint &b) { return a.rowid < b.rowid; });
    return prints;
}

std::vector<Memo> MemoStore::allMemos()
{
    std::vector<Memo> memos;
    forEachMemo([&memos](Memo &memo) { memos.push_back(std::move(memo)); });
    return memos;
}

std::vector<Task> MemoStore::allTasks()
{
    Statement query(m_database, "select " TASK_COLUMNS " from tasks");
    std::vector<Task> tasks;
    while (query.nextRow())
        tasks.push_back(readTask(query));
    return tasks;
}

std::optional<Memo> MemoStore::findMemo(const QString &mid)
{
    Statement query(m_database, "select " MEMO_COLUMNS " from memos where mid=?");
    query.bind("mid", mid);
    std::vector<Memo> found = readMemos(query);
    return found.empty() ? std::nullopt : std::optional<Memo>(std::move(found.front()));
}

std::optional<Task> MemoStore::findTask(const QString &tid)
{
    Statement query(m_database, "select " TASK_COLUMNS " from tasks where tid=?");
    query.bind("tid", tid);
    if (!query.nextRow())
        return std::nullopt;
    Task task = readTask(query);
    query.run();
    return task;
}

namespace {

#define MEMO_INSERT                                                                                                  \
    "insert into memos (mid, pid, content, assignTime, createTime, editTime) values (?, ?, ?, ?, ?, ?)"
#define TASK_INSERT "insert into tasks (" TASK_COLUMNS ") values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"

#define MEMO_STORE                                                                                                   \
    MEMO_INSERT " on conflict(mid) do update set pid=excluded.pid, content=excluded.content,"                        \
                " assignTime=excluded.assignTime, createTime=excluded.createTime, editTime=excluded.editTime"
#define TASK_STORE                                                                                                   \
    TASK_INSERT " on conflict(tid) do update set pid=excluded.pid, content=excluded.content,"                        \
                " checkFlag=excluded.checkFlag, alarmFlag=excluded.alarmFlag, dueFlag=excluded.dueFlag,"             \
                " textColor=excluded.textColor, backgroundColor=excluded.backgroundColor,"                           \
                " createTime=excluded.createTime, editTime=excluded.editTime, checkTime=excluded.checkTime,"         \
                " alarmTime=excluded.alarmTime, dueTime=excluded.dueTime"

// Binds the record (as text or as UTF-8) to the statement and runs it; the number of rows it
// changed.
template <typename MemoValues>
int runWithMemo(Statement &&statement, const MemoValues &memo)
{
    statement.bind("mid", memo.mid)
        .bind("pid", memo.pid)
        .bind("content", memo.content)
        .bind("assignTime", memo.assignTime)
        .bind("createTime", memo.createTime)
        .bind("editTime", memo.editTime)
        .run();
    return statement.changes();
}

template <typename TaskValues>
int runWithTask(Statement &&statement, const TaskValues &task)
{
    statement.bind("tid", task.tid)
        .bind("pid", task.pid)
        .bind("content", task.content)
        .bind("checkFlag", task.checkFlag)
        .bind("alarmFlag", task.alarmFlag)
        .bind("dueFlag", task.dueFlag)
        .bind("textColor", task.textColor)
        .bind("backgroundColor", task.backgroundColor)
        .bind("createTime", task.createTime)
        .bind("editTime", task.editTime)
        .bind("checkTime", task.checkTime)
        .bind("alarmTime", task.alarmTime)
        .bind("dueTime", task.dueTime)
        .run();
    return statement.changes();
}

} // namespace

void MemoStore::storeMemo(const Memo &memo)
{
    runWithMemo(Statement(m_database, MEMO_STORE), memo);
}

void MemoStore::storeMemo(const MemoBytes &memo)
{
    runWithMemo(Statement(m_database, MEMO_STORE), memo);
}

bool MemoStore::insertNewMemo(const MemoBytes &memo)
{
    return runWithMemo(Statement(m_database, MEMO_INSERT " on conflict(mid) do nothing"), memo) > 0;
}

void MemoStore::storeTask(const Task &task)
{
    runWithTask(Statement(m_database, TASK_STORE), task);
}

void MemoStore::storeTask(const TaskBytes &task)
{
    runWithTask(Statement(m_database, TASK_STORE), task);
}

bool MemoStore::insertNewTask(const TaskBytes &task)
{
    return runWithTask(Statement(m_database, TASK_INSERT " on conflict(tid) do nothing"), task) > 0;
}

void MemoStore::liftHiddenMemos()
{
    // First a memo whose parent is itself, no memo at all or nothing; then one whose parent
    // is a sub-memo (a grandchild, a cycle).
    // Both look for the rows to change in the indexes alone (the parent index holds every
    // row's pid and rowid, the id index every mid and rowid), never reading the memo texts:
    // "under itself" is a parent found at the row's own rowid.
    // ?1 is the top-level parent.
    Statement(m_database, "update memos set pid=?1 where rowid in (select c.rowid from memos c where c.pid is null"
                          " or (c.pid<>?1 and not exists (select 1 from memos p where p.mid=c.pid"
                          " and p.rowid<>c.rowid)))")
        .bind("pid", MemoLevels::kTopLevelParent)
        .run();
    Statement(m_database, "update memos set pid=?1 where rowid in (select c.rowid from memos c where"
                          " c.pid<>?1 and c.pid not in (select mid from memos where pid=?1))")
        .bind("pid", MemoLevels::kTopLevelParent)
        .run();
}
