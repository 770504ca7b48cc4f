// Mailing the selected memos as an HTML report and an exchange file.
#include "app/Fm_Main.h"
#include "app/pU_Funcs.h"
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
        // The user cancelled, or there is no mail program: the desktop has had its say.
        return;
    }
    // Some mail programs drop attachments handed over this way without a word; the user must
    // not send the mail without them unknowingly.
    TipBox(QStringLiteral("If your mail program did not attach Memos.html and Memos.kvx, you can attach them from "
                          "%1")
               .arg(QDir::toNativeSeparators(folder)));
}
