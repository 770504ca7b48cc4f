// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/IsoTime.h"
#include <QCoreApplication>
#include <QDate>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <stdexcept>

namespace {

const QDate kDayZero(1899, 12, 30);

// One character of the text as a code unit; the parser reads UTF-16 and UTF-8 alike.
char16_t unitAt(const QString &text, qsizetype pos)
{
    return text[pos].unicode();
}

char16_t unitAt(QByteArrayView text, qsizetype pos)
{
    return char16_t(uchar(text[pos]));
}

template <typename Text>
bool isDigitAt(const Text &text, qsizetype pos)
{
    return pos < text.size() && unitAt(text, pos) >= '0' && unitAt(text, pos) <= '9';
}

// Reads exactly count decimal digits at pos; false when any is missing.
template <typename Text>
bool readDigits(const Text &text, qsizetype &pos, int count, int &value)
{
    value = 0;
    for (int i = 0; i < count; ++i, ++pos) {
        if (!isDigitAt(text, pos))
            return false;
        value = value * 10 + (unitAt(text, pos) - '0');
    }
    return true;
}

template <typename Text>
bool readChar(const Text &text, qsizetype &pos, char expected)
{
    if (pos >= text.size() || unitAt(text, pos) != char16_t(expected))
        return false;
    ++pos;
    return true;
}

QString shown(QByteArrayView text)
{
    return QString::fromUtf8(text);
}

const QString &shown(const QString &text)
{
    return text;
}

} // namespace

int localBiasMinutes()
{
    tzset();
    const time_t now = time(nullptr);
    tm local{};
    if (now == time_t(-1) || !localtime_r(&now, &local))
        return 0;
    return int(-local.tm_gmtoff / 60);
}

QString dateTimeToIso(TimeStamp value, bool withOffset)
{
    return dateTimeToIso(value, withOffset, localBiasMinutes());
}

QString dateTimeToIso(TimeStamp value, bool withOffset, int biasMinutes)
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
    if (withOffset && biasMinutes != 0) {
        static const char *const kSign[2] = {"+", "-"};
        const int bias = std::abs(biasMinutes);
        length += std::snprintf(text + length, sizeof text - size_t(length), "%s%.2d:%.2d", kSign[biasMinutes > 0],
                                bias / 60, bias % 60);
    } else {
        text[length++] = 'Z';
    }
    return QString::fromLatin1(text, length);
}

TimeStamp isoToDateTime(const QString &text)
{
    return isoToDateTime(text, localBiasMinutes());
}

namespace {

template <typename Text>
TimeStamp readIso(const Text &text, int biasMinutes)
{
    qsizetype pos = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool ok = readDigits(text, pos, 4, year) && readChar(text, pos, '-') && readDigits(text, pos, 2, month)
              && readChar(text, pos, '-') && readDigits(text, pos, 2, day) && readChar(text, pos, 'T')
              && readDigits(text, pos, 2, hour) && readChar(text, pos, ':') && readDigits(text, pos, 2, minute)
              && readChar(text, pos, ':') && readDigits(text, pos, 2, second);
    const QDate date(year, month, day);
    ok = ok && date.isValid() && hour < 24 && minute < 60 && second < 60;
    double fraction = 0;
    if (ok && pos < text.size() && unitAt(text, pos) == '.') {
        ++pos;
        double scale = 0.1;
        const qsizetype start = pos;
        for (; isDigitAt(text, pos); ++pos, scale /= 10)
            fraction += (unitAt(text, pos) - '0') * scale;
        ok = pos > start;
    }
    int offsetMinutes = 0;
    if (ok && pos < text.size()) {
        if (unitAt(text, pos) == 'Z') {
            ++pos;
        } else if (unitAt(text, pos) == '+' || unitAt(text, pos) == '-') {
            const int sign = unitAt(text, pos) == '+' ? 1 : -1;
            ++pos;
            int offsetHours = 0, offsetRest = 0;
            ok = readDigits(text, pos, 2, offsetHours) && (readChar(text, pos, ':'), true)
                 && readDigits(text, pos, 2, offsetRest) && offsetRest < 60;
            offsetMinutes = sign * (offsetHours * 60 + offsetRest);
        } else {
            ok = false;
        }
    }
    if (!ok || pos != text.size())
        throw std::invalid_argument(
            QCoreApplication::translate("IsoTime", "'%1' is not a valid ISO 8601 date and time").arg(shown(text)).toStdString());
    const double clock = double(kDayZero.daysTo(date)) + (hour * 3600 + minute * 60 + second + fraction) / 86400.0;
    return clock - double(offsetMinutes + biasMinutes) / 1440.0;
}

} // namespace

TimeStamp isoToDateTime(const QString &text, int biasMinutes)
{
    return readIso(text, biasMinutes);
}

TimeStamp isoToDateTime(QByteArrayView utf8, int biasMinutes)
{
    return readIso(utf8, biasMinutes);
}
