// The search filter: memos whose text does not hold the search text are hidden.
#include "app/pU_Funcs.h"
#include "memos/Fr_kvMemos.h"
#include "tree/KvTreeUpdate.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <QLineEdit>

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
        const KvTreeUpdate update(*VtMemos);
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
