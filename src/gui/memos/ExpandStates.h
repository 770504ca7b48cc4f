// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QScopedValueRollback>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class MemoStore;
class MemoTree;
class TreeNode;

// Keeps the stored expanded flags in step with the tree. The tree opens and closes memos at
// once; the flags that one command changed (a click, Expand All, a search) are then written
// together, and when the database refuses them the tree is put back as it was: the two never
// disagree, and the command ends with one message.
class ExpandStates {
public:
    ExpandStates(MemoTree &tree, MemoStore &store);

    // The tree opened or closed node.
    void noteChange(TreeNode *node, bool expanded);
    // Runs change and stores the flags it changed, all or none. False when the database
    // refused them: the tree is as before change then, and error tells why.
    bool run(const std::function<void()> &change, QString &error);
    // While it lives, a command opens and closes many memos at once (a load, a refresh, a
    // step, the filter): the notes it causes need no notice one by one.
    QScopedValueRollback<int> manyAtOnce() { return QScopedValueRollback<int>(m_many, m_many + 1); }
    bool isManyAtOnce() const { return m_many > 0; }

private:
    struct Noted {
        TreeNode *node;
        uint64_t serial;
        bool wasExpanded;
    };
    bool storeNoted(QString &error);

    MemoTree &m_tree;
    MemoStore &m_store;
    std::vector<Noted> m_noted;
    int m_running = 0;
    int m_many = 0;
    bool m_reverting = false;
};
