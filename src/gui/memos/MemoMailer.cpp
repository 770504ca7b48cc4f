// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MemoMailer.h"
#include "gui/memos/MemoController.h"
#include "gui/memos/MemoOutput.h"
#include "gui/Prompts.h"
#include "desktop/MailMessage.h"
#include <QDir>

MemoMailer::MemoMailer(MemoOutput &output, const MemoController &controller, const QString &dataFolder,
                       QObject *parent)
    : QObject(parent), m_output(output), m_controller(controller), m_dataFolder(dataFolder),
      m_mail(new MailMessage(this))
{
}

QString MemoMailer::failureTip(const QString &folder) const
{
    return tr("No mail program could take the message. You can send Memos.html and Memos.kvx from %1.").arg(folder);
}

void MemoMailer::showTip(const QString &text)
{
    if (m_controller.editNode())
        m_waitingTip = text;
    else
        tipBox(text);
}

void MemoMailer::showWaitingTip()
{
    if (!m_waitingTip.isEmpty())
        QMetaObject::invokeMethod(this, [this] { showTip(std::exchange(m_waitingTip, {})); }, Qt::QueuedConnection);
}

void MemoMailer::emailMemos()
{
    if (m_controller.editNode())
        return;
    // The attachments are kept in the data folder's Temp, made when missing so that the
    // first mail of a new installation works.
    const QString folder = m_dataFolder + QStringLiteral("Temp/");
    QDir().mkpath(folder);
    const QString report = folder + QStringLiteral("Memos.html");
    const QString exchange = folder + QStringLiteral("Memos.kvx");
    if (!m_output.writeHtmlReport(false, report) || !m_output.exportSelection(exchange))
        return;
    const QString where = QDir::toNativeSeparators(QDir::cleanPath(folder));
    // The mail program takes over; without one the user hears where the two files are.
    m_mail->onHandedOver = [this, where](MailResult result) {
        if (result != MailResult::Success)
            showTip(failureTip(where));
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
        showTip(failureTip(where));
    }
}
