// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// One item of a report's main list: a memo's text, and the texts of its sub-memos when the
// item is a memo (a sub-memo item has none).
struct ReportItem {
    QString text;
    bool topLevel = false;
    QStringList subTexts;
};

struct ReportFooter {
    QString date;
    QString version;
};

QStringList htmlReportLines(const std::vector<ReportItem> &items, const ReportFooter &footer);
QStringList textReportLines(const std::vector<ReportItem> &items, const ReportFooter &footer);

// Writes the lines, each ended by CR LF, as UTF-8 without a byte-order mark. The file is
// replaced only once it is written completely. False when it could not be written.
bool writeReportFile(const QStringList &lines, const QString &fileName);
