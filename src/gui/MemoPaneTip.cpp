// SPDX-License-Identifier: GPL-3.0-or-later
// The tip panel above the search bar.
#include "gui/MemoPane.h"
#include "treeview/MemoTree.h"

void MemoPane::showTip(TipMode mode)
{
    m_tipPanel->showTip(mode == TipMode::None && !hasVisibleMemo() ? TipMode::AddMemo : mode);
}

void MemoPane::tipClicked(TipMode mode)
{
    switch (mode) {
    case TipMode::FinishEdit:
        commitOpenEdit();
        break;
    case TipMode::AddMemo:
        addMemo();
        break;
    case TipMode::NoSearchResult:
        m_searchBar->clickButton();
        break;
    case TipMode::None:
        break;
    }
}
