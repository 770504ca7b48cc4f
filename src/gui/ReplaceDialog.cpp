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

QLabel *makeLabel(QWidget *parent, int left, int top)
{
    auto *label = new QLabel(parent);
    label->move(left, top);
    return label;
}

// A one-line label of fixed size that cuts what does not fit.
QLabel *makeTitle(QWidget *parent, int left, int top)
{
    QLabel *label = makeLabel(parent, left, top);
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
    setWindowTitle(QStringLiteral("Confirm Replace"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(463, 250);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(13);
    setFont(tahoma);

    Label_Caption = makeLabel(this, 56, 24);
    Label_oldTitle = makeTitle(this, 80, 56);
    Label_oldTime = makeLabel(this, 80, 80);
    Label2 = makeLabel(this, 56, 104);
    Label2->setText(QStringLiteral("with this one?"));
    Label_newTitle = makeTitle(this, 80, 144);
    Label_newTime = makeLabel(this, 80, 168);

    const auto button = [this](const QString &caption, int left, int result) {
        auto *pushButton = new QPushButton(caption, this);
        pushButton->setGeometry(left, 200, 75, 25);
        connect(pushButton, &QPushButton::clicked, this, [this, result] { done(result); });
        return pushButton;
    };
    Button1 = button(QStringLiteral("&Yes"), 88, mrYes);
    Button4 = button(QStringLiteral("&All"), 176, mrAll);
    Button2 = button(QStringLiteral("&No"), 264, mrNo);
    Button3 = button(QStringLiteral("A&bort"), 352, mrAbort);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button4);
    Button1->setFocus();

    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void ReplaceDialog::setRecords(const QString &kind, const QString &oldContent, TimeStamp oldEditTime,
                                const QString &newContent, TimeStamp newEditTime)
{
    Label_Caption->setText(QStringLiteral("Would you like to replace the existing ") + kind);
    Label_oldTitle->setText(flattenLineBreaks(oldContent));
    Label_oldTime->setText(QStringLiteral("modified: ") + dateTimeText(oldEditTime));
    Label_newTitle->setText(flattenLineBreaks(newContent));
    Label_newTime->setText(QStringLiteral("modified: ") + dateTimeText(newEditTime));
    for (QLabel *label : {Label_Caption, Label_oldTime, Label_newTime})
        label->adjustSize();
    Button1->setFocus();
}

void ReplaceDialog::reject()
{
    // Only the close box gets here; it counts as neither yes nor no to all.
    done(mrCancel);
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
