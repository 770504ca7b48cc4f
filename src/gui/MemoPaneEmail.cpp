// SPDX-License-Identifier: GPL-3.0-or-later
// Mailing the selected memos as an HTML report and an exchange file.
#include "gui/MainWindow.h"
#include "gui/Prompts.h"
#include "desktop/MailMessage.h"
#include "gui/MemoPane.h"
#include <QCoreApplication>
#include <QDir>

namespace {

QString mailFailureTip(const QString &folder)
{
    return QCoreApplication::translate("MemoPane", "No mail program could take the message. You can send Memos.html and Memos.kvx from %1.")
        .arg(folder);
}

} // namespace

void MemoPane::showMailTip(const QString &text)
{
    if (m_controller->editNode())
        m_waitingMailTip = text;
    else
        tipBox(text);
}

void MemoPane::emailMemos()
{
    if (m_controller->editNode())
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
    // The mail program takes over; without one the user hears where the two files are.
    m_mail->onHandedOver = [this, where](MailResult result) {
        if (result != MailResult::Success)
            showMailTip(mailFailureTip(where));
    };
    try {
        m_mail->clear();
        m_mail->subject = tr("Memos");
        m_mail->messageText << tr("Memos.html: HTML file, you can open it with website browser.")
                                    << tr("Memos.kvx: Korvel data file, you can import it into Korvel "
                                                      "software directly.");
        m_mail->attachments << report << exchange;
        m_mail->send();
    } catch (const std::exception &) {
        showMailTip(mailFailureTip(where));
    }
}
