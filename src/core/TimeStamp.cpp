// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/TimeStamp.h"

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
}

TimeStamp dateTimeNow()
{
    return toTimeStamp(QDateTime::currentDateTime());
}

TimeStamp toTimeStamp(const QDateTime &local)
{
    const QDateTime value = local.toLocalTime();
    return double(kEpoch.daysTo(value.date())) + value.time().msecsSinceStartOfDay() / kMsPerDay;
}

QDateTime dateTimeToQDateTime(TimeStamp value)
{
    // Round to the millisecond first so that a value that was made from a time reads back as
    // that time, whatever the floating-point error of the fraction.
    const qint64 totalMs = qRound64(value * kMsPerDay);
    qint64 days = totalMs / qint64(kMsPerDay);
    qint64 ms = totalMs % qint64(kMsPerDay);
    if (ms < 0) {
        ms += qint64(kMsPerDay);
        --days;
    }
    return QDateTime(kEpoch.addDays(days), QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::LocalTime);
}
