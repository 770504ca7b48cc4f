// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeTrayBackend.h"
#include "TestSupport.h"
#include "gui/CommonActions.h"
#include "gui/MainWindow.h"
#include "core/SettingsFile.h"
#include "desktop/WindowPlacement.h"
#include "desktop/TrayIcon.h"
#include "gui/MemoPane.h"
#include "core/Database.h"
#include "core/MemoStore.h"

#include "treeview/MemoTree.h"
#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QtTest>

namespace {

// The program on a notification area the test controls.
class TrayProgram {
public:
    explicit TrayProgram(const QString &folder, bool trayAvailable = true)
    {
        setTrayBackendFactory([this, trayAvailable] {
            auto backend = std::make_unique<FakeTrayBackend>();
            backend->available = trayAvailable;
            area = backend.get();
            return backend;
        });
        program = std::make_unique<StartedProgram>(folder);
        QObject::connect(program->mainWindow().placement(), &WindowPlacement::stateSaved, [this] { ++saves; });
    }
    ~TrayProgram() { setTrayBackendFactory(nullptr); }
    MainWindow &mainWindow() const { return program->mainWindow(); }
    MemoPane &frame() const { return program->frame(); }

    bool userClose()
    {
        QCloseEvent event;
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(&mainWindow(), &event);
        return event.isAccepted();
    }

    FakeTrayBackend *area = nullptr;
    int saves = 0;
    std::unique_ptr<StartedProgram> program;
};

QStringList contents(MainWindow &mainWindow)
{
    QStringList contents;
    for (const Memo &memo : mainWindow.memoStore().allMemos())
        contents << memo.content;
    return contents;
}

} // namespace

class TestTrayProgram : public QObject {
    Q_OBJECT
private slots:
    void closeHidesIntoTheTray();
    void trayCommands();
    void exitStoresTheOpenEdit();
    void withoutTrayCloseEndsTheProgram();
    void withoutTrayTheWindowMinimises();
    void stayOnTopKeepsThePlace();
    void startsHiddenWhenAsked();
    void sessionEndStoresAndKeepsTheProgramWhole(); // last: the application quits in it
};

void TestTrayProgram::closeHidesIntoTheTray()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    TrayProgram tray(folder.path());
    MainWindow &mainWindow = tray.mainWindow();
    QTRY_VERIFY(tray.area->shown);
    QCOMPARE(tray.area->toolTip, QStringLiteral("Korvel Jotwell"));

    QVERIFY(!tray.userClose());
    QVERIFY(!mainWindow.isVisible());
    QCOMPARE(tray.saves, 2); // on the close, and again as the window hides
    QCOMPARE(tray.area->messages.size(), 1);
    QCOMPARE(tray.area->messages[0].title, QStringLiteral("Korvel Jotwell"));
    QCOMPARE(tray.area->messages[0].text, QStringLiteral("Click here to open!"));
    QCOMPARE(tray.area->messages[0].msecs, 10000);
    QVERIFY(SettingsFile(folder.file(QStringLiteral("kvConf.ini"))).readString(QStringLiteral("form"), QStringLiteral("Saved")) != QString());

    // Within the hour the balloon stays away; the placement is saved every time.
    tray.area->press(TrayBackend::Event::MiddlePress);
    QVERIFY(!mainWindow.isVisible());
    tray.area->press(TrayBackend::Event::LeftPress);
    QTRY_VERIFY(mainWindow.isVisible());
    QVERIFY(!tray.userClose());
    QCOMPARE(tray.saves, 4);
    QCOMPARE(tray.area->messages.size(), 1);

    // The balloon opens the window when clicked, as it says.
    QVERIFY(!tray.userClose());
    tray.area->press(TrayBackend::Event::BalloonClick);
    QTRY_VERIFY(mainWindow.isVisible());

    // A later start of the program brings the window out of the tray.
    QVERIFY(!tray.userClose());
    mainWindow.bringForward();
    QTRY_VERIFY(mainWindow.isVisible());

    // Ctrl+F12 in the tree hides the window too.
    tray.frame().tree()->setFocus();
    QTest::keyClick(tray.frame().tree(), Qt::Key_F12, Qt::ControlModifier);
    QTRY_VERIFY(!mainWindow.isVisible());
}

void TestTrayProgram::trayCommands()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    TrayProgram tray(folder.path());
    MainWindow &mainWindow = tray.mainWindow();
    QVERIFY(!tray.userClose());

    // Paste from the tray stores the clipboard as a memo and leaves the window hidden.
    QGuiApplication::clipboard()->setText(QStringLiteral("from the tray\r\n\r\n"));
    findAction(mainWindow, "pasteToMemo")->trigger();
    QCOMPARE(contents(mainWindow), QStringList{QStringLiteral("from the tray")});
    QVERIFY(!mainWindow.isVisible());

    // add opens the window and starts a new memo.
    findAction(mainWindow, "trayAddMemo")->trigger();
    QTRY_VERIFY(mainWindow.isVisible());
    QPlainTextEdit *editor = openEditor(tray.frame());
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("added"));
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(contents(mainWindow).size(), 2);

    const QList<QAction *> items = mainWindow.trayMenu()->actions();
    QCOMPARE(items.size(), 6);
    QCOMPARE(items[0]->text(), QStringLiteral("&Open Korvel Jotwell"));
    QVERIFY(items[1]->isSeparator() && items[4]->isSeparator());
    QCOMPARE(items[2]->text(), QStringLiteral("&Add Memo"));
    QCOMPARE(items[3]->text(), QStringLiteral("Paste To &Memo"));
    QCOMPARE(items[5]->text(), QStringLiteral("E&xit"));
}

void TestTrayProgram::exitStoresTheOpenEdit()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    TrayProgram tray(folder.path());
    MainWindow &mainWindow = tray.mainWindow();
    findAction(tray.frame(), "addMemo")->trigger();
    QTest::keyClicks(openEditor(tray.frame()), QStringLiteral("typed until the end"));

    findAction(mainWindow, "exit")->trigger();
    QVERIFY(mainWindow.isExiting());
    QVERIFY(!mainWindow.isVisible());
    QCOMPARE(tray.saves, 2); // by Exit and by the close; the final hide saves nothing
    QCOMPARE(contents(mainWindow), QStringList{QStringLiteral("typed until the end")});
    QVERIFY(!tray.frame().tree()->isEditing());
    QVERIFY(tray.area->messages.isEmpty());
}

void TestTrayProgram::withoutTrayCloseEndsTheProgram()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    TrayProgram tray(folder.path(), false);
    MainWindow &mainWindow = tray.mainWindow();
    findAction(tray.frame(), "addMemo")->trigger();
    QTest::keyClicks(openEditor(tray.frame()), QStringLiteral("kept"));
    // With nowhere to hide, closing ends the program cleanly.
    QVERIFY(tray.userClose());
    QVERIFY(mainWindow.isExiting());
    QCOMPARE(contents(mainWindow), QStringList{QStringLiteral("kept")});
}

void TestTrayProgram::withoutTrayTheWindowMinimises()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    {
        TrayProgram tray(folder.path(), false);
        tray.frame().tree()->setFocus();
        QTest::keyClick(tray.frame().tree(), Qt::Key_F12, Qt::ControlModifier);
        QTRY_VERIFY(tray.mainWindow().isMinimized());
        QVERIFY(tray.mainWindow().isVisible());
    }
    // A start asked to be hidden, as far as the desktop allows.
    SettingsFile(folder.file(QStringLiteral("kvConf.ini"))).writeBool(QStringLiteral("option"), QStringLiteral("runMinimizedEn"), true);
    TrayProgram tray(folder.path(), false);
    QTRY_VERIFY(tray.mainWindow().isMinimized());
    QVERIFY(tray.mainWindow().isVisible());
}

void TestTrayProgram::stayOnTopKeepsThePlace()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    TrayProgram tray(folder.path());
    MainWindow &mainWindow = tray.mainWindow();
    mainWindow.setGeometry(120, 90, 420, 460);
    QTRY_COMPARE(mainWindow.geometry().size(), QSize(420, 460));
    const QRect before = mainWindow.geometry();
    mainWindow.options().addOpen = true; // re-creating the window is no opening by the user
    QAction *stayOnTop = findAction(*mainWindow.commonActions(), "stayOnTop");
    stayOnTop->trigger();
    QVERIFY(mainWindow.windowFlags() & Qt::WindowStaysOnTopHint);
    stayOnTop->trigger();
    QVERIFY(!(mainWindow.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(mainWindow.isVisible());
    QTRY_COMPARE(mainWindow.geometry(), before);
    QCOMPARE(tray.saves, 2);
    QVERIFY(tray.area->messages.isEmpty()); // no balloon for a window that only changed flags
    QTest::qWait(20);
    QVERIFY(!tray.frame().controller().editNode());
    // The re-created window still hides into the tray.
    QVERIFY(!tray.userClose());
    QVERIFY(!mainWindow.isVisible());
}

void TestTrayProgram::startsHiddenWhenAsked()
{
    TestFolder folder;
    SettingsFile(folder.file(QStringLiteral("kvConf.ini"))).writeBool(QStringLiteral("option"), QStringLiteral("runMinimizedEn"), true);
    ScriptedPrompts prompts;
    TrayProgram tray(folder.path());
    QTRY_VERIFY(!tray.mainWindow().isVisible());
    QCOMPARE(tray.frame().tree()->totalCount(), 0); // loaded before it went
    QTRY_COMPARE(tray.area->messages.size(), 1);
}

void TestTrayProgram::sessionEndStoresAndKeepsTheProgramWhole()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    TrayProgram tray(folder.path());
    MainWindow &mainWindow = tray.mainWindow();
    findAction(tray.frame(), "addMemo")->trigger();
    QTest::keyClicks(openEditor(tray.frame()), QStringLiteral("typed before logout"));

    // The session asks for the data: the edit is stored and the placement saved, and nothing
    // is closed, since the user may still cancel the logout.
    mainWindow.sessionCommitData();
    QCOMPARE(contents(mainWindow), QStringList{QStringLiteral("typed before logout")});
    QCOMPARE(tray.saves, 1);
    QVERIFY(!mainWindow.isExiting() && mainWindow.isVisible() && mainWindow.memoPane());
    findAction(tray.frame(), "addMemo")->trigger();
    QVERIFY(openEditor(tray.frame()));
    tray.frame().tree()->cancelEditNode();

    // Hidden in the tray when the session really ends: the window closes and the program ends.
    QVERIFY(!tray.userClose());
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &quit);
    // Some Qt versions close the windows as they quit, by the same path as the title bar.
    QVERIFY(tray.userClose());
    QVERIFY(mainWindow.isExiting());
    QCOMPARE(contents(mainWindow).size(), 1);
}

JOTWELL_TEST_MAIN(TestTrayProgram)
#include "tst_tray_program.moc"
