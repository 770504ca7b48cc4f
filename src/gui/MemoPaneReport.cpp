// SPDX-License-Identifier: GPL-3.0-or-later
// Text and HTML reports of the selected memos, and printing the tree.
#include "gui/MainWindow.h"
#include "gui/Prompts.h"
#include "core/MemoText.h"
#include "core/VersionInfo.h"
#include "core/MemoSelection.h"
#include "gui/MemoPane.h"
#include "treeview/MemoTree.h"
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

namespace {

// Selects every visible memo for the report and clears the selection again however the
// report ends.
class SelectAllFirstScope {
public:
    SelectAllFirstScope(MemoPane &frame, bool selectAllFirst) : m_frame(frame), m_active(selectAllFirst)
    {
        if (m_active)
            m_frame.tree()->selectAllVisible();
    }
    ~SelectAllFirstScope()
    {
        if (m_active)
            m_frame.deselectAll();
    }
    SelectAllFirstScope(const SelectAllFirstScope &) = delete;
    SelectAllFirstScope &operator=(const SelectAllFirstScope &) = delete;

private:
    MemoPane &m_frame;
    bool m_active;
};

// The file name with its extension replaced (or added when it has none).
QString withExtension(const QString &fileName, const QString &extension)
{
    const QFileInfo info(fileName);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot >= 0 ? name.left(dot) : name;
    return fileName.left(fileName.size() - name.size()) + base + extension;
}

} // namespace

MemoSelection MemoPane::selection() const
{
    MemoSelection picked;
    for (TreeNode *node : m_tree->selectedNodes()) {
        SelectedMemo memo{&node->memo, node->level() == 0, {}};
        if (memo.topLevel)
            for (int i = 0; i < node->childCount(); ++i)
                memo.subMemos.push_back(&node->child(i)->memo);
        picked.push_back(std::move(memo));
    }
    return picked;
}

bool MemoPane::writeReport(bool selectAllFirst, const QString &fileName, ReportKind kind)
{
    const SelectAllFirstScope selection(*this, selectAllFirst);
    const ReportFooter footer{dateAndTimeText(QDateTime::currentDateTime(), false),
                                m_mainWindow->versionInfo()->fileVersion()};
    const std::vector<ReportItem> items = reportItems(MemoPane::selection());
    const QStringList lines = kind == ReportKind::Html ? htmlReportLines(items, footer) : textReportLines(items, footer);
    if (!writeReportFile(lines, fileName)) {
        errorBox(tr("File write failure!"));
        return false;
    }
    return true;
}

bool MemoPane::writeHtmlReport(bool selectAllFirst, const QString &fileName)
{
    return writeReport(selectAllFirst, fileName, ReportKind::Html);
}

bool MemoPane::writeTextReport(bool selectAllFirst, const QString &fileName)
{
    return writeReport(selectAllFirst, fileName, ReportKind::Text);
}

void MemoPane::saveReport(bool selectAllFirst)
{
    if (m_controller->editNode() || !m_mainWindow->reportDialog().execute())
        return;
    const QString chosen = m_mainWindow->reportDialog().fileName();
    const bool html = m_mainWindow->reportDialog().chosenFilter() == MainWindow::kHtmlReport;
    const QString fileName = withExtension(chosen, html ? QStringLiteral(".html") : QStringLiteral(".txt"));
    // The dialog asked about the name as typed; the file written may be another one.
    if (fileName != chosen && QFileInfo::exists(fileName)
        && askBox(tr("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(fileName).fileName())) != BoxAnswer::Ok)
        return;
    if (html)
        writeHtmlReport(selectAllFirst, fileName);
    else
        writeTextReport(selectAllFirst, fileName);
}

void MemoPane::saveSelection()
{
    saveReport(false);
}

void MemoPane::saveAll()
{
    saveReport(true);
}

void MemoPane::printMemos()
{
    if (m_controller->editNode())
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!prompts().printDialog(printer))
        return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        errorBox(tr("Unable to print: the printer cannot be opened."));
        return;
    }
    // The tree draws in its own pixels; the page is scaled to match the screen's size.
    const qreal scale = qreal(printer.resolution()) / m_tree->logicalDpiY();
    painter.scale(scale, scale);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const QRect pageInTreePixels(0, 0, int(page.width() / scale), int(page.height() / scale));
    m_tree->paintRowsForPrint(painter, pageInTreePixels, [&printer] { printer.newPage(); });
}
