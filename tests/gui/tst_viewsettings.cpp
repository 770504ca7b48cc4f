// SPDX-License-Identifier: GPL-3.0-or-later
// The list's view choices outlive the run, without a window around them.
#include "TestSupport.h"
#include "gui/memos/MemoActions.h"
#include "gui/memos/MemoController.h"
#include "gui/memos/MemoNode.h"
#include "gui/memos/ViewSettings.h"
#include "core/Database.h"
#include "core/MemoStore.h"
#include "treeview/MemoTree.h"
#include <QtTest>

class TestViewSettings : public QObject {
    Q_OBJECT
private slots:
    void choicesAreKeptInTheSettingsFile();
};

void TestViewSettings::choicesAreKeptInTheSettingsFile()
{
    TestFolder folder;
    Database database;
    database.open(folder.file(QStringLiteral("kvData.kvb")));
    MemoStore store(database);
    MemoTree tree(nullptr, makeMemoNode);
    MemoController list(tree, store, nullptr);
    QWidget menuParent;
    QAction undo, redo;
    MemoActions actions(tree, [] { return nullptr; }, &undo, &redo, &menuParent);
    ViewSettings settings(folder.file(QStringLiteral("kvConf.ini")), list, actions, tree, nullptr);

    // A new data folder: ascending, plain rows, narrow search.
    settings.load();
    QVERIFY(list.sortAscending());
    QVERIFY(!actions.listView->isChecked());
    QVERIFY(!actions.wideSearch->isChecked());

    settings.toggleSortOrder();
    actions.listView->setChecked(true);
    settings.toggleListView();
    actions.wideSearch->setChecked(true);
    settings.saveWideSearch();
    QVERIFY(!list.sortAscending());

    // The next load reads every switch back from the file, whatever the view shows before.
    list.setSortAscending(true);
    actions.listView->setChecked(false);
    actions.wideSearch->setChecked(false);
    settings.load();
    QVERIFY(!list.sortAscending());
    QVERIFY(actions.listView->isChecked());
    QVERIFY(actions.wideSearch->isChecked());
}

JOTWELL_TEST_MAIN(TestViewSettings)
#include "tst_viewsettings.moc"
