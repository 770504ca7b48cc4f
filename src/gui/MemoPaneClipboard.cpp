// SPDX-License-Identifier: GPL-3.0-or-later
// memo texts to and from the clipboard.
#include "gui/MainWindow.h"
#include "core/MemoText.h"
#include "gui/Application.h"
#include "gui/MemoPane.h"
#include "core/MemoLevels.h"
#include "core/NewMemo.h"
#include "treeview/TreeText.h"
#include "treeview/MemoTree.h"
#include <QClipboard>
#include <QGuiApplication>

void MemoPane::copyMemos()
{
    // texts joined by a lone CR; empty texts at the start add nothing.
    QString text;
    for (TreeNode *memo : m_tree->selectedNodes()) {
        if (!text.isEmpty())
            text += QLatin1Char('\r');
        text += memo->memo.content;
    }
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void MemoPane::pasteMemos()
{
    pasteAsMemo(QGuiApplication::clipboard()->text());
}

void MemoPane::pasteAsMemo(const QString &text)
{
    addTextAsMemo(text, tr("Paste"));
}

void MemoPane::addTextAsMemo(const QString &text, const QString &stepName)
{
    // What is being typed is kept: the open edit is stored before the new memo comes.
    commitOpenEdit();
    TreeNode *node = addMemoNode(nullptr);
    Memo &memo = node->memo;
    // lineOf breaks of any program become the CR LF that typed memos have.
    memo = newMemo(MemoLevels::kTopLevelParent, trimRightControls(TreeText::toCrLf(text)));
    // A pasted memo is not assigned: its row keeps the column's default.
    memo.assignTime = 0;
    m_tree->invalidateNode(node);
    try {
        m_store.insert(memo);
    } catch (const std::exception &error) {
        // Nothing typed is at stake: the command changes nothing.
        m_tree->deleteNode(node);
        showDefaultErrorBox(QString::fromUtf8(error.what()));
        refreshCommands();
        return;
    }
    recordRows(stepName, {}, placedRows({node}));
    refreshCommands();
}
