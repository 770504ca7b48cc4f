// Text and HTML reports of the selected memos, and printing the tree.
#include "app/Fm_Main.h"
#include "app/Prompts.h"
#include "app/pU_Funcs.h"
#include "components/KvVersionInfo.h"
#include "exchange/KvReport.h"
#include "memos/Fr_kvMemos.h"
#include "tree/KvVirtualTree.h"
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

namespace {

// Selects every visible memo for the report and clears the selection again however the
// report ends.
class SelectAllFirstScope {
public:
    SelectAllFirstScope(TkvMemosFrame &frame, bool selectAllFirst) : FFrame(frame), FActive(selectAllFirst)
    {
        if (FActive)
            FFrame.VtMemos->selectAllVisible();
    }
    ~SelectAllFirstScope()
    {
        if (FActive)
            FFrame.Action_DeselectExecute();
    }
    SelectAllFirstScope(const SelectAllFirstScope &) = delete;
    SelectAllFirstScope &operator=(const SelectAllFirstScope &) = delete;

private:
    TkvMemosFrame &FFrame;
    bool FActive;
};

// The file name with its extension replaced (or added when it has none).
QString WithExtension(const QString &fileName, const QString &extension)
{
    const QFileInfo info(fileName);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot >= 0 ? name.left(dot) : name;
    return fileName.left(fileName.size() - name.size()) + base + extension;
}

} // namespace

std::vector<KvReportItem> TkvMemosFrame::ReportItems() const
{
    std::vector<KvReportItem> items;
    for (KvTreeNode *node : VtMemos->selectedNodes()) {
        KvReportItem item{node->data.content, node->level() == 0, {}};
        if (item.topLevel)
            for (int i = 0; i < node->childCount(); ++i)
                item.subTexts << node->child(i)->data.content;
        items.push_back(std::move(item));
    }
    return items;
}

bool TkvMemosFrame::WriteReport(bool selectAllFirst, const QString &fileName, ReportKind kind)
{
    const SelectAllFirstScope selection(*this, selectAllFirst);
    const KvReportFooter footer{DateAndTimeText(QDateTime::currentDateTime(), false),
                                FMainFm->KvVersionInfo1->GetValue(2)};
    const std::vector<KvReportItem> items = ReportItems();
    const QStringList lines = kind == ReportKind::Html ? HtmlReportLines(items, footer) : TextReportLines(items, footer);
    if (!WriteReportFile(lines, fileName)) {
        ErrorBox(QStringLiteral("File write failure!"));
        return false;
    }
    return true;
}

bool TkvMemosFrame::WriteHtmlReport(bool selectAllFirst, const QString &fileName)
{
    return WriteReport(selectAllFirst, fileName, ReportKind::Html);
}

bool TkvMemosFrame::WriteTextReport(bool selectAllFirst, const QString &fileName)
{
    return WriteReport(selectAllFirst, fileName, ReportKind::Text);
}

void TkvMemosFrame::SaveReport(bool selectAllFirst)
{
    if (FEditNode || !FMainFm->SaveDialog.Execute())
        return;
    const QString &chosen = FMainFm->SaveDialog.FileName;
    if (FMainFm->SaveDialog.Request.filterIndex == 2)
        WriteHtmlReport(selectAllFirst, WithExtension(chosen, QStringLiteral(".html")));
    else
        WriteTextReport(selectAllFirst, WithExtension(chosen, QStringLiteral(".txt")));
}

void TkvMemosFrame::Action_SaveExecute()
{
    SaveReport(false);
}

void TkvMemosFrame::Action_SaveAllExecute()
{
    SaveReport(true);
}

void TkvMemosFrame::Action_PrintExecute()
{
    if (FEditNode)
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!Prompts().printDialog(printer))
        return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        ErrorBox(QStringLiteral("Unable to print: the printer cannot be opened."));
        return;
    }
    // The tree draws in its own pixels; the page is scaled to match the screen's size.
    const qreal scale = qreal(printer.resolution()) / VtMemos->logicalDpiY();
    painter.scale(scale, scale);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const QRect pageInTreePixels(0, 0, int(page.width() / scale), int(page.height() / scale));
    VtMemos->paintRowsForPrint(painter, pageInTreePixels, [&printer] { printer.newPage(); });
}
