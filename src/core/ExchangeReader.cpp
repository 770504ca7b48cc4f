// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ExchangeReader.h"
#include "core/IsoTime.h"
#include "core/ExchangeFile.h"
#include "core/ExchangeIds.h"
#include "core/XmlNavigator.h"
#include "core/MemoId.h"
#include "core/MemoLevels.h"
#include "core/MemoStore.h"
#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <optional>
#include <stdexcept>

using Exchange::FileRecord;
using Exchange::RecordKind;

namespace {

// The ids of a kind's records in the file as records read them (see FileRecord::text),
// read without any message for records lacking one. Most are the document's own bytes.
QSet<QByteArray> collectIdsInFile(XmlNavigator &xml, const RecordKind &kind)
{
    QSet<QByteArray> ids;
    for (const pugi::xml_node record : xml.findNode(kind.listPath).children()) {
        if (const pugi::xml_attribute id = record.attribute(kind.idAttribute)) {
            const QByteArrayView value(id.value());
            ids.insert(value.isValidUtf8() && !value.startsWith("\xEF\xBB\xBF")
                           ? QByteArray::fromRawData(value.data(), value.size())
                           : QString::fromUtf8(value).toUtf8());
        }
    }
    return ids;
}

// The fresh id that the first record with an unusable id gets, so that its sub-records
// can follow it there. Later records with the same id get fresh ids of their own.
struct Renamed {
    int position;
    QByteArray id;
};

// Keyed by the ids as records read them (see FileRecord::text).
QHash<QByteArray, Renamed> renamedIds(XmlNavigator &xml, const RecordKind &kind)
{
    QHash<QByteArray, Renamed> renamed;
    int position = 0;
    for (const pugi::xml_node record : xml.findNode(kind.listPath).children()) {
        const pugi::xml_attribute id = record.attribute(kind.idAttribute);
        const QByteArray value = QString::fromUtf8(id.value()).toUtf8();
        if (id && !ExchangeReader::isUsableId(value) && !renamed.contains(value))
            renamed.insert(value, {position, newMemoIdUtf8()});
        ++position;
    }
    return renamed;
}

} // namespace

// A run's writes reach the disk together instead of one synchronous commit per record.
// Whatever the run stored before it ends, by failure, Abort or success, stays stored; and
// before each question the writes so far are committed, so that no question holds them back.
// After a failure the reader's counts say what reached the disk: a batch that cannot be
// committed (the engine may already have taken it back) counts for nothing.
class ExchangeReader::Writes {
public:
    explicit Writes(ExchangeReader &reader) : m_reader(reader) { resume(); }
    void commit()
    {
        if (!m_batch)
            return;
        std::optional<Transaction> batch = std::exchange(m_batch, std::nullopt);
        batch->commit();
        m_committedMemos = m_reader.StoredMemos;
        m_committedTasks = m_reader.StoredTasks;
    }
    void resume()
    {
        m_batch.emplace(m_reader.m_store.transaction(Transaction::Lock::Immediate, Transaction::OnFailure::TakeBack));
    }
    void keepDone() noexcept
    {
        try {
            m_reader.liftHiddenMemos();
            commit();
        } catch (const std::exception &) {
            // The first failure is the one reported; this one only decides what is stored.
        }
        m_reader.StoredMemos = m_committedMemos;
        m_reader.StoredTasks = m_committedTasks;
    }

private:
    ExchangeReader &m_reader;
    std::optional<Transaction> m_batch;
    int m_committedMemos = 0;
    int m_committedTasks = 0;
};

ExchangeReader::ExchangeReader(MemoStore &store, XmlNavigator &xml, Listener &listener)
    : m_store(store), m_xml(xml), m_listener(listener), m_bias(localBiasMinutes())
{
}

bool ExchangeReader::isUsableId(QByteArrayView id)
{
    return !id.isEmpty() && id != MemoLevels::kTopLevelParentUtf8 && !id.contains('\0') && !id.contains("\xEF\xBF\xBD"); // U+FFFD
}

void ExchangeReader::checkApp(XmlNavigator &xml)
{
    const QString root = QStringLiteral("korvel");
    const QString app = QStringLiteral("app");
    if (xml.getAttr(root, app) != Exchange::AppName)
        throw std::runtime_error(
            (QCoreApplication::translate("ExchangeReader", "Data mismatch: ") + xml.getAttr(root, app) + Exchange::AppName).toStdString());
}

void ExchangeReader::run(const std::function<void(Writes &)> &body)
{
    Writes writes(*this);
    try {
        body(writes);
        liftHiddenMemos();
        writes.commit();
    } catch (...) {
        writes.keepDone();
        throw;
    }
}

void ExchangeReader::liftHiddenMemos()
{
    // Also memos stored before this run: a restored memo may have become the sub-memo of
    // another, taking its own sub-memos out of sight.
    m_store.liftHiddenMemos();
}

ExchangeReader::Record ExchangeReader::read(const RecordKind &kind, FileRecord &record, QByteArrayView id,
                                           QByteArrayView pid)
{
    if (&kind == &Exchange::MemoKind)
        return Exchange::memoFromFile(record, id, pid, m_bias);
    return Exchange::taskFromFile(record, id, pid, m_bias);
}

bool ExchangeReader::store(const Record &record, Storing how)
{
    if (const MemoBytes *memo = std::get_if<MemoBytes>(&record)) {
        if (how == Storing::OnlyNew ? !m_store.insertNewMemo(*memo) : (m_store.storeMemo(*memo), false))
            return false;
        ++StoredMemos;
    } else {
        const TaskBytes &task = std::get<TaskBytes>(record);
        if (how == Storing::OnlyNew ? !m_store.insertNewTask(task) : (m_store.storeTask(task), false))
            return false;
        ++StoredTasks;
    }
    return true;
}

// The stored record's content and edit time, when there is one with this id.
std::optional<std::pair<QString, TimeStamp>> ExchangeReader::findStored(const RecordKind &kind, const QString &id)
{
    if (&kind == &Exchange::MemoKind) {
        if (const std::optional<Memo> memo = m_store.findMemo(id))
            return std::make_pair(memo->content, memo->editTime);
    } else if (const std::optional<Task> task = m_store.findTask(id)) {
        return std::make_pair(task->content, task->editTime);
    }
    return std::nullopt;
}

void ExchangeReader::restore()
{
    run([&](Writes &writes) {
        ReplaceAnswer answer = ReplaceAnswer::Yes;
        for (const RecordKind *kind : {&Exchange::MemoKind, &Exchange::TaskKind})
            restoreKind(*kind, writes, answer);
    });
}

void ExchangeReader::restoreKind(const RecordKind &kind, Writes &writes, ReplaceAnswer &answer)
{
    const QHash<QByteArray, Renamed> renamed = renamedIds(m_xml, kind);
    pugi::xml_node node = m_xml.findNode(kind.listPath).first_child();
    for (int i = 0; node && answer != ReplaceAnswer::Abort; node = node.next_sibling(), ++i) {
        m_listener.progress(m_done++);
        FileRecord record(m_xml, kind, node, i);
        QByteArrayView id = record.text(kind.idAttribute);
        QByteArrayView pid = record.text("pid");
        if (!renamed.isEmpty() && pid != MemoLevels::kTopLevelParentUtf8) {
            if (const auto found = renamed.constFind(pid.toByteArray()); found != renamed.constEnd())
                pid = found->id;
        }
        if (!isUsableId(id)) {
            const auto found = renamed.constFind(id.toByteArray());
            id = found != renamed.constEnd() && found->position == i ? QByteArrayView(found->id)
                                                                      : record.keep(newMemoIdUtf8());
            store(read(kind, record, id, pid), Storing::Replace);
            continue;
        }
        const Record fromFile = read(kind, record, id, pid);
        // Until "all", a record whose id is not stored goes in at once (one statement, no
        // look-up first); a stored one is asked about.
        if (answer != ReplaceAnswer::All && store(fromFile, Storing::OnlyNew))
            continue;
        if (answer != ReplaceAnswer::All) {
            if (const auto found = findStored(kind, QString::fromUtf8(id))) {
                const QString fileContent = QString::fromUtf8(record.text("content"));
                const TimeStamp fileEditTime = record.time("edit-time", m_bias);
                writes.commit();
                answer = m_listener.askReplace(kind, found->first, found->second, fileContent, fileEditTime);
                writes.resume();
                if (answer != ReplaceAnswer::Yes && answer != ReplaceAnswer::All)
                    continue; // No or Abort: the stored record stays
            }
        }
        store(fromFile, Storing::Replace);
    }
}

void ExchangeReader::import()
{
    run([this](Writes &) {
        for (const RecordKind *kind : {&Exchange::MemoKind, &Exchange::TaskKind})
            importKind(*kind);
    });
}

void ExchangeReader::importKind(const RecordKind &kind)
{
    ExchangeIds ids;
    const QSet<QByteArray> idsInFile = collectIdsInFile(m_xml, kind);
    pugi::xml_node node = m_xml.findNode(kind.listPath).first_child();
    for (int i = 0; node; node = node.next_sibling(), ++i) {
        m_listener.progress(m_done++);
        FileRecord record(m_xml, kind, node, i);
        const QByteArrayView pid = record.text("pid");
        const QByteArrayView id = record.text(kind.idAttribute);
        // A record whose parent is not in the file, or is itself, would hang under no record
        // and never be seen: it comes in at the top level instead. Unusable ids need nothing
        // more: every id is replaced by a fresh one, and sub-records follow it.
        if (pid == MemoLevels::kTopLevelParentUtf8 || pid == id || !idsInFile.contains(QByteArray::fromRawData(pid.data(), pid.size())))
            store(read(kind, record, record.keep(ids.forTopLevel(id)), MemoLevels::kTopLevelParentUtf8),
                  Storing::Replace);
        else
            store(read(kind, record, record.keep(newMemoIdUtf8()),
                       record.keep(ids.forParent(pid))),
                  Storing::Replace);
    }
}

void ExchangeReader::runWhole(Transaction &batch, const std::function<void()> &work)
{
    const auto commitOrCountNothing = [this, &batch] {
        try {
            batch.commit();
        } catch (...) {
            StoredMemos = 0;
            StoredTasks = 0;
            throw;
        }
    };
    try {
        work();
    } catch (...) {
        try {
            commitOrCountNothing();
        } catch (const std::exception &) {
            // The first failure is the one reported; this one only decides what is stored.
        }
        throw;
    }
    commitOrCountNothing();
}

QString ExchangeReader::storedSoFar() const
{
    if (StoredMemos == 0 && StoredTasks == 0)
        return QCoreApplication::translate("ExchangeCommands", "\n\nNothing was stored.");
    return QCoreApplication::translate("ExchangeCommands", "\n\n%1 memos and %2 tasks were stored before the run ended.")
        .arg(StoredMemos)
        .arg(StoredTasks);
}
