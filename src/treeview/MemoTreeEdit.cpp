// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeEditor.h"
#include "core/MemoText.h"
#include "treeview/TreeLayout.h"
#include "treeview/TreeMetrics.h"
#include "treeview/TreeText.h"
#include "treeview/MemoTree.h"
#include <QScrollBar>

using namespace TreeMetrics;

bool MemoTree::editNode(TreeNode *node)
{
    if (m_editClosing || !node || !m_nodes.contains(node))
        return false;
    if (m_editor && !endEditNode())
        return false;
    if (!m_nodes.contains(node))
        return false; // the previous edit's callbacks deleted it
    const uint64_t serial = node->m_serial;

    setFocusedQuietly(node);
    m_anchor = node;
    if (TreeNode *p = node->parent(); p && !p->m_expanded)
        setExpanded(p, true);
    if (!isAlive(node, serial) || m_updateCount)
        return false;
    ensureLayout();
    scrollIntoView(node);
    if (m_layout->rowOf(node) < 0)
        return false; // hidden

    if (!m_delegate->canEdit(node) || !isAlive(node, serial) || m_editor)
        return false;

    m_editOriginal = toLfLineBreaks(m_delegate->nodeText(node));
    m_editNode = node;
    m_editSerial = serial;
    auto *editor = new TreeEditor(viewport());
    editor->setFont(font());
    editor->document()->setDocumentMargin(kEditorMargin);
    editor->setPlainText(m_editOriginal);
    editor->selectAll();
    connect(editor, &TreeEditor::commitRequested, this, [this] { endEditNode(); });
    connect(editor, &TreeEditor::cancelRequested, this, [this] { cancelEditNode(); });
    connect(editor, &TreeEditor::focusLost, this, [this] { endEditNode(); });
    m_editor = editor;
    placeEditor();
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    viewport()->update();
    return true;
}

void MemoTree::placeEditor()
{
    if (!m_editor || !m_editNode)
        return;
    const int row = m_layout->rowOf(m_editNode);
    if (row < 0) {
        // Not laid out: park it out of sight rather than hide it, which would move the
        // focus and so end the edit.
        m_editor->move(-10000, -10000);
        return;
    }
    const int top = m_layout->offset(row) - verticalScrollBar()->value();
    const int left = textLeft(m_editNode) - kEditorMargin;
    const int width = viewport()->width() - kTextMarginRight + kEditorMargin - left;
    // The whole row height, grid line included: a row measured for n lines then holds n
    // editor lines without a scroll bar.
    m_editor->setGeometry(left, top + kTextMarginV - kEditorMargin, std::max(1, width),
                         std::max(1, m_layout->height(row) - (kTextMarginV - kEditorMargin)));
}

bool MemoTree::finishEdit(bool commit)
{
    if (!m_editor || m_editClosing)
        return false;
    m_editClosing = true;
    TreeEditor *editor = m_editor;
    m_editor = nullptr;
    TreeNode *node = m_editNode;
    const uint64_t serial = m_editSerial;
    m_editNode = nullptr;
    editor->disconnect(this);
    const QString text = editor->toPlainText();
    // Give the keyboard back to the tree when the editor still had it (Ctrl+Enter, Esc);
    // when focus moved elsewhere, leave it there.
    if (editor->hasFocus())
        setFocus(Qt::OtherFocusReason);
    editor->hide();
    editor->deleteLater();
    m_editClosing = false;
    viewport()->update();

    if (!commit) {
        emit editCancelled();
        return true;
    }
    if (text != m_editOriginal && isAlive(node, serial))
        emit editCommitted(node, TreeText::toCrLf(text));
    if (isAlive(node, serial))
        emit editEnded(node);
    return true;
}

bool MemoTree::endEditNode()
{
    return finishEdit(true);
}

bool MemoTree::cancelEditNode()
{
    return finishEdit(false);
}

bool MemoTree::isEditing() const
{
    return m_editor != nullptr;
}

TreeNode *MemoTree::editedNode() const
{
    return m_editor ? m_editNode : nullptr;
}
