// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAccessibleWidget>
#include <QPointer>
#include <cstdint>
#include <unordered_map>

class TreeNode;
class MemoTree;

// What screen readers see of MemoTree: the tree paints its rows itself, so without this
// they would find an empty scroll area. One child per laid-out row, top to bottom; a row's
// interface follows its node, not its position, so it stays right while rows come and go.
class TreeAccessible : public QAccessibleWidget {
public:
    explicit TreeAccessible(MemoTree *tree);
    ~TreeAccessible() override;

    // Registers the factory once; every tree calls it when it is created.
    static void install();
    // The tree reports its changes through these; they cost nothing while no assistive
    // technology listens.
    static void rowsChanged(MemoTree *tree);
    static void focusMoved(MemoTree *tree, TreeNode *node);
    static void selectionChanged(MemoTree *tree, TreeNode *node);
    // Where these events go: to Qt, which passes them on only while an assistive technology
    // listens. Tests put their own sink here to hear them on any platform. Returns the old one.
    using EventSink = void (*)(QAccessibleEvent *);
    static EventSink setEventSink(EventSink sink);

    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // The interface of node's row; nullptr when the node is not laid out.
    QAccessibleInterface *rowInterface(TreeNode *node) const;

private:
    MemoTree *tree() const;
    void forgetDeadRows() const;

    mutable std::unordered_map<uint64_t, QAccessible::Id> m_rows; // by node serial
};

// One row of the tree.
class TreeRowAccessible : public QAccessibleInterface {
public:
    TreeRowAccessible(MemoTree *tree, TreeNode *node);

    TreeNode *node() const { return m_node; }
    int level() const; // 1 for a memo, 2 for a sub-memo

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::TreeItem; }
    QAccessible::State state() const override;

private:
    QPointer<MemoTree> m_tree;
    TreeNode *m_node;
    uint64_t m_serial;
};
