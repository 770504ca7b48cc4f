// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/TimeStamp.h"
#include <QString>

// ISO 8601 text of a local date-time, whole seconds, with the local offset ("+08:00",
// "-05:00") or "Z". The offset is the zone's state now, whatever the value's date; the
// overload takes it from the caller, so that a whole file carries one offset.
QString dateTimeToIso(TimeStamp value, bool withOffset);
QString dateTimeToIso(TimeStamp value, bool withOffset, int biasMinutes);
// Minutes to add to local time to get UTC now (negative east of Greenwich); 0 when unknown.
int localBiasMinutes();
// The local date-time on this machine of an ISO 8601 stamp; throws on empty or malformed text.
TimeStamp isoToDateTime(const QString &text);
TimeStamp isoToDateTime(const QString &text, int biasMinutes);
TimeStamp isoToDateTime(QByteArrayView utf8, int biasMinutes);
