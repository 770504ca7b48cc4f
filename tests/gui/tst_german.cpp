// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a German user meets it: LANGUAGE=de picks its German texts and Qt's own.
#include "TestSupport.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/Prompts.h"
#include "core/Database.h"
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

namespace {

// The access keys that more than one of these captions claims.
QStringList sharedAccessKeys(const QStringList &captions)
{
    QStringList keys, shared;
    for (const QString &caption : captions) {
        const QString plain = QString(caption).remove(QStringLiteral("&&"));
        const qsizetype amp = plain.indexOf(QLatin1Char('&'));
        if (amp < 0 || amp + 1 >= plain.size())
            continue;
        const QString key = plain.mid(amp + 1, 1).toLower();
        if (keys.contains(key))
            shared << caption;
        keys << key;
    }
    return shared;
}

QStringList captions(const QWidget &widget)
{
    QStringList result;
    for (QAction *action : widget.actions())
        result << action->text();
    return result;
}

} // namespace

class TestGerman : public QObject {
    Q_OBJECT
private slots:
    void menusDialogAndMessageAreGerman();
};

void TestGerman::menusDialogAndMessageAreGerman()
{
    TestFolder folder;
    {
        Database connection;
        connection.open(folder.file(QStringLiteral("kvData.kvb")));
        insertMemoRow(connection, QStringLiteral("{A}"), QStringLiteral("root"), QStringLiteral("Einkaufsliste"));
    }
    ScriptedPrompts prompts;
    StartedProgram program(folder.path());
    MainWindow &window = program.mainWindow();

    const auto *menuBar = findNamed<QMenuBar>(window, "menuBar");
    QCOMPARE(captions(*menuBar), QStringList({QStringLiteral("&Datei"), QStringLiteral("&Bearbeiten"),
                                              QStringLiteral("&Ansicht"), QStringLiteral("&Notizen"),
                                              QStringLiteral("&Hilfe")}));
    QCOMPARE(findAction(window, "backup")->text(), QStringLiteral("Datenbank &sichern..."));
    // Translators pick their own access keys; within one menu each must still reach one command.
    QVERIFY2(sharedAccessKeys(captions(*menuBar)).isEmpty(), "menu bar");
    for (const QMenu *menu : window.findChildren<QMenu *>())
        QVERIFY2(sharedAccessKeys(captions(*menu)).isEmpty(),
                 qPrintable(menu->title() + QLatin1String(": ") + sharedAccessKeys(captions(*menu)).join(u", ")));

    QStringList dialog;
    prompts.onDialog = [&](QDialog &shown) {
        dialog << shown.windowTitle();
        for (const QCheckBox *box : shown.findChildren<QCheckBox *>())
            dialog << box->text();
    };
    findAction(window, "options")->trigger();
    QCOMPARE(dialog.value(0), QStringLiteral("Optionen"));
    QVERIFY(dialog.contains(QStringLiteral("Beim &Anmelden starten")));
    QVERIFY2(sharedAccessKeys(dialog).isEmpty(), qPrintable(dialog.join(u", ")));

    program.frame().selectAll();
    prompts.answers = {BoxAnswer::Cancel};
    findAction(program.frame(), "delete")->trigger();
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown[0].caption, QStringLiteral("Frage"));
    QCOMPARE(prompts.shown[0].text, QStringLiteral("Möchten Sie wirklich diese Notiz löschen?"));

    // Qt's own texts in its standard dialogs come from Qt's German translation.
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
}

int main(int argc, char **argv)
{
    // Before Qt first reads the locale. The program finds its translations beside itself,
    // where the build puts this test too.
    qputenv("LANGUAGE", "de");
    qputenv("LANG", "de_DE.UTF-8");
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    Application application(argc, argv);
    TestGerman test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_german.moc"
