#include "exchange/ExchangeReader.h"
#include "app/pU_Funcs.h"
#include "exchange/Dlg_ReplaceAsk.h"
#include "exchange/ExchangeFile.h"
#include "exchange/ExchangeIds.h"
#include "exchange/pU_XmlTry.h"
#include "store/KvBatch.h"
#include "store/KvQuery.h"
#include "store/MemoId.h"
#include "store/SqlCatalogue.h"
#include <QHash>
#include <QSet>
#include <optional>
#include <stdexcept>

using Exchange::Field;
using Exchange::RecordKind;

namespace {

const QString kRoot = QStringLiteral("root");

// A record's value as its column takes it.
QVariant ReadValue(Txmltry &xml, const QString &path, const Field &field, int biasMinutes)
{
    const QString value = xml.GetAttr(path, QLatin1String(field.attribute));
    switch (field.kind) {
    case Field::Time:
        return IsoToDateTime(value, biasMinutes);
    case Field::Content:
        return Exchange::ContentFromFile(value);
    case Field::Text:
        break;
    }
    return value;
}

// The ids of a kind's records in the file, read without any message for records lacking one.
QSet<QString> IdsInFile(Txmltry &xml, const RecordKind &kind)
{
    QSet<QString> ids;
    for (const pugi::xml_node record : xml.FindNode(kind.listPath).children()) {
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

QHash<QString, Renamed> RenamedIds(Txmltry &xml, const RecordKind &kind)
{
    QHash<QString, Renamed> renamed;
    int position = 0;
    for (const pugi::xml_node record : xml.FindNode(kind.listPath).children()) {
        const pugi::xml_attribute id = record.attribute(kind.id.attribute);
        const QString value = QString::fromUtf8(id.value());
        if (id && !ExchangeReader::IsUsableId(value) && !renamed.contains(value))
            renamed.insert(value, {position, NewMemoId()});
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
    Writes(KvConnection &connection, KvQuery &query) : FConnection(connection), FQuery(query)
    {
        FBatch.emplace(connection);
    }
    ~Writes()
    {
        // The open result goes first; the batch then commits what it holds.
        FQuery.close();
        FBatch.reset();
    }
    void commit()
    {
        FQuery.close();
        if (FBatch)
            FBatch->commit();
        FBatch.reset();
    }
    void resume() { FBatch.emplace(FConnection); }

private:
    KvConnection &FConnection;
    KvQuery &FQuery;
    std::optional<KvBatch> FBatch;
};

ExchangeReader::ExchangeReader(KvConnection &connection, KvQuery &query, Txmltry &xml)
    : FConnection(connection), FQuery(query), FXml(xml), FBias(LocalBiasMinutes())
{
}

bool ExchangeReader::IsUsableId(const QString &id)
{
    return !id.isEmpty() && id != kRoot && !id.contains(QChar(0)) && !id.contains(QChar(QChar::ReplacementCharacter));
}

void ExchangeReader::CheckApp(Txmltry &xml)
{
    const QString root = QStringLiteral("korvel");
    const QString app = QStringLiteral("app");
    if (xml.GetAttr(root, app) != Exchange::AppName)
        throw std::runtime_error(
            (QStringLiteral("Data mismatch: ") + xml.GetAttr(root, app) + Exchange::AppName).toStdString());
}

void ExchangeReader::Run(const std::function<void(Writes &)> &body)
{
    Writes writes(FConnection, FQuery);
    try {
        body(writes);
    } catch (...) {
        LiftHiddenMemos();
        throw;
    }
    LiftHiddenMemos();
    writes.commit();
}

void ExchangeReader::LiftHiddenMemos()
{
    // Also memos stored before this run: a restored memo may have become the sub-memo of
    // another, taking its own sub-memos out of sight.
    ExecSql(FQuery, Sql::LiftOrphanMemos());
    ExecSql(FQuery, Sql::LiftMemosUnderSubMemos());
}

void ExchangeReader::Store(const RecordKind &kind, const QString &path, const QString &id, const QString &pid)
{
    FQuery.setField(kind.id.column, id);
    FQuery.setField(kind.pid.column, pid);
    for (const Field &field : kind.values)
        FQuery.setField(field.column, ReadValue(FXml, path, field, FBias));
    FQuery.post();
    ++(&kind == &Exchange::MemoKind ? StoredMemos : StoredTasks);
}

void ExchangeReader::Restore(const AskReplace &ask)
{
    Run([&](Writes &writes) {
        int answer = TReplaceAskDlg::mrYes;
        for (const RecordKind *kind : {&Exchange::MemoKind, &Exchange::TaskKind})
            RestoreKind(*kind, ask, writes, answer);
    });
}

void ExchangeReader::RestoreKind(const RecordKind &kind, const AskReplace &ask, Writes &writes, int &answer)
{
    const QHash<QString, Renamed> renamed = RenamedIds(FXml, kind);
    const int count = FXml.ChildCount(kind.listPath);
    for (int i = 0; i < count && answer != TReplaceAskDlg::mrAbort; ++i) {
        if (OnRecord)
            OnRecord(FDone++);
        const QString path = kind.itemPath + QString::number(i);
        QString id = FXml.GetAttr(path, QLatin1String(kind.id.attribute));
        QString pid = FXml.GetAttr(path, QLatin1String(kind.pid.attribute));
        if (pid != kRoot && renamed.contains(pid))
            pid = renamed.value(pid).id;
        if (!IsUsableId(id)) {
            const auto found = renamed.constFind(id);
            id = found != renamed.constEnd() && found->position == i ? found->id : NewMemoId();
            OpenSql(FQuery, kind.emptyForAppend());
            FQuery.append();
            Store(kind, path, id, pid);
            continue;
        }
        OpenSql(FQuery, kind.selectById(id));
        if (FQuery.eof()) {
            OpenSql(FQuery, kind.emptyForAppend());
            FQuery.append();
        } else {
            if (answer != TReplaceAskDlg::mrAll) {
                const QString storedContent = FQuery.fieldAsString("content");
                const TDateTime storedEditTime = FQuery.fieldAsDateTime("editTime");
                const QString fileContent = FXml.GetAttr(path, QStringLiteral("content"));
                const TDateTime fileEditTime = IsoToDateTime(FXml.GetAttr(path, QStringLiteral("edit-time")), FBias);
                writes.commit();
                answer = ask(kind, storedContent, storedEditTime, fileContent, fileEditTime);
                writes.resume();
                if (answer != TReplaceAskDlg::mrYes && answer != TReplaceAskDlg::mrAll)
                    continue; // No, Abort or the close box: the stored record stays
                OpenSql(FQuery, kind.selectById(id));
            }
            FQuery.edit();
        }
        Store(kind, path, id, pid);
    }
}

void ExchangeReader::Import()
{
    Run([this](Writes &) {
        for (const RecordKind *kind : {&Exchange::MemoKind, &Exchange::TaskKind})
            ImportKind(*kind);
    });
}

void ExchangeReader::ImportKind(const RecordKind &kind)
{
    ExchangeIds ids;
    const QSet<QString> idsInFile = IdsInFile(FXml, kind);
    const int count = FXml.ChildCount(kind.listPath);
    for (int i = 0; i < count; ++i) {
        if (OnRecord)
            OnRecord(FDone++);
        const QString path = kind.itemPath + QString::number(i);
        OpenSql(FQuery, kind.emptyForAppend());
        FQuery.append();
        const QString pid = FXml.GetAttr(path, QLatin1String(kind.pid.attribute));
        const QString id = FXml.GetAttr(path, QLatin1String(kind.id.attribute));
        // A record whose parent is not in the file, or is itself, would hang under no record
        // and never be seen: it comes in at the top level instead. Unusable ids need nothing
        // more: every id is replaced by a fresh one, and sub-records follow it.
        if (pid == kRoot || pid == id || !idsInFile.contains(pid))
            Store(kind, path, ids.ForTopLevel(id), kRoot);
        else
            Store(kind, path, NewMemoId(), ids.ForParent(pid));
    }
}
