// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "treeview/TreeEditor.h"
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>

class QFont;
class QRect;
class QWidget;
class TreeNode;
class TreeNodeStore;

// The life of an in-place edit: an editor opens over a node, is committed or cancelled, and
// says which. Whether a node may be edited and where its text sits is the tree's business.
class TreeInlineEdit : public QObject {
    Q_OBJECT
public:
    // The editor lives on host; at the end the keyboard goes back to focusHome if the editor
    // still had it. A node that nodes no longer holds is told of no more.
    TreeInlineEdit(QWidget *host, QWidget *focusHome, const TreeNodeStore &nodes);
    ~TreeInlineEdit() override;

    // Opens an editor at geometry, filled with text (LF line breaks) all selected, and gives it
    // the keyboard. Refused while an editor is open or closing.
    bool open(TreeNode *node, const QString &text, const QFont &font, const QRect &geometry);
    bool commit(); // committed when the text changed, then ended
    bool cancel(); // cancelled
    bool isOpen() const { return m_editor != nullptr; }
    bool isClosing() const { return m_closing; }
    TreeNode *node() const { return m_editor ? m_node : nullptr; }
    TreeEditor *editor() const { return m_editor; }

    void place(const QRect &geometry);
    // Out of sight while the node is not laid out; hiding it would move the focus and so end
    // the edit.
    void park();

signals:
    void committed(TreeNode *node, const QString &newText); // CR LF line breaks
    void ended(TreeNode *node);
    void cancelled();

private:
    bool finish(bool commit);

    QWidget *m_host;
    QWidget *m_focusHome;
    const TreeNodeStore &m_nodes;
    QPointer<TreeEditor> m_editor;
    TreeNode *m_node = nullptr;
    uint64_t m_serial = 0;
    QString m_original;
    bool m_closing = false;
};
