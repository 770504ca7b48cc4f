// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QString>

// CR LF, a lone CR and a lone LF each become one LF.
QString toLfLineBreaks(const QString &text);
// A text on one line: every LF, then every CR, becomes a blank.
QString flattenLineBreaks(const QString &text);
// A moment in the user's short date and long time format (without the time zone); the time
// is left out at exactly midnight when omitMidnight is set.
QString dateAndTimeText(const QDateTime &moment, bool omitMidnight);
// The text without its trailing characters below code 33 (blanks, tabs, line breaks).
QString trimRightControls(const QString &text);
