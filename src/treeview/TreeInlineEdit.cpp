// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeInlineEdit.h"
#include "treeview/TreeEditor.h"
#include "treeview/TreeNodeStore.h"
#include "treeview/TreeText.h"

TreeInlineEdit::TreeInlineEdit(QWidget *host, QWidget *focusHome, const TreeNodeStore &nodes)
    : m_host(host), m_focusHome(focusHome), m_nodes(nodes)
{
}

TreeInlineEdit::~TreeInlineEdit()
{
    if (m_editor) {
        m_editor->disconnect(this);
        delete m_editor;
    }
}

bool TreeInlineEdit::open(TreeNode *node, const QString &text, const QFont &font, const QRect &geometry)
{
    if (m_editor || m_closing || !m_nodes.contains(node))
        return false;
    m_original = text;
    m_node = node;
    m_serial = node->serial();
    auto *editor = new TreeEditor(m_host);
    editor->setFont(font);
    editor->setPlainText(text);
    editor->selectAll();
    connect(editor, &TreeEditor::commitRequested, this, &TreeInlineEdit::commit);
    connect(editor, &TreeEditor::cancelRequested, this, &TreeInlineEdit::cancel);
    connect(editor, &TreeEditor::focusLost, this, &TreeInlineEdit::commit);
    m_editor = editor;
    place(geometry);
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    m_host->update();
    return true;
}

void TreeInlineEdit::place(const QRect &geometry)
{
    if (m_editor)
        m_editor->setGeometry(geometry);
}

void TreeInlineEdit::park()
{
    if (m_editor)
        m_editor->move(-10000, -10000);
}

bool TreeInlineEdit::commit()
{
    return finish(true);
}

bool TreeInlineEdit::cancel()
{
    return finish(false);
}

bool TreeInlineEdit::finish(bool commit)
{
    if (!m_editor || m_closing)
        return false;
    m_closing = true;
    TreeEditor *editor = m_editor;
    m_editor = nullptr;
    TreeNode *node = m_node;
    const uint64_t serial = m_serial;
    m_node = nullptr;
    editor->disconnect(this);
    const QString text = editor->toPlainText();
    // Give the keyboard back when the editor still had it (Ctrl+Enter, Esc); when focus
    // moved elsewhere, leave it there.
    if (editor->hasFocus())
        m_focusHome->setFocus(Qt::OtherFocusReason);
    editor->hide();
    editor->deleteLater();
    m_closing = false;
    m_host->update();

    if (!commit) {
        emit cancelled();
        return true;
    }
    // Whoever hears of the new text may delete the node.
    if (text != m_original && m_nodes.isAlive(node, serial))
        emit committed(node, TreeText::toCrLf(text));
    if (m_nodes.isAlive(node, serial))
        emit ended(node);
    return true;
}
