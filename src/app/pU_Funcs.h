#pragma once
#include <QString>

class KvQuery;

// Runs one statement that returns rows; the query stands on the first row.
void OpenSql(KvQuery &query, const QString &statement);
// Runs one statement that returns no rows.
void ExecSql(KvQuery &query, const QString &statement);
// A text on one line: every LF, then every CR, becomes a blank.
QString FlattenLineBreaks(const QString &text);
// The text without its trailing characters below code 33 (blanks, tabs, line breaks).
QString TrimRightControls(const QString &text);

int ShowBox(const QString &caption, const QString &text, int flags);
int AskBox(const QString &text);     // "Ask", OK and Cancel
int ErrorBox(const QString &text);   // "Error", OK
int WarningBox(const QString &text); // "Warning", OK
int TipBox(const QString &text);     // "Tip", OK
