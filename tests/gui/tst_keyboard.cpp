// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "gui/AboutDialog.h"
#include "gui/CommonActions.h"
#include "gui/MainWindow.h"
#include "gui/OptionsDialog.h"
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

namespace {

// The access keys of a menu's entries, in order; an entry without one gives an empty key.
QStringList accessKeys(const QList<QAction *> &actions)
{
    QStringList keys;
    for (QAction *action : actions) {
        if (!action->isSeparator())
            keys << QKeySequence::mnemonic(action->text()).toString();
    }
    return keys;
}

// Where Tab goes from start, round the dialog and back.
QList<QWidget *> tabChain(QWidget *start)
{
    QList<QWidget *> chain{start};
    for (QWidget *next = start->nextInFocusChain(); next != start; next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(start->window()) && next->isEnabled())
            chain << next;
    }
    return chain;
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void everyMenuEntryHasItsOwnAccessKey();
    void dialogsFromTheKeyboard();
};

void TestKeyboard::everyMenuEntryHasItsOwnAccessKey()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MainWindow &mainWindow = program.mainWindow();
    auto *menuBar = findNamed<QMenuBar>(mainWindow, "menuBar");

    // The menu bar, its menus, the memo and blank-space menus, the tray menus; the Move-to
    // menus list memos.
    QList<QList<QAction *>> menus{menuBar->actions()};
    for (QMenu *menu : mainWindow.findChildren<QMenu *>()) {
        if (!menu->objectName().contains(QLatin1String("oveToMenu")))
            menus << menu->actions();
    }
    QVERIFY(menus.size() >= 9);
    for (const QList<QAction *> &menu : menus) {
        const QStringList keys = accessKeys(menu);
        QStringList texts;
        for (QAction *action : menu)
            texts << action->text();
        QVERIFY2(!keys.contains(QString()) && QSet<QString>(keys.begin(), keys.end()).size() == keys.size(),
                 qPrintable(texts.join(QLatin1String(" | "))));
    }
    // The program can be ended without the tray's menu, which no key reaches on some desktops.
    QMenu *file = menuBar->actions().first()->menu();
    QCOMPARE(file->actions().last(), findAction(mainWindow, "exit"));
}

void TestKeyboard::dialogsFromTheKeyboard()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    RecordingShell shell;
    StartedProgram program(folder.path());
    MainWindow &mainWindow = program.mainWindow();

    OptionsDialog options(mainWindow, &mainWindow);
    options.show();
    QList<QWidget *> expected;
    for (const char *name : {"autoStart", "runMinimized", "addOpen", "syncFolder", "chooseSyncFolder", "ok", "cancel"})
        expected << findNamed<QWidget>(options, name);
    QCOMPARE(tabChain(expected.first()), expected);
    for (QCheckBox *box : options.findChildren<QCheckBox *>())
        QVERIFY2(!QKeySequence::mnemonic(box->text()).isEmpty(), qPrintable(box->text()));

    // The links of the about box are reached with Tab and opened with Enter or Space, which
    // leave the box open.
    int checked = 0;
    prompts.onDialog = [&](QDialog &dialog) {
        auto *about = qobject_cast<AboutDialog *>(&dialog);
        QVERIFY(about);
        auto *webLink = findNamed<QLabel>(*about, "webLink");
        auto *supportLink = findNamed<QLabel>(*about, "supportLink");
        auto *salesLink = findNamed<QLabel>(*about, "salesLink");
        auto *close = about->findChild<QPushButton *>();
        QCOMPARE(tabChain(close), (QList<QWidget *>{close, webLink, supportLink, salesLink}));
        QTest::keyClick(webLink, Qt::Key_Return);
        QTest::keyClick(salesLink, Qt::Key_Space);
        QVERIFY(about->isVisible());
        QCOMPARE(shell.opened.size(), 2);
        QVERIFY(shell.opened[0].contains(QLatin1String("index.htm")));
        QVERIFY(shell.opened[1].startsWith(QLatin1String("mailto:sales")));
        ++checked;
    };
    findAction(*mainWindow.commonActions(), "about")->trigger();
    QCOMPARE(checked, 1);
}

JOTWELL_TEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
