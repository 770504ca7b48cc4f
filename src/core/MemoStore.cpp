#include "core/MemoStore.h"
#include "core/Database.h"
#include "core/DatabaseError.h"
#include "core/Statement.h"

namespace {

#define MEMO_COLUMNS "mid, pid, content, expandFlag, assignTime, createTime, editTime"
#define TASK_COLUMNS                                                                                                 \
    "tid, pid, content, checkFlag, alarmFlag, dueFlag, textColor, backgroundColor, createTime, editTime, checkTime," \
    " alarmTime, dueTime"

Memo readMemo(const Statement &row)
{
    Memo memo;
    memo.mid = row.text(0);
    memo.pid = row.text(1);
    memo.content = row.text(2);
    memo.expandFlag = row.flag(3);
    memo.assignTime = row.time(4);
    memo.createTime = row.time(5);
    memo.editTime = row.time(6);
    return memo;
}

Task readTask(const Statement &row)
{
    Task task;
    task.tid = row.text(0);
    task.pid = row.text(1);
    task.content = row.text(2);
    task.checkFlag = row.text(3);
    task.alarmFlag = row.text(4);
    task.dueFlag = row.text(5);
    task.textColor = row.text(6);
    task.backgroundColor = row.text(7);
    task.createTime = row.time(8);
    task.editTime = row.time(9);
    task.checkTime = row.time(10);
    task.alarmTime = row.time(11);
    task.dueTime = row.time(12);
    return task;
}

std::vector<Memo> readMemos(Statement &query)
{
    std::vector<Memo> memos;
    while (query.nextRow())
        memos.push_back(readMemo(query));
    return memos;
}

} // namespace

MemoStore::MemoStore(Database &database) : m_database(database) {}

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
    // A pasted memo has no assign time; its row keeps the table's default.
    if (memo.assignTime != 0)
        insert.bind("assignTime", memo.assignTime);
    else
        insert.bindNull("assignTime");
    insert.bind("editTime", memo.editTime).run();
}

void MemoStore::updateText(const QString &mid, const QString &content, TimeStamp editTime)
{
    Statement update(m_database, "update memos set content=?, editTime=? where mid=?");
    update.bind("content", content).bind("editTime", editTime).bind("mid", mid).run();
    if (update.changes() == 0)
        throw DatabaseError(QStringLiteral("The memo is no longer in the memo database."));
}

void MemoStore::setExpanded(const QString &mid, bool expanded)
{
    Statement(m_database, "update memos set expandFlag=? where mid=?").bind("expandFlag", expanded).bind("mid", mid).run();
}

void MemoStore::move(const QString &mid, const QString &pid)
{
    Statement(m_database, "update memos set pid=? where mid=?").bind("pid", pid).bind("mid", mid).run();
}

void MemoStore::removeWithSubMemos(const QString &mid)
{
    Statement(m_database, "delete from memos where mid=?").bind("mid", mid).run();
    Statement(m_database, "delete from memos where pid=?").bind("pid", mid).run();
}

void MemoStore::forEachMemo(const std::function<void(Memo &)> &visit)
{
    {
        Statement query(m_database, "select " MEMO_COLUMNS " from memos");
        while (query.nextRow()) {
            Memo memo = readMemo(query);
            visit(memo);
        }
    }
    // The whole file was read in: its pages would otherwise stay resident as the program's.
    m_database.releaseMappedPages();
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

// Binds the record to the statement and runs it; the number of rows it changed.
int runWithMemo(Statement &&statement, const Memo &memo)
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

int runWithTask(Statement &&statement, const Task &task)
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
    runWithMemo(Statement(m_database, MEMO_INSERT " on conflict(mid) do update set pid=excluded.pid,"
                                                  " content=excluded.content, assignTime=excluded.assignTime,"
                                                  " createTime=excluded.createTime, editTime=excluded.editTime"),
                memo);
}

bool MemoStore::insertNewMemo(const Memo &memo)
{
    return runWithMemo(Statement(m_database, MEMO_INSERT " on conflict(mid) do nothing"), memo) > 0;
}

void MemoStore::storeTask(const Task &task)
{
    runWithTask(Statement(m_database, TASK_INSERT " on conflict(tid) do update set pid=excluded.pid,"
                                                  " content=excluded.content, checkFlag=excluded.checkFlag,"
                                                  " alarmFlag=excluded.alarmFlag, dueFlag=excluded.dueFlag,"
                                                  " textColor=excluded.textColor,"
                                                  " backgroundColor=excluded.backgroundColor,"
                                                  " createTime=excluded.createTime, editTime=excluded.editTime,"
                                                  " checkTime=excluded.checkTime, alarmTime=excluded.alarmTime,"
                                                  " dueTime=excluded.dueTime"),
                task);
}

bool MemoStore::insertNewTask(const Task &task)
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
    Statement(m_database, "update memos set pid='root' where rowid in (select c.rowid from memos c where c.pid is null"
                          " or (c.pid<>'root' and not exists (select 1 from memos p where p.mid=c.pid"
                          " and p.rowid<>c.rowid)))")
        .run();
    Statement(m_database, "update memos set pid='root' where rowid in (select c.rowid from memos c where"
                          " c.pid<>'root' and c.pid not in (select mid from memos where pid='root'))")
        .run();
}
