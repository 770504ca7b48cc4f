// Mailing the selected memos as an HTML report and an exchange file.
#include "app/Fm_Main.h"
#include "components/KvSndMsg.h"
#include "memos/Fr_kvMemos.h"
#include <QDir>

void TkvMemosFrame::Action_EmailExecute()
{
    if (FEditNode)
        return;
    // The attachments are kept in the data folder's Temp, made when missing so that the
    // first mail of a new installation works.
    const QString folder = FMainFm->programFolder() + QStringLiteral("Temp/");
    QDir().mkpath(folder);
    const QString report = folder + QStringLiteral("Memos.html");
    const QString exchange = folder + QStringLiteral("Memos.kvx");
    if (!WriteHtmlReport(false, report) || !ExportSelection(exchange))
        return;
    try {
        KvSendMessage1->Clear();
        KvSendMessage1->Subject = QStringLiteral("Memos");
        KvSendMessage1->MessageText << QStringLiteral("Memos.html: HTML file, you can open it with website browser.")
                                    << QStringLiteral("Memos.kvx: Korvel data file, you can import it into Korvel "
                                                      "software directly.");
        KvSendMessage1->Attachments << report << exchange;
        KvSendMessage1->Send();
    } catch (const std::exception &) {
        // The mail program has its say (or the user cancelled); there is nothing to add.
    }
}
