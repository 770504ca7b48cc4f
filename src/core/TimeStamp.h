// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>

// Local date-time as a day count from 30 December 1899 00:00, the time of day being the
// fraction. Zero is the "empty" date-time that empty database columns read as.
using TimeStamp = double;

TimeStamp dateTimeNow();
TimeStamp toTimeStamp(const QDateTime &local);
QDateTime dateTimeToQDateTime(TimeStamp value);
