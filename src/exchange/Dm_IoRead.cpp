// Restore and import: reading an exchange file back into the database.
#include "app/Fm_Main.h"
#include "app/pU_Funcs.h"
#include "exchange/Dlg_ReplaceAsk.h"
#include "exchange/Dm_Io.h"
#include "exchange/ExchangeFile.h"
#include "exchange/ExchangeReader.h"
#include "exchange/KvProgress.h"
#include "exchange/pU_XmlTry.h"
#include <stdexcept>

namespace {

// The user chose to stop reading a file after a missing attribute.
class StoppedReading : public std::runtime_error {
public:
    StoppedReading() : std::runtime_error("Reading the file was stopped.") {}
};

// After the first missing attribute, the user may stop the run; if not, further ones are
// not reported (a file with thousands of such records would raise thousands of boxes).
void AskOnFirstMissingAttribute(Txmltry &xml, KvProgress &progress)
{
    xml.OnMissingAttribute = [&progress, reported = false](const QString &text) mutable {
        if (reported)
            return;
        reported = true;
        ErrorBox(text);
        const int answer = AskBox(QStringLiteral("More records of this file may lack attributes; they will not be "
                                                 "reported one by one.\nGo on reading the file?"));
        progress.restartClock();
        if (answer != IDOK)
            throw StoppedReading();
    };
}

QString StoredSoFar(const ExchangeReader &reader)
{
    return QStringLiteral("\n\n%1 memos and %2 tasks were stored before the run ended.")
        .arg(reader.StoredMemos)
        .arg(reader.StoredTasks);
}

} // namespace

std::unique_ptr<KvProgress> TIoDm::OpenExchangeFile(Txmltry &xml)
{
    FDatabaseChanged = false;
    if (!OpenDialog1.Execute())
        return nullptr;
    // Made after the dialog: the time spent choosing a file is not the run's.
    auto progress = std::make_unique<KvProgress>(QStringLiteral("Reading the file..."), 0);
    try {
        xml.LoadFromFile(OpenDialog1.FileName, [&progress](qint64 done) { progress->step(done); });
    } catch (const std::exception &) {
        ErrorBox(QStringLiteral("File read failure!"));
        return nullptr;
    }
    return progress;
}

bool TIoDm::ReadRecords(Txmltry &xml, KvProgress &progress, const QString &label,
                        const std::function<void(ExchangeReader &)> &run)
{
    ExchangeReader reader(FMainFm->connection(), *ADOQuery1, xml);
    try {
        ExchangeReader::CheckApp(xml);
    } catch (const std::exception &error) {
        ErrorBox(QString::fromUtf8(error.what()));
        return false;
    }
    progress.setLabel(label, xml.ChildCount(Exchange::MemoKind.listPath) + xml.ChildCount(Exchange::TaskKind.listPath));
    AskOnFirstMissingAttribute(xml, progress);
    reader.OnRecord = [&progress](qint64 done) { progress.step(done); };
    FDatabaseChanged = true;
    try {
        run(reader);
    } catch (const std::exception &error) {
        // What was stored stays, and the reload that follows shows it.
        ErrorBox(QString::fromUtf8(error.what()) + StoredSoFar(reader));
        return false;
    }
    return true;
}

bool TIoDm::RestoreDatabase()
{
    Txmltry xml;
    const std::unique_ptr<KvProgress> progress = OpenExchangeFile(xml);
    if (!progress)
        return false;
    TReplaceAskDlg dialog(FMainFm);
    const auto ask = [&](const Exchange::RecordKind &kind, const QString &storedContent, TDateTime storedEditTime,
                         const QString &fileContent, TDateTime fileEditTime) {
        dialog.SetRecords(kind.name, storedContent, storedEditTime, fileContent, fileEditTime);
        const int answer = Prompts().execDialog(dialog);
        progress->restartClock();
        return answer;
    };
    return ReadRecords(xml, *progress, QStringLiteral("Restoring the database..."),
                       [&ask](ExchangeReader &reader) { reader.Restore(ask); });
}

bool TIoDm::ImportFile()
{
    Txmltry xml;
    const std::unique_ptr<KvProgress> progress = OpenExchangeFile(xml);
    if (!progress)
        return false;
    return ReadRecords(xml, *progress, QStringLiteral("Importing..."), [](ExchangeReader &reader) { reader.Import(); });
}
