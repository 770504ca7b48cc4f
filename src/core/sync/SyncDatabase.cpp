// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sync/SyncDatabase.h"
#include "core/Database.h"
#include "core/MemoLevels.h"
#include "core/MemoStore.h"
#include "core/Statement.h"
#include <QDateTime>
#include <QHash>
#include <QUuid>
#include <algorithm>

namespace {

// The triggers note every memo that anyone (the program, jotwell-cli, another program on the
// file) inserts, changes or removes, so a round looks at those alone.
const char *const kSchema =
    "create table if not exists sync_state (key text primary key, value);"
    "create table if not exists sync_ops (origin text not null, counter integer not null, clock integer not null,"
    " mid text not null, fields integer not null, pid text, content text, expandFlag integer, assignTime real,"
    " createTime real, editTime real, replaces text, primary key (mid, origin, counter)) without rowid;"
    "create index if not exists sync_ops_origin on sync_ops(origin, counter);"
    "create table if not exists sync_rows (mid text primary key, shown text, copyOf text, rawPid text, pid text,"
    " contentHash integer, expandFlag integer, assignTime real, createTime real, editTime real, implied integer)"
    " without rowid;"
    // Conflict copies are few and sub-memos fewer than memos: the indexes hold only those.
    "create index if not exists sync_rows_copy on sync_rows(copyOf) where copyOf<>'';"
    "create table if not exists sync_changes (mid text);"
    "create table if not exists sync_peers (origin text primary key, covered integer, generation integer,"
    " offset integer);";
const char *const kTriggers =
    "create trigger if not exists sync_memo_insert after insert on memos begin"
    " insert into sync_changes (mid) values (new.mid); end;"
    "create trigger if not exists sync_memo_update after update on memos begin"
    " insert into sync_changes (mid) values (old.mid);"
    " insert into sync_changes (mid) select new.mid where new.mid is not old.mid; end;"
    "create trigger if not exists sync_memo_delete after delete on memos begin"
    " insert into sync_changes (mid) values (old.mid); end;";

qint64 g_clockOffset = 0;

// Past this many memos a merge reads and checks the stretch of the tables that holds them in
// one pass instead of memo by memo.
constexpr qsizetype kRowByRow = 1000;

// Whether id a comes before b in the tables, which order them by their UTF-8 bytes, that is by
// code point: UTF-16 units order so but for surrogates, which stand for the largest.
bool storedBefore(QStringView a, QStringView b)
{
    const auto rank = [](char16_t unit) { return unit < 0xD800 ? int(unit) : unit < 0xE000 ? unit + 0x2000 : unit - 0x800; };
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (a[i] != b[i])
            return rank(a[i].unicode()) < rank(b[i].unicode());
    }
    return a.size() < b.size();
}

// The first and the last id of mids in the tables' order.
std::pair<QByteArray, QByteArray> idRange(const QSet<QString> &mids)
{
    const QString *first = nullptr;
    const QString *last = nullptr;
    for (const QString &mid : mids) {
        if (!first || storedBefore(mid, *first))
            first = &mid;
        if (!last || storedBefore(*last, mid))
            last = &mid;
    }
    return first ? std::pair(first->toUtf8(), last->toUtf8()) : std::pair<QByteArray, QByteArray>();
}

qint64 contentHash(const QString &content)
{
    return qint64(qHash(content, 0));
}

QString dotsText(const std::vector<SyncDot> &dots)
{
    QStringList texts;
    for (const SyncDot &dot : dots)
        texts << dot.text();
    return texts.join(QLatin1Char(' '));
}

std::vector<SyncDot> dotsFromText(const QString &text)
{
    std::vector<SyncDot> dots;
    for (const QString &part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        dots.push_back(SyncDot::fromText(part));
    return dots;
}

#define OP_COLUMNS "origin, counter, clock, mid, fields, pid, content, expandFlag, assignTime, createTime, editTime, replaces"

SyncOp readOp(const Statement &row)
{
    SyncOp op;
    op.dot = {row.text(0), row.integer(1)};
    op.clock = row.integer(2);
    op.memo.mid = row.text(3);
    op.fields = quint8(row.integer(4));
    op.memo.pid = row.text(5);
    op.memo.content = row.text(6);
    op.memo.expandFlag = row.flag(7);
    op.memo.assignTime = row.time(8);
    op.memo.createTime = row.time(9);
    op.memo.editTime = row.time(10);
    op.replaces = dotsFromText(row.text(11));
    return op;
}

// The row as the memo table holds it now, and as the last merge left it.
struct LocalRow {
    Memo memo;
    qint64 hash = 0;
};
struct ShadowRow {
    LocalRow row;
    SyncDot shown;
    QString copyOf;
};

std::optional<LocalRow> memoRow(Database &database, const QString &mid)
{
    Statement query(database, "select pid, content, expandFlag, assignTime, createTime, editTime from memos where mid=?");
    query.bind("mid", mid);
    if (!query.nextRow())
        return std::nullopt;
    LocalRow row;
    row.memo = {mid, query.text(0), query.text(1), query.flag(2), query.time(3), query.time(4), query.time(5)};
    row.hash = contentHash(row.memo.content);
    return row;
}

std::optional<ShadowRow> shadowRow(Database &database, const QString &mid)
{
    Statement query(database, "select pid, contentHash, expandFlag, assignTime, createTime, editTime, shown, copyOf"
                              " from sync_rows where mid=?");
    query.bind("mid", mid);
    if (!query.nextRow())
        return std::nullopt;
    ShadowRow shadow;
    shadow.row.memo = {mid, query.text(0), {}, query.flag(2), query.time(3), query.time(4), query.time(5)};
    shadow.row.hash = query.integer(1);
    shadow.shown = SyncDot::fromText(query.text(6));
    shadow.copyOf = query.text(7);
    return shadow;
}

void setAllFields(SyncOp &op, const Memo &memo)
{
    op.fields = SyncContent | SyncParent | SyncExpanded | SyncTimes;
    op.memo = memo;
}

} // namespace

void setSyncClockOffset(qint64 milliseconds)
{
    g_clockOffset = milliseconds;
}

SyncDatabase::SyncDatabase(Database &database) : m_database(database)
{
    if (!isEnabled(database))
        return;
    m_installation = stateValue(QStringLiteral("installation"));
    m_counter = stateValue(QStringLiteral("counter")).toLongLong();
    m_clock = stateValue(QStringLiteral("clock")).toLongLong();
    m_journal = {stateValue(QStringLiteral("journaled")).toLongLong(),
                 std::max<qint64>(1, stateValue(QStringLiteral("generation")).toLongLong()),
                 stateValue(QStringLiteral("journalSize")).toLongLong()};
    const QStringList noted = stateValue(QStringLiteral("notedAppend")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (noted.size() == 3)
        m_notedAppend = JournalPosition{noted[0].toLongLong(), noted[1].toLongLong(), noted[2].toLongLong()};
}

bool SyncDatabase::isEnabled(Database &database)
{
    Statement query(database, "select 1 from sqlite_master where type='table' and name='sync_state'");
    return query.nextRow();
}

void SyncDatabase::enable()
{
    if (isEnabled(m_database)) {
        // Tables made before rows could stand for their change get the column that says so.
        if (!Statement(m_database, "select 1 from pragma_table_info('sync_rows') where name='implied'").nextRow())
            m_database.execute(QStringLiteral("alter table sync_rows add column implied integer"));
        return;
    }
    m_database.execute(QString::fromLatin1(kSchema));
    // Top-level memos are most of them; a statement binds the parent id it means, so that the
    // index serves it.
    m_database.execute(QStringLiteral("create index if not exists sync_rows_parent on sync_rows(rawPid) where rawPid<>'%1'")
                           .arg(MemoLevels::kTopLevelParent));
    m_database.execute(QString::fromLatin1(kTriggers));
    startInstallation();
    m_database.execute(QStringLiteral("insert into sync_changes (mid) select mid from memos"));
}

void SyncDatabase::startInstallation()
{
    m_installation = QUuid::createUuid().toString(QUuid::Id128);
    m_counter = 0;
    m_journal = {0, 1, 0};
    m_notedAppend.reset();
    setStateValue(QStringLiteral("installation"), m_installation);
}

void SyncDatabase::settleHome(const QString &home)
{
    const QString known = stateValue(QStringLiteral("home"));
    if (known == home)
        return;
    if (!known.isEmpty())
        startInstallation();
    setStateValue(QStringLiteral("home"), home);
}

void SyncDatabase::setJournal(const JournalPosition &position)
{
    m_journal = position;
}

void SyncDatabase::setNotedAppend(const std::optional<JournalPosition> &position)
{
    m_notedAppend = position;
}

QString SyncDatabase::stateValue(const QString &key) const
{
    Statement query(m_database, "select value from sync_state where key=?");
    query.bind("key", key);
    return query.nextRow() ? query.text(0) : QString();
}

void SyncDatabase::setStateValue(const QString &key, const QString &value)
{
    Statement(m_database, "insert into sync_state (key, value) values (?, ?) on conflict(key) do update set value=excluded.value")
        .bind("key", key)
        .bind("value", value)
        .run();
}

void SyncDatabase::saveState()
{
    setStateValue(QStringLiteral("counter"), QString::number(m_counter));
    setStateValue(QStringLiteral("clock"), QString::number(m_clock));
    setStateValue(QStringLiteral("journaled"), QString::number(m_journal.covered));
    setStateValue(QStringLiteral("generation"), QString::number(m_journal.generation));
    setStateValue(QStringLiteral("journalSize"), QString::number(m_journal.offset));
    setStateValue(QStringLiteral("notedAppend"), m_notedAppend ? QStringLiteral("%1 %2 %3")
                                                                     .arg(m_notedAppend->covered)
                                                                     .arg(m_notedAppend->generation)
                                                                     .arg(m_notedAppend->offset)
                                                               : QString());
}

SyncOp SyncDatabase::newOp(const QString &mid)
{
    // Never behind the wall clock's milliseconds, nor behind any change seen: a computer whose
    // clock is a day late still orders its change after the ones it had read.
    const qint64 wall = (QDateTime::currentMSecsSinceEpoch() + g_clockOffset) << 16;
    m_clock = std::max(wall, m_clock + 1);
    SyncOp op;
    op.dot = {m_installation, ++m_counter};
    op.clock = m_clock;
    op.memo.mid = mid;
    return op;
}

void SyncDatabase::storeOp(const SyncOp &op)
{
    Statement insert(m_database, "insert into sync_ops (" OP_COLUMNS ") values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                                 " on conflict(mid, origin, counter) do nothing");
    insert.bind("origin", op.dot.origin).bindInteger("counter", op.dot.counter).bindInteger("clock", op.clock);
    insert.bind("mid", op.memo.mid).bindInteger("fields", op.fields).bind("pid", op.memo.pid).bind("content", op.memo.content);
    insert.bind("expandFlag", op.memo.expandFlag).bind("assignTime", op.memo.assignTime).bind("createTime", op.memo.createTime);
    insert.bind("editTime", op.memo.editTime).bind("replaces", dotsText(op.replaces)).run();
}

QSet<QString> SyncDatabase::captureLocalChanges()
{
    QStringList changed;
    {
        Statement query(m_database, "select distinct mid from sync_changes");
        while (query.nextRow())
            changed << query.text(0);
    }
    m_database.execute(QStringLiteral("delete from sync_changes"));
    QSet<QString> touched;
    for (const QString &mid : std::as_const(changed)) {
        const std::optional<LocalRow> row = memoRow(m_database, mid);
        const std::optional<ShadowRow> shadow = shadowRow(m_database, mid);
        if (shadow && !shadow->copyOf.isEmpty()) {
            // The user took up a conflict copy: it becomes a memo of its own, and its text
            // leaves the memo it came from.
            if (row) {
                SyncOp create = newOp(mid);
                setAllFields(create, row->memo);
                storeOp(create);
            }
            SyncOp retire = newOp(shadow->copyOf);
            retire.replaces = {shadow->shown};
            storeOp(retire);
            touched << mid << shadow->copyOf;
            continue;
        }
        SyncOp op = newOp(mid);
        if (row && !shadow) {
            setAllFields(op, row->memo);
        } else if (row) {
            const Memo &now = row->memo;
            const Memo &was = shadow->row.memo;
            if (row->hash != shadow->row.hash || now.editTime != was.editTime) {
                op.fields |= SyncContent;
                op.memo.content = now.content;
                op.memo.editTime = now.editTime;
                op.replaces = {shadow->shown};
            }
            if (now.pid != was.pid) {
                op.fields |= SyncParent;
                op.memo.pid = now.pid;
            }
            if (now.expandFlag != was.expandFlag) {
                op.fields |= SyncExpanded;
                op.memo.expandFlag = now.expandFlag;
            }
            if (now.assignTime != was.assignTime || now.createTime != was.createTime) {
                op.fields |= SyncTimes;
                op.memo.assignTime = now.assignTime;
                op.memo.createTime = now.createTime;
            }
        } else if (shadow) {
            op.replaces = {shadow->shown};
        }
        if (op.fields == 0 && op.replaces.empty()) {
            --m_counter; // nothing changed after all (written back as it was)
            continue;
        }
        storeOp(op);
        touched << mid;
    }
    return touched;
}

void SyncDatabase::readRowsOf(const QSet<QString> &mids, const char *stretchSql, const char *eachSql,
                              const std::function<void(Statement &)> &read)
{
    if (mids.size() > kRowByRow) {
        const auto [first, last] = idRange(mids);
        Statement query(m_database, stretchSql);
        query.bind("mid", QByteArrayView(first)).bind("mid", QByteArrayView(last));
        read(query);
        return;
    }
    for (const QString &mid : mids) {
        Statement query(m_database, eachSql);
        query.bind("mid", mid);
        read(query);
    }
}

QSet<QString> SyncDatabase::knownOf(const QSet<QString> &mids)
{
    QSet<QString> known;
    readRowsOf(mids,
               "select mid from sync_rows where mid between ?1 and ?2 union all select mid from sync_ops where mid between ?1 and ?2",
               "select mid from sync_rows where mid=?1 union all select mid from sync_ops where mid=?1 limit 1",
               [&](Statement &query) {
                   while (query.nextRow()) {
                       if (mids.contains(query.text(0)))
                           known << query.text(0);
                   }
               });
    return known;
}

void SyncDatabase::mergeRemoteOps(std::vector<SyncOp>::const_iterator first, std::vector<SyncOp>::const_iterator last)
{
    QHash<QString, int> opsOf;
    for (auto op = first; op != last; ++op) {
        m_clock = std::max(m_clock, op->clock);
        ++opsOf[op->memo.mid];
    }
    QSet<QString> mids;
    mids.reserve(opsOf.size());
    for (auto memo = opsOf.cbegin(); memo != opsOf.cend(); ++memo)
        mids << memo.key();
    if (m_noting && mids.size() > kRowByRow)
        setNotingChanges(false);
    const QSet<QString> known = knownOf(mids);
    QSet<QString> merging;
    for (auto op = first; op != last; ++op) {
        const QString &mid = op->memo.mid;
        // A memo new here that one change makes whole (as a snapshot brings most) is what its
        // row says: the change is stored only once another one comes for the memo.
        constexpr quint8 kWhole = SyncContent | SyncParent | SyncExpanded | SyncTimes;
        if (opsOf.value(mid) == 1 && op->fields == kWhole && op->replaces.empty() && !known.contains(mid)) {
            writeRow(*mergeMemo(mid, {*op}).main, op->clock);
            m_written << mid;
            continue;
        }
        storeOp(*op);
        merging << mid;
    }
    writeMerged(merging);
}

void SyncDatabase::forOpsOf(const QSet<QString> &mids, const std::function<void(const QString &, const std::vector<SyncOp> &)> &take)
{
    // A large merge (the first round of an installation comes in runs of neighbouring ids)
    // reads the changes of its stretch of ids in one pass in the table's order, which costs
    // less than asking memo by memo.
    readRowsOf(mids, "select " OP_COLUMNS " from sync_ops where mid between ? and ? order by mid",
               "select " OP_COLUMNS " from sync_ops where mid=?", [&](Statement &query) {
                   std::vector<SyncOp> ops;
                   const auto flush = [&] {
                       if (!ops.empty() && mids.contains(ops.front().memo.mid))
                           take(ops.front().memo.mid, ops);
                       ops.clear();
                   };
                   while (query.nextRow()) {
                       SyncOp op = readOp(query);
                       if (!ops.empty() && ops.front().memo.mid != op.memo.mid)
                           flush();
                       ops.push_back(std::move(op));
                   }
                   flush();
               });
}

void SyncDatabase::writeRow(const MergedRow &row, std::optional<qint64> impliedClock)
{
    const Memo &memo = row.memo;
    MemoStore(m_database).storeWhole(memo);
    Statement shadow(m_database, "insert or replace into sync_rows (mid, shown, copyOf, rawPid, pid, contentHash,"
                                 " expandFlag, assignTime, createTime, editTime, implied) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    shadow.bind("mid", memo.mid).bind("shown", row.shown.text()).bind("copyOf", row.copyOf).bind("rawPid", row.rawPid);
    shadow.bind("pid", memo.pid).bindInteger("contentHash", contentHash(memo.content)).bind("expandFlag", memo.expandFlag);
    shadow.bind("assignTime", memo.assignTime).bind("createTime", memo.createTime).bind("editTime", memo.editTime);
    if (impliedClock)
        shadow.bindInteger("implied", *impliedClock);
    else
        shadow.bindNull("implied");
    shadow.run();
}

// The change that a row stands for (see mergeRemoteOps()): its text is the memo's, unless a
// local change replaced it since, which makes it moot.
#define IMPLIED_OP                                                                                                   \
    "select r.mid, r.shown, r.implied, m.content, r.editTime, r.rawPid, r.expandFlag, r.assignTime, r.createTime"    \
    " from sync_rows r left join memos m on m.mid=r.mid where r.implied is not null"

void SyncDatabase::storeImpliedOps(const QSet<QString> &mids)
{
    std::vector<SyncOp> ops;
    auto collect = [&](Statement &query) {
        while (query.nextRow()) {
            if (!mids.contains(query.text(0)))
                continue;
            SyncOp op;
            op.memo.mid = query.text(0);
            op.dot = SyncDot::fromText(query.text(1));
            op.clock = query.integer(2);
            op.fields = SyncContent | SyncParent | SyncExpanded | SyncTimes;
            op.memo.content = query.text(3);
            op.memo.editTime = query.time(4);
            op.memo.pid = query.text(5);
            op.memo.expandFlag = query.flag(6);
            op.memo.assignTime = query.time(7);
            op.memo.createTime = query.time(8);
            ops.push_back(std::move(op));
        }
    };
    readRowsOf(mids, IMPLIED_OP " and r.mid between ? and ?", IMPLIED_OP " and r.mid=?", collect);
    for (const SyncOp &op : ops) {
        storeOp(op);
        Statement(m_database, "update sync_rows set implied=null where mid=?").bind("mid", op.memo.mid).run();
    }
}

void SyncDatabase::removeRow(const QString &mid)
{
    Statement(m_database, "delete from memos where mid=?").bind("mid", mid).run();
    Statement(m_database, "delete from sync_rows where mid=?").bind("mid", mid).run();
}

void SyncDatabase::setNotingChanges(bool noting)
{
    if (noting)
        m_database.execute(QString::fromLatin1(kTriggers));
    else
        m_database.execute(QStringLiteral("drop trigger sync_memo_insert; drop trigger sync_memo_update;"
                                          " drop trigger sync_memo_delete"));
    m_noting = noting;
}

void SyncDatabase::writeMerged(const QSet<QString> &mids)
{
    // A conflict copy is made by the memo it came from: merging one means merging that memo.
    // Copies are rare, and a round with none in sight looks for none.
    const bool copiesBefore = Statement(m_database, "select 1 from sync_rows where copyOf<>'' limit 1").nextRow();
    QSet<QString> families = mids;
    for (const QString &mid : mids) {
        if (!copiesBefore)
            break;
        Statement query(m_database, "select copyOf from sync_rows where mid=? and copyOf<>''");
        query.bind("mid", mid);
        if (query.nextRow())
            families << query.text(0);
    }
    auto hasOwnChanges = [this](const QString &mid) {
        Statement query(m_database, "select 1 from sync_ops where mid=?1 union all"
                                    " select 1 from sync_rows where mid=?1 and implied is not null");
        query.bind("mid", mid);
        return query.nextRow();
    };
    // What the merge writes is no change of this installation's. A large merge goes without
    // the triggers until finishMerge() (taken back with the transaction should it fail)
    // rather than noting every row only to forget it.
    if (m_noting && families.size() > kRowByRow)
        setNotingChanges(false);
    storeImpliedOps(families);
    bool anyCopies = false;
    // A copy and nothing more has no changes of its own: its memo merges it.
    forOpsOf(families, [&](const QString &mid, const std::vector<SyncOp> &ops) {
        const MergedMemo merged = mergeMemo(mid, ops);
        if (merged.main)
            writeRow(*merged.main);
        else
            removeRow(mid);
        QSet<QString> copies;
        for (const MergedRow &copy : merged.copies) {
            // A copy the user took up is a memo of its own from then on.
            if (hasOwnChanges(copy.memo.mid))
                continue;
            writeRow(copy);
            copies << copy.memo.mid;
            anyCopies = true;
        }
        QStringList gone;
        if (copiesBefore) {
            Statement query(m_database, "select mid from sync_rows where copyOf=? and copyOf<>''");
            query.bind("copyOf", mid);
            while (query.nextRow()) {
                if (!copies.contains(query.text(0)))
                    gone << query.text(0);
            }
        }
        // A memo the user put under a copy that goes goes to the top level.
        for (const QString &copy : std::as_const(gone)) {
            removeRow(copy);
            m_written << copy;
        }
    });
    QSet<QString> written = families;
    for (const QString &mid : std::as_const(families)) {
        if (!copiesBefore && !anyCopies)
            break;
        Statement query(m_database, "select mid from sync_rows where copyOf=? and copyOf<>''");
        query.bind("copyOf", mid);
        while (query.nextRow())
            written << query.text(0);
    }
    m_written += written;
}

void SyncDatabase::finishMerge()
{
    liftHiddenRows(m_written);
    m_written.clear();
    if (!m_noting)
        setNotingChanges(true);
    // The transaction began by taking the changes noted before it: what is noted now is the
    // merge's own writing.
    m_database.execute(QStringLiteral("delete from sync_changes"));
}

// Where the two-level rule puts row c: a memo under a missing memo or under itself goes to
// the top level (?1), and so does one whose parent is not a top-level memo then.
#define LIFTED_PARENT                                                                                                \
    "select c.mid, case when c.rawPid=?1 then ?1 when p.mid is null or p.mid=c.mid then ?1"                          \
    " when p.rawPid=?1 or p.rawPid=p.mid or not exists (select 1 from sync_rows g where g.mid=p.rawPid)"             \
    " then p.mid else ?1 end, c.pid from sync_rows c left join sync_rows p on p.mid=c.rawPid"

QSet<QString> SyncDatabase::subMemosOf(const QSet<QString> &mids)
{
    QSet<QString> children;
    readRowsOf(mids, "select mid, rawPid from sync_rows where rawPid between ? and ? and rawPid<>?",
               "select mid, rawPid from sync_rows where rawPid=? and rawPid<>?", [&](Statement &query) {
                   query.bind("root", MemoLevels::kTopLevelParent);
                   while (query.nextRow()) {
                       if (mids.contains(query.text(1)))
                           children << query.text(0);
                   }
               });
    return children;
}

void SyncDatabase::liftHiddenRows(const QSet<QString> &touched)
{
    // What a merge changed can decide the place of its own rows, their sub-memos and theirs.
    std::vector<std::pair<QString, QString>> moves;
    auto collect = [&moves](Statement &query) {
        while (query.nextRow()) {
            if (query.text(1) != query.text(2))
                moves.emplace_back(query.text(0), query.text(1));
        }
    };
    QSet<QString> rows;
    QSet<QString> generation = touched;
    for (int depth = 0; depth < 2; ++depth) {
        generation = subMemosOf(generation);
        rows += generation;
    }
    // After a large merge one pass over the rows of its stretch of ids is quicker than asking
    // row by row.
    if (touched.size() > kRowByRow) {
        const auto [first, last] = idRange(touched);
        Statement query(m_database, LIFTED_PARENT " where c.mid between ?2 and ?3 and (c.rawPid<>?1 or c.pid<>?1)");
        query.bind("root", MemoLevels::kTopLevelParent).bind("mid", QByteArrayView(first)).bind("mid", QByteArrayView(last));
        collect(query);
        rows -= touched;
    } else {
        rows += touched;
    }
    for (const QString &mid : std::as_const(rows)) {
        Statement query(m_database, LIFTED_PARENT " where c.mid=?2");
        query.bind("root", MemoLevels::kTopLevelParent).bind("mid", mid);
        collect(query);
    }
    for (const auto &[mid, pid] : moves) {
        Statement(m_database, "update memos set pid=? where mid=?").bind("pid", pid).bind("mid", mid).run();
        Statement(m_database, "update sync_rows set pid=? where mid=?").bind("pid", pid).bind("mid", mid).run();
    }
}

JournalPosition SyncDatabase::peerPosition(const QString &origin)
{
    Statement query(m_database, "select covered, generation, offset from sync_peers where origin=?");
    query.bind("origin", origin);
    if (!query.nextRow())
        return {};
    return {query.integer(0), query.integer(1), query.integer(2)};
}

void SyncDatabase::setPeerPosition(const QString &origin, const JournalPosition &position)
{
    Statement(m_database, "insert or replace into sync_peers (origin, covered, generation, offset) values (?, ?, ?, ?)")
        .bind("origin", origin)
        .bindInteger("covered", position.covered)
        .bindInteger("generation", position.generation)
        .bindInteger("offset", position.offset)
        .run();
}

QStringList SyncDatabase::peers()
{
    QStringList origins;
    Statement query(m_database, "select origin from sync_peers order by origin");
    while (query.nextRow())
        origins << query.text(0);
    return origins;
}

std::vector<SyncOp> SyncDatabase::ownOpsAfter(qint64 counter)
{
    std::vector<SyncOp> ops;
    Statement query(m_database, "select " OP_COLUMNS " from sync_ops where origin=? and counter>? order by counter");
    query.bind("origin", m_installation).bindInteger("counter", counter);
    while (query.nextRow())
        ops.push_back(readOp(query));
    return ops;
}

std::vector<SyncOp> SyncDatabase::ownOpsForSnapshot()
{
    // A text some change replaced stays replaced, and a field some later change set never
    // comes back: such parts of our changes are left out. What a change replaced is kept,
    // so that a copy of the replaced one arriving late is still known as replaced.
    QHash<QString, std::vector<SyncOp>> byMemo;
    {
        Statement query(m_database, "select " OP_COLUMNS " from sync_ops where mid in"
                                    " (select mid from sync_ops where origin=?)");
        query.bind("origin", m_installation);
        while (query.nextRow()) {
            SyncOp op = readOp(query);
            byMemo[op.memo.mid].push_back(std::move(op));
        }
    }
    std::vector<SyncOp> kept;
    for (auto memo = byMemo.cbegin(); memo != byMemo.cend(); ++memo) {
        QSet<QString> replaced;
        for (const SyncOp &op : memo.value()) {
            for (const SyncDot &dot : op.replaces)
                replaced << dot.text();
        }
        for (SyncOp op : memo.value()) {
            if (op.dot.origin != m_installation)
                continue;
            if (replaced.contains(op.dot.text()))
                op.fields &= ~SyncContent;
            for (SyncField field : {SyncParent, SyncExpanded, SyncTimes}) {
                const bool outdone = std::any_of(memo.value().begin(), memo.value().end(), [&](const SyncOp &other) {
                    return other.sets(field) && op.before(other);
                });
                if (outdone)
                    op.fields &= ~field;
            }
            if (op.fields != 0 || !op.replaces.empty())
                kept.push_back(std::move(op));
        }
    }
    std::sort(kept.begin(), kept.end(), [](const SyncOp &a, const SyncOp &b) { return a.dot.counter < b.dot.counter; });
    return kept;
}
