#include "app/pU_Funcs.h"
#include "app/Prompts.h"
#include "store/KvQuery.h"
#include <QLocale>
#include <QRegularExpression>
#include <QDate>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <stdexcept>

void OpenSql(KvQuery &query, const QString &statement)
{
    query.close();
    query.clearSql();
    query.addSql(statement);
    query.open();
}

void ExecSql(KvQuery &query, const QString &statement)
{
    query.close();
    query.clearSql();
    query.addSql(statement);
    query.execSql();
}

QString FlattenLineBreaks(const QString &text)
{
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    flat.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return flat;
}

QString DateAndTimeText(const QDateTime &moment, bool omitMidnight)
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

QString TrimRightControls(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() < 33)
        --end;
    return text.left(end);
}

int ShowBox(const QString &caption, const QString &text, int flags)
{
    return Prompts().messageBox(caption, text, flags, KvBoxIcon::None);
}

int AskBox(const QString &text)
{
    return ShowBox(QStringLiteral("Ask"), text, MB_OKCANCEL);
}

int ErrorBox(const QString &text)
{
    return ShowBox(QStringLiteral("Error"), text, MB_OK);
}

int WarningBox(const QString &text)
{
    return ShowBox(QStringLiteral("Warning"), text, MB_OK);
}

int TipBox(const QString &text)
{
    return ShowBox(QStringLiteral("Tip"), text, MB_OK);
}

namespace {

const QDate kDayZero(1899, 12, 30);

// Reads exactly count decimal digits at pos; false when any is missing.
bool ReadDigits(const QString &text, qsizetype &pos, int count, int &value)
{
    value = 0;
    for (int i = 0; i < count; ++i, ++pos) {
        if (pos >= text.size() || !text[pos].isDigit() || text[pos].unicode() > '9')
            return false;
        value = value * 10 + (text[pos].unicode() - '0');
    }
    return true;
}

bool ReadChar(const QString &text, qsizetype &pos, char expected)
{
    if (pos >= text.size() || text[pos] != QLatin1Char(expected))
        return false;
    ++pos;
    return true;
}

} // namespace

int LocalBiasMinutes()
{
    tzset();
    const time_t now = time(nullptr);
    tm local{};
    if (now == time_t(-1) || !localtime_r(&now, &local))
        return 0;
    return int(-local.tm_gmtoff / 60);
}

QString DateTimeToIso(TDateTime value, bool WithOffset)
{
    return DateTimeToIso(value, WithOffset, LocalBiasMinutes());
}

QString DateTimeToIso(TDateTime value, bool WithOffset, int biasMinutes)
{
    // Whole milliseconds first, as the value is read everywhere; fractions of a second are
    // then dropped, never rounded up into the next second.
    constexpr qint64 kMsPerDay = 86400000;
    // Stamps beyond the years 1 to 9999 (or not numbers at all) cannot be read back: they are
    // written as the empty date, 30 December 1899.
    constexpr double kFirstDay = -693593; // 1 January of the year 1
    constexpr double kDayAfterLast = 2958466; // 1 January 10000
    if (!(value >= kFirstDay && value < kDayAfterLast))
        value = 0;
    qint64 totalMs = qRound64(value * double(kMsPerDay));
    if (totalMs >= qint64(kDayAfterLast) * kMsPerDay)
        totalMs -= 1000; // rounded up into the year 10000; the second is cut below anyway
    qint64 days = totalMs / kMsPerDay;
    qint64 ms = totalMs % kMsPerDay;
    if (ms < 0) {
        ms += kMsPerDay;
        --days;
    }
    int year = 0, month = 0, day = 0;
    kDayZero.addDays(days).getDate(&year, &month, &day);
    const int seconds = int(ms / 1000);
    char text[64];
    int length = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.000", year, month, day,
                               seconds / 3600, seconds / 60 % 60, seconds % 60);
    if (WithOffset && biasMinutes != 0) {
        static const char *const kSign[2] = {"+", "-"};
        const int bias = std::abs(biasMinutes);
        length += std::snprintf(text + length, sizeof text - size_t(length), "%s%.2d:%.2d", kSign[biasMinutes > 0],
                                bias / 60, bias % 60);
    } else {
        text[length++] = 'Z';
    }
    return QString::fromLatin1(text, length);
}

TDateTime IsoToDateTime(const QString &text)
{
    return IsoToDateTime(text, LocalBiasMinutes());
}

TDateTime IsoToDateTime(const QString &text, int biasMinutes)
{
    qsizetype pos = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool ok = ReadDigits(text, pos, 4, year) && ReadChar(text, pos, '-') && ReadDigits(text, pos, 2, month)
              && ReadChar(text, pos, '-') && ReadDigits(text, pos, 2, day) && ReadChar(text, pos, 'T')
              && ReadDigits(text, pos, 2, hour) && ReadChar(text, pos, ':') && ReadDigits(text, pos, 2, minute)
              && ReadChar(text, pos, ':') && ReadDigits(text, pos, 2, second);
    const QDate date(year, month, day);
    ok = ok && date.isValid() && hour < 24 && minute < 60 && second < 60;
    double fraction = 0;
    if (ok && pos < text.size() && text[pos] == QLatin1Char('.')) {
        ++pos;
        double scale = 0.1;
        const qsizetype start = pos;
        for (; pos < text.size() && text[pos].unicode() >= '0' && text[pos].unicode() <= '9'; ++pos, scale /= 10)
            fraction += (text[pos].unicode() - '0') * scale;
        ok = pos > start;
    }
    int offsetMinutes = 0;
    if (ok && pos < text.size()) {
        if (text[pos] == QLatin1Char('Z')) {
            ++pos;
        } else if (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-')) {
            const int sign = text[pos] == QLatin1Char('+') ? 1 : -1;
            ++pos;
            int offsetHours = 0, offsetRest = 0;
            ok = ReadDigits(text, pos, 2, offsetHours) && (ReadChar(text, pos, ':'), true)
                 && ReadDigits(text, pos, 2, offsetRest) && offsetRest < 60;
            offsetMinutes = sign * (offsetHours * 60 + offsetRest);
        } else {
            ok = false;
        }
    }
    if (!ok || pos != text.size())
        throw std::invalid_argument(
            QStringLiteral("'%1' is not a valid ISO 8601 date and time").arg(text).toStdString());
    const double clock = double(kDayZero.daysTo(date)) + (hour * 3600 + minute * 60 + second + fraction) / 86400.0;
    return clock - double(offsetMinutes + biasMinutes) / 1440.0;
}
