// The search filter: memos whose text does not hold the search text are hidden.
#include "app/Fm_Main.h"
#include "app/KvIniFile.h"
#include "app/pU_Funcs.h"
#include "memos/Fr_kvMemos.h"
#include "memos/MemoSettings.h"
#include "store/KvBatch.h"
#include "tree/KvTreeUpdate.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QToolButton>
#include <algorithm>

namespace {

QString TrimControls(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start).unicode() < 33)
        ++start;
    return TrimRightControls(text.mid(start));
}

} // namespace

void TkvMemosFrame::Edt_SearchChange()
{
    FSearchText = TrimControls(Edt_Search->text());
    ApplyFilter();
}

void TkvMemosFrame::ApplyFilter()
{
    FHoverNode = nullptr;
    bool anyShown = false;
    {
        // Parents that a search expands have their state stored: one write for the keystroke.
        KvBatch batch(FMainFm->connection());
        const KvTreeUpdate update(*VtMemos);
        const QScopedValueRollback<bool> atWork(FFiltering, true);
        const bool filtering = FSearching && !FSearchText.isEmpty();
        const bool wide = Action_searchWide->isChecked();
        // Each memo comes before its sub-memos, so a sub-memo that matches can show its memo
        // again after the memo itself was hidden.
        for (KvTreeNode *node = VtMemos->firstNode(); node; node = VtMemos->nextNode(node)) {
            KvTreeNode *parent = node->parent();
            const auto matches = [this](KvTreeNode *memo) {
                return memo->data.content.contains(FSearchText, Qt::CaseSensitive);
            };
            const bool shown = !filtering || matches(node) || (parent && wide && matches(parent));
            VtMemos->setVisible(node, shown);
            if (shown && parent && filtering) {
                VtMemos->setVisible(parent, true);
                VtMemos->setExpanded(parent, true);
            }
            anyShown = anyShown || shown;
        }
        batch.commit();
    }
    ShowTip(FSearching && !anyShown ? 3 : 0);
}

bool TkvMemosFrame::HasVisibleMemo() const
{
    for (int i = 0; i < VtMemos->topLevelCount(); ++i) {
        if (VtMemos->topLevelNode(i)->isVisible())
            return true;
    }
    return false;
}

void TkvMemosFrame::SetSearchIdle()
{
    FSearching = false;
    QPalette palette = Edt_Search->palette();
    palette.setColor(QPalette::Text, palette.color(QPalette::PlaceholderText));
    Edt_Search->setPalette(palette);
    Edt_Search->setText(QStringLiteral("  Search..."));
    Btn_Search->setIcon(PngImageList_16[18]);
    Btn_Search->setToolTip(QString());
}

void TkvMemosFrame::Edt_SearchEnter()
{
    if (FSearching)
        return;
    Edt_Search->setText(QString());
    QPalette palette = Edt_Search->palette();
    palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
    Edt_Search->setPalette(palette);
    FSearching = true;
    Btn_Search->setIcon(PngImageList_16[19]);
    Btn_Search->setToolTip(QStringLiteral("Clear search"));
}

void TkvMemosFrame::Edt_SearchExit()
{
    if (!TrimControls(Edt_Search->text()).isEmpty())
        return;
    SetSearchIdle();
}

void TkvMemosFrame::Edt_SearchKeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        Btn_SearchClick();
    else if (event->key() == Qt::Key_A && event->modifiers().testFlag(Qt::ControlModifier))
        Edt_Search->selectAll();
}

void TkvMemosFrame::Btn_SearchClick()
{
    if (FSearching) {
        Edt_Search->setText(QString());
        Edt_SearchExit();
        ApplyFilter();
        VtMemos->setFocus();
    } else {
        Edt_Search->setFocus();
    }
}

void TkvMemosFrame::Action_searchWideExecute()
{
    if (FLoading)
        return;
    ApplyFilter();
    KvIniFile(FMainFm->confPath()).writeBool(kMemoSection, kSearchWideEn, Action_searchWide->isChecked());
}

void TkvMemosFrame::ToolBar_BottomResize()
{
    // The box fills the bar between the wide-search button and the clear button, 10 pixels
    // short of the clear button.
    const int barHeight = ToolBar_Bottom->height();
    const int buttonWidth = Btn_Search->width();
    const auto centred = [barHeight](QWidget *widget) { return (barHeight - widget->height()) / 2; };
    ToolButton2->move(0, centred(ToolButton2));
    Edt_Search->setGeometry(buttonWidth, centred(Edt_Search), std::max(0, ToolBar_Bottom->width() - 2 * buttonWidth - 10),
                            Edt_Search->sizeHint().height());
    Btn_Search->move(Edt_Search->geometry().right() + 1 + 10, centred(Btn_Search));
}
