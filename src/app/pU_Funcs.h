#pragma once
#include "store/DateTime.h"
#include <QDateTime>
#include <QString>

class KvQuery;

// Runs one statement that returns rows; the query stands on the first row.
void OpenSql(KvQuery &query, const QString &statement);
// Runs one statement that returns no rows.
void ExecSql(KvQuery &query, const QString &statement);
// A text on one line: every LF, then every CR, becomes a blank.
QString FlattenLineBreaks(const QString &text);
// A moment in the user's short date and long time format (without the time zone); the time
// is left out at exactly midnight when omitMidnight is set.
QString DateAndTimeText(const QDateTime &moment, bool omitMidnight);
// The text without its trailing characters below code 33 (blanks, tabs, line breaks).
QString TrimRightControls(const QString &text);

// ISO 8601 text of a local date-time, whole seconds, with the local offset ("+08:00",
// "-05:00") or "Z". The offset is the zone's state now, whatever the value's date; the
// overload takes it from the caller, so that a whole file carries one offset.
QString DateTimeToIso(TDateTime value, bool WithOffset);
QString DateTimeToIso(TDateTime value, bool WithOffset, int biasMinutes);
// Minutes to add to local time to get UTC now (negative east of Greenwich); 0 when unknown.
int LocalBiasMinutes();
// The local date-time on this machine of an ISO 8601 stamp; throws on empty or malformed text.
TDateTime IsoToDateTime(const QString &text);
TDateTime IsoToDateTime(const QString &text, int biasMinutes);

int ShowBox(const QString &caption, const QString &text, int flags);
int AskBox(const QString &text);     // "Ask", OK and Cancel
int ErrorBox(const QString &text);   // "Error", OK
int WarningBox(const QString &text); // "Warning", OK
int TipBox(const QString &text);     // "Tip", OK
