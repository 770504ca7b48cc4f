// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MemoOutput.h"
#include "gui/memos/MemoController.h"
#include "gui/Prompts.h"
#include "gui/memos/MemoNode.h"
#include "core/MemoSelection.h"
#include "core/MemoText.h"
#include "core/VersionInfo.h"
#include "core/XmlNavigator.h"
#include "treeview/MemoTree.h"
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

namespace {

// Selects every visible memo for the report and clears the selection again however the
// report ends.
class SelectAllFirstScope {
public:
    SelectAllFirstScope(MemoTree &tree, bool selectAllFirst) : m_tree(tree), m_active(selectAllFirst)
    {
        if (m_active)
            m_tree.selectAllVisible();
    }
    ~SelectAllFirstScope()
    {
        if (m_active)
            m_tree.clearSelection();
    }
    SelectAllFirstScope(const SelectAllFirstScope &) = delete;
    SelectAllFirstScope &operator=(const SelectAllFirstScope &) = delete;

private:
    MemoTree &m_tree;
    bool m_active;
};

// The selected memos in tree order, each top-level one with all its sub-memos.
MemoSelection selectedMemos(const MemoTree &tree)
{
    MemoSelection picked;
    for (TreeNode *node : tree.selectedNodes()) {
        SelectedMemo memo{&memoOf(node), node->level() == 0, {}};
        if (memo.topLevel)
            for (int i = 0; i < node->childCount(); ++i)
                memo.subMemos.push_back(&memoOf(node->child(i)));
        picked.push_back(std::move(memo));
    }
    return picked;
}

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

MemoOutput::MemoOutput(MemoTree &tree, const MemoController &controller, const VersionInfo &version,
                       FileDialog &exportDialog, QObject *parent)
    : QObject(parent), m_tree(tree), m_controller(controller), m_version(version), m_exportDialog(exportDialog)
{
}

bool MemoOutput::writeReport(bool selectAllFirst, const QString &fileName, ReportKind kind)
{
    const SelectAllFirstScope selection(m_tree, selectAllFirst);
    const ReportFooter footer{dateAndTimeText(QDateTime::currentDateTime(), false), m_version.fileVersion()};
    const std::vector<ReportItem> items = reportItems(selectedMemos(m_tree));
    const QStringList lines = kind == ReportKind::Html ? htmlReportLines(items, footer) : textReportLines(items, footer);
    if (!writeReportFile(lines, fileName)) {
        errorBox(tr("File write failure!"));
        return false;
    }
    return true;
}

bool MemoOutput::writeHtmlReport(bool selectAllFirst, const QString &fileName)
{
    return writeReport(selectAllFirst, fileName, ReportKind::Html);
}

bool MemoOutput::writeTextReport(bool selectAllFirst, const QString &fileName)
{
    return writeReport(selectAllFirst, fileName, ReportKind::Text);
}

void MemoOutput::saveReport(bool selectAllFirst)
{
    if (m_controller.editNode() || !m_reportDialog.execute())
        return;
    const QString chosen = m_reportDialog.fileName();
    const bool html = m_reportDialog.chosenFilter() == kHtmlReport;
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

void MemoOutput::printMemos()
{
    if (m_controller.editNode())
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
    const qreal scale = qreal(printer.resolution()) / m_tree.logicalDpiY();
    painter.scale(scale, scale);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const QRect pageInTreePixels(0, 0, int(page.width() / scale), int(page.height() / scale));
    m_tree.paintRowsForPrint(painter, pageInTreePixels, [&printer] { printer.newPage(); });
}

bool MemoOutput::exportSelection(const QString &fileName)
{
    XmlNavigator xml;
    buildSelectionExport(xml, selectedMemos(m_tree), m_version.fileVersion());
    try {
        xml.saveToFile(fileName);
    } catch (const std::exception &) {
        errorBox(tr("File Write Failure !"));
        return false;
    }
    return true;
}

void MemoOutput::exportMemos()
{
    if (m_controller.editNode())
        return;
    if (!m_tree.firstSelected()) {
        warningBox(tr("Please select a memo!"));
        return;
    }
    if (m_exportDialog.execute())
        exportSelection(m_exportDialog.fileName());
}
