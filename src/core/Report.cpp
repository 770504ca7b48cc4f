// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Report.h"
#include "core/MakerLinks.h"
#include "core/SaveFile.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kRule = QString(33, QLatin1Char('-'));

QString lineBreaksAs(const QString &text, const QString &replacement)
{
    if (!text.contains(kCrLf))
        return text;
    QString result = text;
    return result.replace(kCrLf, replacement);
}

} // namespace

QStringList htmlReportLines(const std::vector<ReportItem> &items, const ReportFooter &footer)
{
    const QString memoOpen[2] = {
        QStringLiteral("<li><p style=\"margin: 4px 0 4px 0; padding: 0 0 0 10px; background: #F3F3FA;\">"),
        QStringLiteral("<li><p style=\"margin: 4px 0 4px 0; padding: 0 0 0 10px; background: #D1E9E9;\">")};
    const QString subOpen[2] = {
        QStringLiteral("<li><p style=\"margin: 2px 0 2px 0; padding: 0 0 0 10; background: #fff;\">"),
        QStringLiteral("<li><p style=\"margin: 2px 0 2px 0; padding: 0 0 0 10; background: #F5FFE8;\">")};
    const auto itemText = [](const QString &text) {
        return lineBreaksAs(text, QStringLiteral("<br> ")) + QStringLiteral("</p></li>");
    };

    QStringList lines = {
        QStringLiteral("<html><body>"),
        QStringLiteral("<h1>Memos</h1>"),
        QStringLiteral("<hr style=\"background: #666;color: #666;height: 1px; margin: 0 5px 0 5px;\"></>"),
        QStringLiteral("<ul style=\"list-style-type: disc; font-size: 105%;\">"),
    };
    int memos = 0, subMemos = 0;
    for (const ReportItem &item : items) {
        lines << memoOpen[memos % 2] << itemText(item.text);
        ++memos;
        if (!item.topLevel)
            continue;
        lines << QStringLiteral("<ul style=\"list-style-type: circle; margin: 0 0 5px 15px; font-size: 95%;\">");
        for (qsizetype i = 0; i < item.subTexts.size(); ++i)
            lines << subOpen[i % 2] << itemText(item.subTexts[i]);
        subMemos += int(item.subTexts.size());
        lines << QStringLiteral("</ul>");
    }
    lines << QStringLiteral("</ul>")
          << QStringLiteral("<hr /><p>Memos %1, Sub-Memos %2 - %3</p>").arg(memos).arg(subMemos).arg(footer.date)
          << QStringLiteral("<p>By Korvel Jotwell %1</p>").arg(footer.version)
          << QStringLiteral("<p><a href=\"%1%2\">%1</a></p>").arg(MakerLinks::kProductPage, MakerLinks::kReportQuery)
          << QStringLiteral("</body></html>");
    return lines;
}

QStringList textReportLines(const std::vector<ReportItem> &items, const ReportFooter &footer)
{
    QStringList lines = {QStringLiteral("Memos"), kRule, QString()};
    int memos = 0, subMemos = 0;
    for (const ReportItem &item : items) {
        // Continuation lines line up under the text.
        lines << QStringLiteral(" * ") + lineBreaksAs(item.text, kCrLf + QStringLiteral("   "));
        ++memos;
        if (!item.topLevel)
            continue;
        for (const QString &sub : item.subTexts)
            lines << QStringLiteral("   - ") + lineBreaksAs(sub, kCrLf + QStringLiteral("     "));
        subMemos += int(item.subTexts.size());
    }
    lines << QString() << kRule
          << QStringLiteral(" Memos %1, Sub-Memos %2 - %3").arg(memos).arg(subMemos).arg(footer.date)
          << QStringLiteral(" By Korvel Jotwell %1").arg(footer.version)
          << QLatin1Char(' ') + MakerLinks::kProductPage;
    return lines;
}

bool writeReportFile(const QStringList &lines, const QString &fileName)
{
    // The file is written unbuffered (see SaveFile.h), so lines are gathered into pieces.
    constexpr qsizetype kPiece = 1 << 20;
    QSaveFile file(fileName);
    if (!openWholeFile(file))
        return false;
    QByteArray piece;
    for (const QString &line : lines) {
        piece.append(line.toUtf8()).append("\r\n", 2);
        if (piece.size() >= kPiece) {
            if (!writeAll(file, piece))
                return false;
            piece.clear();
        }
    }
    return writeAll(file, piece) && commitWholeFile(file);
}
