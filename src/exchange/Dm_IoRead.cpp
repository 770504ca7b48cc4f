// Restore and import: reading an exchange file back into the database.
#include "app/Fm_Main.h"
#include "app/pU_Funcs.h"
#include "exchange/Dlg_ReplaceAsk.h"
#include "exchange/Dm_Io.h"
#include "exchange/ExchangeFile.h"
#include "exchange/ExchangeIds.h"
#include "exchange/KvProgress.h"
#include "exchange/pU_XmlTry.h"
#include "store/KvBatch.h"
#include "store/KvQuery.h"
#include "store/MemoId.h"
#include <optional>
#include <stdexcept>

namespace {

using Exchange::Field;
using Exchange::RecordKind;

// A run's writes reach the disk together instead of one synchronous commit per record.
// Whatever the run stored before it ends, by failure, Abort or success, stays stored; and
// before each question the writes so far are committed, so that no question holds them back.
class RunWrites {
public:
    RunWrites(KvConnection &connection, KvQuery &query) : FConnection(connection), FQuery(query)
    {
        FBatch.emplace(connection);
    }
    ~RunWrites()
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

void CheckApp(Txmltry &xml)
{
    const QString root = QStringLiteral("korvel");
    const QString app = QStringLiteral("app");
    if (xml.GetAttr(root, app) != Exchange::AppName)
        throw std::runtime_error(
            (QStringLiteral("Data mismatch: ") + xml.GetAttr(root, app) + Exchange::AppName).toStdString());
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

} // namespace

bool TIoDm::OpenExchangeFile(Txmltry &xml, KvProgress &progress)
{
    if (!OpenDialog1.Execute())
        return false;
    try {
        xml.LoadFromFile(OpenDialog1.FileName, [&progress](qint64 done) { progress.step(done); });
    } catch (const std::exception &) {
        ErrorBox(QStringLiteral("File read failure!"));
        return false;
    }
    return true;
}

bool TIoDm::RestoreDatabase()
{
    KvProgress progress(QStringLiteral("Reading the file..."), 0);
    Txmltry xml;
    if (!OpenExchangeFile(xml, progress))
        return false;
    TReplaceAskDlg dialog(FMainFm);
    try {
        CheckApp(xml);
        const int bias = LocalBiasMinutes();
        const RecordKind *kinds[] = {&Exchange::MemoKind, &Exchange::TaskKind};
        progress.setLabel(QStringLiteral("Restoring the database..."),
                          xml.ChildCount(Exchange::MemoKind.listPath) + xml.ChildCount(Exchange::TaskKind.listPath));
        RunWrites writes(FMainFm->connection(), *ADOQuery1);
        int answer = TReplaceAskDlg::mrYes;
        qint64 done = 0;
        for (const RecordKind *kind : kinds) {
            const int count = xml.ChildCount(kind->listPath);
            for (int i = 0; i < count && answer != TReplaceAskDlg::mrAbort; ++i) {
                progress.step(done++);
                const QString path = kind->itemPath + QString::number(i);
                const QString id = xml.GetAttr(path, QLatin1String(kind->id.attribute));
                OpenSql(*ADOQuery1, kind->selectById(id));
                if (ADOQuery1->eof()) {
                    OpenSql(*ADOQuery1, kind->emptyForAppend());
                    ADOQuery1->append();
                } else {
                    if (answer != TReplaceAskDlg::mrAll) {
                        dialog.SetRecords(kind->name, ADOQuery1->fieldAsString("content"),
                                          ADOQuery1->fieldAsDateTime("editTime"),
                                          xml.GetAttr(path, QStringLiteral("content")),
                                          IsoToDateTime(xml.GetAttr(path, QStringLiteral("edit-time")), bias));
                        writes.commit();
                        answer = Prompts().execDialog(dialog);
                        writes.resume();
                        if (answer != TReplaceAskDlg::mrYes && answer != TReplaceAskDlg::mrAll)
                            continue; // No, Abort or the close box: the stored record stays
                        OpenSql(*ADOQuery1, kind->selectById(id));
                    }
                    ADOQuery1->edit();
                }
                ADOQuery1->setField(kind->id.column, ReadValue(xml, path, kind->id, bias));
                ADOQuery1->setField(kind->pid.column, ReadValue(xml, path, kind->pid, bias));
                for (const Field &field : kind->values)
                    ADOQuery1->setField(field.column, ReadValue(xml, path, field, bias));
                ADOQuery1->post();
            }
        }
        writes.commit();
    } catch (const std::exception &error) {
        ErrorBox(QString::fromUtf8(error.what()));
        return false;
    }
    return true;
}

bool TIoDm::ImportFile()
{
    KvProgress progress(QStringLiteral("Reading the file..."), 0);
    Txmltry xml;
    if (!OpenExchangeFile(xml, progress))
        return false;
    try {
        CheckApp(xml);
        const int bias = LocalBiasMinutes();
        const RecordKind *kinds[] = {&Exchange::MemoKind, &Exchange::TaskKind};
        progress.setLabel(QStringLiteral("Importing..."),
                          xml.ChildCount(Exchange::MemoKind.listPath) + xml.ChildCount(Exchange::TaskKind.listPath));
        RunWrites writes(FMainFm->connection(), *ADOQuery1);
        ExchangeIds ids;
        const QString root = QStringLiteral("root");
        qint64 done = 0;
        for (const RecordKind *kind : kinds) {
            ids.Clear();
            const QSet<QString> idsInFile = IdsInFile(xml, *kind);
            const int count = xml.ChildCount(kind->listPath);
            for (int i = 0; i < count; ++i) {
                progress.step(done++);
                const QString path = kind->itemPath + QString::number(i);
                OpenSql(*ADOQuery1, kind->emptyForAppend());
                ADOQuery1->append();
                const QString pid = xml.GetAttr(path, QLatin1String(kind->pid.attribute));
                // A record whose parent is not in the file would hang under no record and never
                // be seen: it comes in at the top level instead.
                if (pid == root || !idsInFile.contains(pid)) {
                    ADOQuery1->setField(kind->pid.column, root);
                    ADOQuery1->setField(kind->id.column,
                                        ids.ForTopLevel(xml.GetAttr(path, QLatin1String(kind->id.attribute))));
                } else {
                    ADOQuery1->setField(kind->pid.column, ids.ForParent(pid));
                    ADOQuery1->setField(kind->id.column, NewMemoId());
                }
                for (const Field &field : kind->values)
                    ADOQuery1->setField(field.column, ReadValue(xml, path, field, bias));
                ADOQuery1->post();
            }
        }
        ids.Clear();
        writes.commit();
    } catch (const std::exception &error) {
        ErrorBox(QString::fromUtf8(error.what()));
        return false;
    }
    return true;
}
