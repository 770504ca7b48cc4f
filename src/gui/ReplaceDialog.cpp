// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ReplaceDialog.h"
#include "core/MemoText.h"
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QGuiApplication>
#include <QScreen>

namespace {

// The user's long time format without its zone: the stamps are local times, and the zone
// of today says nothing about the moment a memo was modified.
QString longTimeFormat(const QLocale &locale)
{
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    QString format = locale.timeFormat(QLocale::LongFormat);
    return format.replace(zone, QStringLiteral(" ")).trimmed();
}

// The user's short date and long time; the time is left out at midnight.
QString dateTimeText(TimeStamp value)
{
    const QDateTime moment = dateTimeToQDateTime(value);
    const QLocale locale = QLocale::system();
    QString text = locale.toString(moment.date(), QLocale::ShortFormat);
    if (moment.time() != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(moment.time(), longTimeFormat(locale));
    return text;
}

QLabel *makeLabel(QWidget *parent, const char *name, int left, int top)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    return label;
}

// A one-line label of fixed size that cuts what does not fit.
QLabel *makeTitle(QWidget *parent, const char *name, int left, int top)
{
    QLabel *label = makeLabel(parent, name, left, top);
    label->setFixedSize(360, 16);
    label->setTextFormat(Qt::PlainText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(palette);
    return label;
}

} // namespace

ReplaceDialog::ReplaceDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ReplaceAskDlg"));
    setWindowTitle(tr("Confirm Replace"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(463, 250);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(13);
    setFont(tahoma);

    m_question = makeLabel(this, "question", 56, 24);
    m_oldText = makeTitle(this, "oldText", 80, 56);
    m_oldTime = makeLabel(this, "oldTime", 80, 80);
    makeLabel(this, "withThisOne", 56, 104)->setText(tr("with this one?"));
    m_newText = makeTitle(this, "newText", 80, 144);
    m_newTime = makeLabel(this, "newTime", 80, 168);

    using Answer = ExchangeReader::ReplaceAnswer;
    const auto button = [this](const char *name, const QString &caption, int left, Answer answer) {
        auto *pushButton = new QPushButton(caption, this);
        pushButton->setObjectName(QLatin1String(name));
        pushButton->setGeometry(left, 200, 75, 25);
        connect(pushButton, &QPushButton::clicked, this, [this, answer] {
            m_answer = answer;
            accept();
        });
        return pushButton;
    };
    m_yesButton = button("yes", tr("&Yes"), 88, Answer::Yes);
    QPushButton *allButton = button("all", tr("&All"), 176, Answer::All);
    QPushButton *noButton = button("no", tr("&No"), 264, Answer::No);
    QPushButton *abortButton = button("abort", tr("A&bort"), 352, Answer::Abort);
    setTabOrder(m_yesButton, noButton);
    setTabOrder(noButton, abortButton);
    setTabOrder(abortButton, allButton);
    m_yesButton->setFocus();

    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void ReplaceDialog::setRecords(const QString &kind, const QString &oldContent, TimeStamp oldEditTime,
                                const QString &newContent, TimeStamp newEditTime)
{
    m_question->setText(tr("Would you like to replace the existing ") + kind);
    m_oldText->setText(flattenLineBreaks(oldContent));
    m_oldTime->setText(tr("modified: ") + dateTimeText(oldEditTime));
    m_newText->setText(flattenLineBreaks(newContent));
    m_newTime->setText(tr("modified: ") + dateTimeText(newEditTime));
    for (QLabel *label : {m_question, m_oldTime, m_newTime})
        label->adjustSize();
    m_yesButton->setFocus();
}

void ReplaceDialog::reject()
{
    // Only the close box gets here: the stored record stays.
    m_answer = ExchangeReader::ReplaceAnswer::No;
    QDialog::reject();
}

void ReplaceDialog::keyPressEvent(QKeyEvent *event)
{
    // There is no cancel button, so Esc does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
