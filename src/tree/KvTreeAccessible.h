#pragma once
#include <QAccessibleWidget>
#include <QPointer>
#include <cstdint>
#include <unordered_map>

class KvTreeNode;
class KvVirtualTree;

// What screen readers see of KvVirtualTree: the tree paints its rows itself, so without this
// they would find an empty scroll area. One child per laid-out row, top to bottom; a row's
// interface follows its node, not its position, so it stays right while rows come and go.
class KvTreeAccessible : public QAccessibleWidget {
public:
    explicit KvTreeAccessible(KvVirtualTree *tree);
    ~KvTreeAccessible() override;

    // Registers the factory once; every tree calls it when it is created.
    static void install();
    // The tree reports its changes through these; they cost nothing while no assistive
    // technology listens.
    static void rowsChanged(KvVirtualTree *tree);
    static void focusMoved(KvVirtualTree *tree, KvTreeNode *node);
    static void selectionChanged(KvVirtualTree *tree, KvTreeNode *node);
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
    QAccessibleInterface *rowInterface(KvTreeNode *node) const;

private:
    KvVirtualTree *tree() const;
    void forgetDeadRows() const;

    mutable std::unordered_map<uint64_t, QAccessible::Id> FRows; // by node serial
};

// One row of the tree.
class KvTreeRowAccessible : public QAccessibleInterface {
public:
    KvTreeRowAccessible(KvVirtualTree *tree, KvTreeNode *node);

    KvTreeNode *node() const { return FNode; }
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
    QPointer<KvVirtualTree> FTree;
    KvTreeNode *FNode;
    uint64_t FSerial;
};
