// Mailing the selected memos as an HTML report and an exchange file.
#include "gui/MainWindow.h"
#include "gui/Prompts.h"
#include "desktop/MailMessage.h"
#include "gui/MemoPane.h"
#include <QCoreApplication>
#include <QDir>

namespace {

QString mailTip(MailResult result, const QString &folder)
{
    if (result == MailResult::Success)
        return QCoreApplication::translate("MemoPane", "If your mail program did not attach Memos.html and Memos.kvx, you can attach them from "
                              "%1.")
            .arg(folder);
    return QCoreApplication::translate("MemoPane", "No mail program could take the message. You can send Memos.html and Memos.kvx from %1.")
        .arg(folder);
}

} // namespace

void MemoPane::emailMemos()
{
    if (m_editNode)
        return;
    // The attachments are kept in the data folder's Temp, made when missing so that the
    // first mail of a new installation works.
    const QString folder = m_mainWindow->programFolder() + QStringLiteral("Temp/");
    QDir().mkpath(folder);
    const QString report = folder + QStringLiteral("Memos.html");
    const QString exchange = folder + QStringLiteral("Memos.kvx");
    if (!writeHtmlReport(false, report) || !exportSelection(exchange))
        return;
    const QString where = QDir::toNativeSeparators(QDir::cleanPath(folder));
    // The user hears where the two files are either way: some mail programs drop attachments
    // handed over this way without a word, and without a mail program they are all there is.
    m_mail->onHandedOver = [where](MailResult result) { tipBox(mailTip(result, where)); };
    try {
        m_mail->clear();
        m_mail->subject = tr("Memos");
        m_mail->messageText << tr("Memos.html: HTML file, you can open it with website browser.")
                                    << tr("Memos.kvx: Korvel data file, you can import it into Korvel "
                                                      "software directly.");
        m_mail->attachments << report << exchange;
        m_mail->send();
    } catch (const std::exception &) {
        tipBox(mailTip(MailResult::Failure, where));
    }
}
