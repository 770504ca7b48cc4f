// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/memos/SearchBar.h"
#include "gui/PictureBar.h"
#include "core/Database.h"
#include "treeview/MemoTree.h"
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
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("Shopping list"));
        insertMemoRow(connection, QStringLiteral("{A1}"), QStringLiteral("{A}"), QStringLiteral("fresh bread"));
        insertMemoRow(connection, QStringLiteral("{B}"), QStringLiteral("root"), QStringLiteral("Memo about bread"));
        insertMemoRow(connection, QStringLiteral("{C}"), QStringLiteral("root"), QStringLiteral("garden"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(frame.tree());
    QCOMPARE(tree->role(), QAccessible::Tree);
    QCOMPARE(tree->childCount(), 3);

    findNamed<QLineEdit>(frame, "searchBox")->setFocus();
    QTRY_VERIFY(frame.searchBar().isSearching());
    findNamed<QLineEdit>(frame, "searchBox")->selectAll();
    QTest::keyClicks(findNamed<QLineEdit>(frame, "searchBox"), QStringLiteral("bread"));
    // The memo that matches, and the one shown for its matching sub-memo, opened.
    QTRY_COMPARE(tree->childCount(), 3);
    QStringList names;
    for (int i = 0; i < tree->childCount(); ++i)
        names << tree->child(i)->text(QAccessible::Name);
    QCOMPARE(names.size(), 3);
    QVERIFY(names.contains(QStringLiteral("fresh bread")));
    QVERIFY(!names.contains(QStringLiteral("garden")));

    findNamed<QLineEdit>(frame, "searchBox")->selectAll();
    QTest::keyClicks(findNamed<QLineEdit>(frame, "searchBox"), QStringLiteral("garden"));
    QTRY_COMPARE(tree->childCount(), 1);
    QCOMPARE(tree->child(0)->text(QAccessible::Name), QStringLiteral("garden"));
}

void TestMemosAccessible::iconButtonsAndSearchBoxHaveNames()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MemoPane &frame = program.frame();
    for (QToolButton *button : frame.findChildren<QToolButton *>()) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(button);
        if (button->isVisibleTo(&frame))
            QVERIFY2(!iface->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(button->toolTip()));
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(findNamed<QToolButton>(frame, "wideSearchButton"))->text(QAccessible::Name),
             QStringLiteral("View all sub-Memos in search result"));
    QCOMPARE(QAccessible::queryAccessibleInterface(findNamed<QLineEdit>(frame, "searchBox"))->text(QAccessible::Name), QStringLiteral("Search"));

    // The sort button's name follows its hint as the direction changes.
    const QString before = findAction(frame, "sort")->toolTip();
    findAction(frame, "sort")->trigger();
    QVERIFY(findAction(frame, "sort")->toolTip() != before);
    const auto buttons = findNamed<PictureToolBar>(frame, "topBar")->findChildren<QToolButton *>();
    const auto sort = std::find_if(buttons.begin(), buttons.end(),
                                   [&](QToolButton *b) { return b->defaultAction() == findAction(frame, "sort"); });
    QVERIFY(sort != buttons.end());
    QCOMPARE((*sort)->accessibleName(), findAction(frame, "sort")->toolTip());
}

QTEST_MAIN(TestMemosAccessible)
#include "tst_memopane_accessible.moc"
