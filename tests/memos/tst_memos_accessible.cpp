#include "TestSupport.h"
#include "app/Fm_Main.h"
#include "memos/Fr_kvMemos.h"
#include "store/KvConnection.h"
#include "tree/KvVirtualTree.h"
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

class TestMemosAccessible : public QObject {
    Q_OBJECT
private slots:
    void searchFilterChangesTheRows();
    void iconButtonsAndSearchBoxHaveNames();
};

void TestMemosAccessible::searchFilterChangesTheRows()
{
    TestFolder folder;
    {
        KvConnection connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        InsertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("Shopping list"));
        InsertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("fresh bread"));
        InsertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("Memo about bread"));
        InsertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("garden"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(frame.VtMemos);
    QCOMPARE(tree->role(), QAccessible::Tree);
    QCOMPARE(tree->childCount(), 3);

    frame.Edt_Search->setFocus();
    QTRY_VERIFY(frame.FSearching);
    frame.Edt_Search->selectAll();
    QTest::keyClicks(frame.Edt_Search, QStringLiteral("bread"));
    // The memo that matches, and the one shown for its matching sub-memo, opened.
    QTRY_COMPARE(tree->childCount(), 3);
    QStringList names;
    for (int i = 0; i < tree->childCount(); ++i)
        names << tree->child(i)->text(QAccessible::Name);
    QCOMPARE(names.size(), 3);
    QVERIFY(names.contains(QStringLiteral("fresh bread")));
    QVERIFY(!names.contains(QStringLiteral("garden")));

    frame.Edt_Search->selectAll();
    QTest::keyClicks(frame.Edt_Search, QStringLiteral("garden"));
    QTRY_COMPARE(tree->childCount(), 1);
    QCOMPARE(tree->child(0)->text(QAccessible::Name), QStringLiteral("garden"));
}

void TestMemosAccessible::iconButtonsAndSearchBoxHaveNames()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    TkvMemosFrame &frame = program.frame();
    for (QToolButton *button : frame.findChildren<QToolButton *>()) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(button);
        if (button->isVisibleTo(&frame))
            QVERIFY2(!iface->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(button->toolTip()));
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(frame.ToolButton2)->text(QAccessible::Name),
             QStringLiteral("View all sub-Memos in search result"));
    QCOMPARE(QAccessible::queryAccessibleInterface(frame.Edt_Search)->text(QAccessible::Name), QStringLiteral("Search"));

    // The sort button's name follows its hint as the direction changes.
    const QString before = frame.Action_ViewAsc->toolTip();
    frame.Action_ViewAsc->trigger();
    QVERIFY(frame.Action_ViewAsc->toolTip() != before);
    const auto buttons = frame.ToolBar_Top->findChildren<QToolButton *>();
    const auto sort = std::find_if(buttons.begin(), buttons.end(),
                                   [&](QToolButton *b) { return b->defaultAction() == frame.Action_ViewAsc; });
    QVERIFY(sort != buttons.end());
    QCOMPARE((*sort)->accessibleName(), frame.Action_ViewAsc->toolTip());
}

QTEST_MAIN(TestMemosAccessible)
#include "tst_memos_accessible.moc"
