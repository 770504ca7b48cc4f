#include "../components/FakeTrayBackend.h"
#include "TestSupport.h"
#include "app/Dm_Common.h"
#include "app/Fm_Main.h"
#include "app/KvIniFile.h"
#include "components/KvFormState.h"
#include "components/KvTray.h"
#include "memos/Fr_kvMemos.h"
#include "store/KvConnection.h"
#include "store/KvQuery.h"
#include "store/SqlCatalogue.h"
#include "app/pU_Funcs.h"
#include "tree/KvVirtualTree.h"
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
        SetTrayBackendFactory([this, trayAvailable] {
            auto backend = std::make_unique<FakeTrayBackend>();
            backend->available = trayAvailable;
            area = backend.get();
            return backend;
        });
        program = std::make_unique<StartedProgram>(folder);
        program->mainFm().KvFormState1->OnSaveState = [this](QObject *) { ++saves; };
    }
    ~TrayProgram() { SetTrayBackendFactory(nullptr); }
    TmainFm &mainFm() const { return program->mainFm(); }
    TkvMemosFrame &frame() const { return program->frame(); }

    bool userClose()
    {
        QCloseEvent event;
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(&mainFm(), &event);
        return event.isAccepted();
    }

    FakeTrayBackend *area = nullptr;
    int saves = 0;
    std::unique_ptr<StartedProgram> program;
};

QStringList Contents(TmainFm &mainFm)
{
    KvQuery query(mainFm.connection());
    QStringList contents;
    for (OpenSql(query, Sql::SelectAllMemos()); !query.eof(); query.next())
        contents << query.fieldAsString("content");
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
    void stayOnTopKeepsThePlace();
    void startsHiddenWhenAsked();
    void sessionEndStoresAndKeepsTheProgramWhole(); // last: the application quits in it
};

void TestTrayProgram::closeHidesIntoTheTray()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    TrayProgram tray(folder.path());
    TmainFm &mainFm = tray.mainFm();
    QTRY_VERIFY(tray.area->shown);
    QCOMPARE(tray.area->toolTip, QStringLiteral("Korvel Jotwell"));

    QVERIFY(!tray.userClose());
    QVERIFY(!mainFm.isVisible());
    QCOMPARE(tray.saves, 2); // on the close, and again as the window hides
    QCOMPARE(tray.area->messages.size(), 1);
    QCOMPARE(tray.area->messages[0].title, QStringLiteral("Korvel Jotwell"));
    QCOMPARE(tray.area->messages[0].text, QStringLiteral("Click here to open!"));
    QCOMPARE(tray.area->messages[0].msecs, 10000);
    QVERIFY(KvIniFile(folder.file(QStringLiteral("kvConf.ini"))).readString(QStringLiteral("form"), QStringLiteral("Saved")) != QString());

    // Within the hour the balloon stays away; the placement is saved every time.
    tray.area->press(KvTrayBackend::Event::MiddlePress);
    QVERIFY(!mainFm.isVisible());
    tray.area->press(KvTrayBackend::Event::LeftPress);
    QTRY_VERIFY(mainFm.isVisible());
    QVERIFY(!tray.userClose());
    QCOMPARE(tray.saves, 4);
    QCOMPARE(tray.area->messages.size(), 1);

    // The balloon opens the window when clicked, as it says.
    QVERIFY(!tray.userClose());
    tray.area->press(KvTrayBackend::Event::BalloonClick);
    QTRY_VERIFY(mainFm.isVisible());

    // A later start of the program brings the window out of the tray.
    QVERIFY(!tray.userClose());
    mainFm.BringForward();
    QTRY_VERIFY(mainFm.isVisible());

    // Ctrl+F12 in the tree hides the window too.
    tray.frame().VtMemos->setFocus();
    QTest::keyClick(tray.frame().VtMemos, Qt::Key_F12, Qt::ControlModifier);
    QTRY_VERIFY(!mainFm.isVisible());
}

void TestTrayProgram::trayCommands()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    TrayProgram tray(folder.path());
    TmainFm &mainFm = tray.mainFm();
    QVERIFY(!tray.userClose());

    // Paste from the tray stores the clipboard as a memo and leaves the window hidden.
    QGuiApplication::clipboard()->setText(QStringLiteral("from the tray\r\n\r\n"));
    mainFm.Action_PasteMemo->trigger();
    QCOMPARE(Contents(mainFm), QStringList{QStringLiteral("from the tray")});
    QVERIFY(!mainFm.isVisible());

    // Add opens the window and starts a new memo.
    mainFm.Action_AddMemo->trigger();
    QTRY_VERIFY(mainFm.isVisible());
    QPlainTextEdit *editor = OpenEditor(tray.frame());
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("added"));
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(Contents(mainFm).size(), 2);

    const QList<QAction *> items = mainFm.PopupMenu_Tray->actions();
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
    TmainFm &mainFm = tray.mainFm();
    tray.frame().Action_MemoAdd->trigger();
    QTest::keyClicks(OpenEditor(tray.frame()), QStringLiteral("typed until the end"));

    mainFm.Action_Exit->trigger();
    QVERIFY(mainFm.FExiting);
    QVERIFY(!mainFm.isVisible());
    QCOMPARE(tray.saves, 2); // by Exit and by the close; the final hide saves nothing
    QCOMPARE(Contents(mainFm), QStringList{QStringLiteral("typed until the end")});
    QVERIFY(!tray.frame().VtMemos->isEditing());
    QVERIFY(tray.area->messages.isEmpty());
}

void TestTrayProgram::withoutTrayCloseEndsTheProgram()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    TrayProgram tray(folder.path(), false);
    TmainFm &mainFm = tray.mainFm();
    tray.frame().Action_MemoAdd->trigger();
    QTest::keyClicks(OpenEditor(tray.frame()), QStringLiteral("kept"));
    // With nowhere to hide, closing ends the program cleanly.
    QVERIFY(tray.userClose());
    QVERIFY(mainFm.FExiting);
    QCOMPARE(Contents(mainFm), QStringList{QStringLiteral("kept")});
}

void TestTrayProgram::stayOnTopKeepsThePlace()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    TrayProgram tray(folder.path());
    TmainFm &mainFm = tray.mainFm();
    mainFm.setGeometry(120, 90, 420, 460);
    QTRY_COMPARE(mainFm.geometry().size(), QSize(420, 460));
    const QRect before = mainFm.geometry();
    mainFm.FAddOpen = true; // re-creating the window is no opening by the user
    QAction *stayOnTop = mainFm.commonDm()->Action_UiStayOnTop;
    stayOnTop->trigger();
    QVERIFY(mainFm.windowFlags() & Qt::WindowStaysOnTopHint);
    stayOnTop->trigger();
    QVERIFY(!(mainFm.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(mainFm.isVisible());
    QTRY_COMPARE(mainFm.geometry(), before);
    QCOMPARE(tray.saves, 2);
    QVERIFY(tray.area->messages.isEmpty()); // no balloon for a window that only changed flags
    QTest::qWait(20);
    QVERIFY(!tray.frame().FEditNode);
    // The re-created window still hides into the tray.
    QVERIFY(!tray.userClose());
    QVERIFY(!mainFm.isVisible());
}

void TestTrayProgram::startsHiddenWhenAsked()
{
    TestFolder folder;
    KvIniFile(folder.file(QStringLiteral("kvConf.ini"))).writeBool(QStringLiteral("option"), QStringLiteral("runMinimizedEn"), true);
    ScriptedPrompts prompts;
    TrayProgram tray(folder.path());
    QTRY_VERIFY(!tray.mainFm().isVisible());
    QCOMPARE(tray.frame().VtMemos->totalCount(), 0); // loaded before it went
    QTRY_COMPARE(tray.area->messages.size(), 1);
}

void TestTrayProgram::sessionEndStoresAndKeepsTheProgramWhole()
{
    TestFolder folder;
    ScriptedPrompts prompts;
    TrayProgram tray(folder.path());
    TmainFm &mainFm = tray.mainFm();
    tray.frame().Action_MemoAdd->trigger();
    QTest::keyClicks(OpenEditor(tray.frame()), QStringLiteral("typed before logout"));

    // The session asks for the data: the edit is stored and the placement saved, and nothing
    // is closed, since the user may still cancel the logout.
    mainFm.SessionCommitData();
    QCOMPARE(Contents(mainFm), QStringList{QStringLiteral("typed before logout")});
    QCOMPARE(tray.saves, 1);
    QVERIFY(!mainFm.FExiting && mainFm.isVisible() && mainFm.memosFrame());
    tray.frame().Action_MemoAdd->trigger();
    QVERIFY(OpenEditor(tray.frame()));
    tray.frame().VtMemos->cancelEditNode();

    // Hidden in the tray when the session really ends: the window closes and the program ends.
    QVERIFY(!tray.userClose());
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &quit);
    // Some Qt versions close the windows as they quit, by the same path as the title bar.
    QVERIFY(tray.userClose());
    QVERIFY(mainFm.FExiting);
    QCOMPARE(Contents(mainFm).size(), 1);
}

JOTWELL_TEST_MAIN(TestTrayProgram)
#include "tst_tray_program.moc"
