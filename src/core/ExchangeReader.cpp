#include "core/ExchangeReader.h"
#include "core/IsoTime.h"
#include "gui/ReplaceDialog.h"
#include "core/ExchangeFile.h"
#include "core/ExchangeIds.h"
#include "core/XmlNavigator.h"
#include "core/Transaction.h"
#include "core/Query.h"
#include "core/MemoId.h"
#include "core/SqlCatalogue.h"
#include <QHash>
#include <QSet>
#include <optional>
#include <stdexcept>

using Exchange::Field;
using Exchange::RecordKind;

namespace {

const QString kRoot = QStringLiteral("root");

// A record's value as its column takes it.
QVariant readValue(XmlNavigator &xml, const QString &path, const Field &field, int biasMinutes)
{
    const QString value = xml.getAttr(path, QLatin1String(field.attribute));
    switch (field.kind) {
    case Field::Time:
        return isoToDateTime(value, biasMinutes);
    case Field::Content:
        return Exchange::contentFromFile(value);
    case Field::Text:
        break;
    }
    return value;
}

// The ids of a kind's records in the file, read without any message for records lacking one.
QSet<QString> collectIdsInFile(XmlNavigator &xml, const RecordKind &kind)
{
    QSet<QString> ids;
    for (const pugi::xml_node record : xml.findNode(kind.listPath).children()) {
        if (const pugi::xml_attribute id = record.attribute(kind.id.attribute))
            ids.insert(QString::fromUtf8(id.value()));
    }
    return ids;
}

// The fresh id that the first record with an unusable id gets, so that its sub-records
// can follow it there. Later records with the same id get fresh ids of their own.
struct Renamed {
    int position;
    QString id;
};

QHash<QString, Renamed> renamedIds(XmlNavigator &xml, const RecordKind &kind)
{
    QHash<QString, Renamed> renamed;
    int position = 0;
    for (const pugi::xml_node record : xml.findNode(kind.listPath).children()) {
        const pugi::xml_attribute id = record.attribute(kind.id.attribute);
        const QString value = QString::fromUtf8(id.value());
        if (id && !ExchangeReader::isUsableId(value) && !renamed.contains(value))
            renamed.insert(value, {position, newMemoId()});
        ++position;
    }
    return renamed;
}

} // namespace

// A run's writes reach the disk together instead of one synchronous commit per record.
// Whatever the run stored before it ends, by failure, Abort or success, stays stored; and
// before each question the writes so far are committed, so that no question holds them back.
class ExchangeReader::Writes {
public:
    Writes(Database &connection, Query &query) : m_connection(connection), m_query(query)
    {
        m_batch.emplace(connection);
    }
    ~Writes()
    {
        // The open result goes first; the batch then commits what it holds.
        m_query.close();
        m_batch.reset();
    }
    void commit()
    {
        m_query.close();
        if (m_batch)
            m_batch->commit();
        m_batch.reset();
    }
    void resume() { m_batch.emplace(m_connection); }

private:
    Database &m_connection;
    Query &m_query;
    std::optional<Transaction> m_batch;
};

ExchangeReader::ExchangeReader(Database &connection, Query &query, XmlNavigator &xml)
    : m_connection(connection), m_query(query), m_xml(xml), m_bias(localBiasMinutes())
{
}

bool ExchangeReader::isUsableId(const QString &id)
{
    return !id.isEmpty() && id != kRoot && !id.contains(QChar(0)) && !id.contains(QChar(QChar::ReplacementCharacter));
}

void ExchangeReader::checkApp(XmlNavigator &xml)
{
    const QString root = QStringLiteral("korvel");
    const QString app = QStringLiteral("app");
    if (xml.getAttr(root, app) != Exchange::AppName)
        throw std::runtime_error(
            (QStringLiteral("Data mismatch: ") + xml.getAttr(root, app) + Exchange::AppName).toStdString());
}

void ExchangeReader::run(const std::function<void(Writes &)> &body)
{
    Writes writes(m_connection, m_query);
    try {
        body(writes);
    } catch (...) {
        liftHiddenMemos();
        throw;
    }
    liftHiddenMemos();
    writes.commit();
}

void ExchangeReader::liftHiddenMemos()
{
    // Also memos stored before this run: a restored memo may have become the sub-memo of
    // another, taking its own sub-memos out of sight.
    execSql(m_query, Sql::liftOrphanMemos());
    execSql(m_query, Sql::liftMemosUnderSubMemos());
}

void ExchangeReader::store(const RecordKind &kind, const QString &path, const QString &id, const QString &pid)
{
    m_query.setField(kind.id.column, id);
    m_query.setField(kind.pid.column, pid);
    for (const Field &field : kind.values)
        m_query.setField(field.column, readValue(m_xml, path, field, m_bias));
    m_query.post();
    ++(&kind == &Exchange::MemoKind ? StoredMemos : StoredTasks);
}

void ExchangeReader::restore(const AskReplace &ask)
{
    run([&](Writes &writes) {
        int answer = ReplaceDialog::mrYes;
        for (const RecordKind *kind : {&Exchange::MemoKind, &Exchange::TaskKind})
            restoreKind(*kind, ask, writes, answer);
    });
}

void ExchangeReader::restoreKind(const RecordKind &kind, const AskReplace &ask, Writes &writes, int &answer)
{
    const QHash<QString, Renamed> renamed = renamedIds(m_xml, kind);
    const int count = m_xml.childCount(kind.listPath);
    for (int i = 0; i < count && answer != ReplaceDialog::mrAbort; ++i) {
        if (onRecord)
            onRecord(m_done++);
        const QString path = kind.itemPath + QString::number(i);
        QString id = m_xml.getAttr(path, QLatin1String(kind.id.attribute));
        QString pid = m_xml.getAttr(path, QLatin1String(kind.pid.attribute));
        if (pid != kRoot && renamed.contains(pid))
            pid = renamed.value(pid).id;
        if (!isUsableId(id)) {
            const auto found = renamed.constFind(id);
            id = found != renamed.constEnd() && found->position == i ? found->id : newMemoId();
            openSql(m_query, kind.emptyForAppend());
            m_query.append();
            store(kind, path, id, pid);
            continue;
        }
        openSql(m_query, kind.selectById(id));
        if (m_query.eof()) {
            openSql(m_query, kind.emptyForAppend());
            m_query.append();
        } else {
            if (answer != ReplaceDialog::mrAll) {
                const QString storedContent = m_query.fieldAsString("content");
                const TimeStamp storedEditTime = m_query.fieldAsDateTime("editTime");
                const QString fileContent = m_xml.getAttr(path, QStringLiteral("content"));
                const TimeStamp fileEditTime = isoToDateTime(m_xml.getAttr(path, QStringLiteral("edit-time")), m_bias);
                writes.commit();
                answer = ask(kind, storedContent, storedEditTime, fileContent, fileEditTime);
                writes.resume();
                if (answer != ReplaceDialog::mrYes && answer != ReplaceDialog::mrAll)
                    continue; // No, Abort or the close box: the stored record stays
                openSql(m_query, kind.selectById(id));
            }
            m_query.edit();
        }
        store(kind, path, id, pid);
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
    const QSet<QString> idsInFile = collectIdsInFile(m_xml, kind);
    const int count = m_xml.childCount(kind.listPath);
    for (int i = 0; i < count; ++i) {
        if (onRecord)
            onRecord(m_done++);
        const QString path = kind.itemPath + QString::number(i);
        openSql(m_query, kind.emptyForAppend());
        m_query.append();
        const QString pid = m_xml.getAttr(path, QLatin1String(kind.pid.attribute));
        const QString id = m_xml.getAttr(path, QLatin1String(kind.id.attribute));
        // A record whose parent is not in the file, or is itself, would hang under no record
        // and never be seen: it comes in at the top level instead. Unusable ids need nothing
        // more: every id is replaced by a fresh one, and sub-records follow it.
        if (pid == kRoot || pid == id || !idsInFile.contains(pid))
            store(kind, path, ids.forTopLevel(id), kRoot);
        else
            store(kind, path, newMemoId(), ids.forParent(pid));
    }
}
