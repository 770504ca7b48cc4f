// Mailing the selected memos as an HTML report and an exchange file.
#include "app/Fm_Main.h"
#include "app/pU_Funcs.h"
#include "components/KvSndMsg.h"
#include "memos/Fr_kvMemos.h"
#include <QDir>

namespace {

QString MailTip(int result, const QString &folder)
{
    if (result == SUCCESS_SUCCESS)
        return QStringLiteral("If your mail program did not attach Memos.html and Memos.kvx, you can attach them from "
                              "%1.")
            .arg(folder);
    return QStringLiteral("No mail program could take the message. You can send Memos.html and Memos.kvx from %1.")
        .arg(folder);
}

} // namespace

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
    const QString where = QDir::toNativeSeparators(QDir::cleanPath(folder));
    // The user hears where the two files are either way: some mail programs drop attachments
    // handed over this way without a word, and without a mail program they are all there is.
    KvSendMessage1->OnHandedOver = [where](int result) { TipBox(MailTip(result, where)); };
    try {
        KvSendMessage1->Clear();
        KvSendMessage1->Subject = QStringLiteral("Memos");
        KvSendMessage1->MessageText << QStringLiteral("Memos.html: HTML file, you can open it with website browser.")
                                    << QStringLiteral("Memos.kvx: Korvel data file, you can import it into Korvel "
                                                      "software directly.");
        KvSendMessage1->Attachments << report << exchange;
        KvSendMessage1->Send();
    } catch (const std::exception &) {
        TipBox(MailTip(MAPI_E_FAILURE, where));
    }
}
