// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MemoText.h"
#include <QLocale>
#include <QRegularExpression>

QString toLfLineBreaks(const QString &text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

QString flattenLineBreaks(const QString &text)
{
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    flat.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return flat;
}

QString dateAndTimeText(const QDateTime &moment, bool omitMidnight)
{
    const QLocale locale = QLocale::system();
    QString text = locale.toString(moment.date(), QLocale::ShortFormat);
    if (!(omitMidnight && moment.time() == QTime(0, 0))) {
        // The long format carries the zone name, which a memo's time has no use for.
        QString format = locale.timeFormat(QLocale::LongFormat);
        format.remove(QRegularExpression(QStringLiteral("\\s*t+")));
        text += QLatin1Char(' ') + locale.toString(moment.time(), format.trimmed());
    }
    return text;
}

QString trimRightControls(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() < 33)
        --end;
    return text.left(end);
}
