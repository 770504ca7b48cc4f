#include "TestSupport.h"
#include "core/SettingsFile.h"
#include "desktop/WindowPlacement.h"
#include <QFile>
#include <QMainWindow>
#include <QScreen>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

namespace {

// A main window that notes where it stands when its own show handler runs.
struct Owner : QMainWindow {
    QRect geometryAtShow;
    void showEvent(QShowEvent *event) override
    {
        geometryAtShow = geometry();
        QMainWindow::showEvent(event);
    }
};

struct Placement {
    explicit Placement(const TestFolder &folder) : state(new WindowPlacement(&owner))
    {
        state->section = QStringLiteral("form");
        state->iniPath = folder.file(QStringLiteral("kvConf.ini"));
        owner.setGeometry(100, 120, 300, 200);
    }
    QString key(const char *name) const
    {
        return SettingsFile(state->iniPath).readString(QStringLiteral("form"), QString::fromLatin1(name));
    }
    void write(std::initializer_list<std::pair<const char *, int>> keys) const
    {
        for (const auto &[name, value] : keys)
            SettingsFile(state->iniPath).writeInteger(QStringLiteral("form"), QString::fromLatin1(name), value);
    }
    QString section() const
    {
        QFile file(state->iniPath);
        file.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(file.readAll());
        return text.mid(text.indexOf(QLatin1String("[form]"))).trimmed();
    }

    Owner owner;
    WindowPlacement *state;
};

} // namespace

class FormStateTest : public QObject {
    Q_OBJECT
private slots:
    void firstRunThenKeysInOrder();
    void maximisedAndFixedSizeWindows();
    void cornerOffEveryScreenComesBack();
    void readOnlyFileAndHooks();
    void damagedRectangleFitsOnTheScreen();
};

void FormStateTest::firstRunThenKeysInOrder()
{
    TestFolder folder;
    Placement placement(folder);
    SettingsFile(placement.state->iniPath).writeString(QStringLiteral("option"), QStringLiteral("addOpenEn"), QStringLiteral("1"));
    int saved = 0, restored = 0;
    QObject::connect(placement.state, &WindowPlacement::stateSaved, [&] { ++saved; });
    QObject::connect(placement.state, &WindowPlacement::stateRestored, [&] { ++restored; });

    placement.owner.show();
    QCOMPARE(placement.owner.geometry(), QRect(100, 120, 300, 200));
    QVERIFY(!placement.owner.isMaximized());
    placement.owner.close();
    QCOMPARE(placement.section(),
             QStringLiteral("[form]\r\nMaximized=0\r\nLeft=100\r\nTop=120\r\nRight=400\r\nBottom=320\r\nSaved=1"));
    QCOMPARE(SettingsFile(placement.state->iniPath).readString(QStringLiteral("option"), QStringLiteral("addOpenEn")),
             QStringLiteral("1"));
    QCOMPARE(saved, 1);
    QCOMPARE(restored, 1);
}

void FormStateTest::maximisedAndFixedSizeWindows()
{
    TestFolder folder;
    {
        Placement placement(folder);
        placement.owner.showMaximized();
        QTRY_VERIFY(placement.owner.geometry() != QRect(100, 120, 300, 200));
        placement.state->saveState();
        QCOMPARE(placement.key("Maximized"), QStringLiteral("1"));
        QCOMPARE(placement.key("Right"), QStringLiteral("400"));
    }
    Placement reopened(folder);
    reopened.owner.setGeometry(10, 10, 50, 50);
    reopened.owner.show();
    QVERIFY(reopened.owner.isMaximized());
    reopened.owner.showNormal();
    QCOMPARE(reopened.owner.geometry(), QRect(100, 120, 300, 200));

    // A window that cannot be resized keeps only its corner; its size stays its own.
    TestFolder fixedFolder;
    Placement fixed(fixedFolder);
    fixed.owner.setFixedSize(300, 200);
    fixed.state->saveState();
    QCOMPARE(fixed.section(), QStringLiteral("[form]\r\nMaximized=0\r\nLeft=100\r\nTop=120\r\nSaved=1"));
    fixed.write({{"Left", 40}, {"Right", 2000}, {"Bottom", 2000}});
    fixed.state->restoreState();
    QCOMPARE(fixed.owner.geometry(), QRect(40, 120, 300, 200));
}

void FormStateTest::cornerOffEveryScreenComesBack()
{
    TestFolder folder;
    Placement placement(folder);
    placement.write({{"Left", 5000}, {"Top", 4000}, {"Right", 5400}, {"Bottom", 4300}});
    placement.state->restoreState();
    QCOMPARE(placement.owner.geometry(), QRect(QGuiApplication::primaryScreen()->availableGeometry().topLeft(), QSize(400, 300)));

    // Only the corner counts: a window reaching past the edge stays where it was put.
    placement.write({{"Left", 700}, {"Top", 500}, {"Right", 1100}, {"Bottom", 800}});
    placement.state->restoreState();
    QCOMPARE(placement.owner.geometry(), QRect(700, 500, 400, 300));
    // A damaged rectangle keeps the window's size.
    placement.write({{"Right", 600}});
    placement.state->restoreState();
    QCOMPARE(placement.owner.geometry(), QRect(700, 500, 400, 300));
}

void FormStateTest::readOnlyFileAndHooks()
{
    ScriptedPrompts prompts;
    TestFolder folder;
    Placement placement(folder);
    placement.write({{"Left", 50}, {"Top", 60}, {"Right", 450}, {"Bottom", 360}});

    // The placement is in force when the window's own show handler runs.
    placement.owner.show();
    QCOMPARE(placement.owner.geometryAtShow, QRect(50, 60, 400, 300));
    // The window manager's shows (a minimised window coming back) leave the window be.
    placement.owner.setGeometry(80, 90, 400, 300);
    QShowEvent spontaneous;
    QSpontaneKeyEvent::setSpontaneous(&spontaneous);
    qApp->notify(&placement.owner, &spontaneous);
    QCOMPARE(placement.owner.geometry(), QRect(80, 90, 400, 300));

    QFile::setPermissions(placement.state->iniPath, QFileDevice::ReadOwner);
    placement.owner.close();
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown.first().caption, QStringLiteral("Error"));
    QCOMPARE(prompts.lastText(), QStringLiteral("Unable to write to %1").arg(placement.state->iniPath));
    // Each save that fails says so once, however many keys it could not write.
    placement.state->saveState();
    QCOMPARE(prompts.shown.size(), 2);
    QFile::setPermissions(placement.state->iniPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // Switched off or unhooked, nothing is read or written.
    placement.state->enabled = false;
    placement.owner.close();
    placement.owner.show();
    QCOMPARE(placement.owner.geometry(), QRect(80, 90, 400, 300));
    placement.state->enabled = true;
    placement.state->unhookOwner();
    placement.owner.close();
    QCOMPARE(placement.key("Left"), QStringLiteral("50"));
}

void FormStateTest::damagedRectangleFitsOnTheScreen()
{
    TestFolder folder;
    Placement placement(folder);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const auto restored = [&](std::initializer_list<std::pair<const char *, int>> keys) {
        placement.write(keys);
        placement.state->restoreState();
        return placement.owner.geometry();
    };
    const auto describe = [](const QRect &r) {
        return qPrintable(QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()));
    };
    // Far too large from a sane corner: cut to the screen, room left for a title bar, and
    // moved onto it.
    QRect rect = restored({{"Left", 100}, {"Top", 50}, {"Right", 2000000000}, {"Bottom", 2000000000}});
    QVERIFY2(screen.contains(rect) && rect.top() > screen.top(), describe(rect));
    QVERIFY2(rect.width() > screen.width() * 9 / 10 && rect.height() > screen.height() * 8 / 10, describe(rect));
    const QRect cut = rect;
    // Corners far outside on both sides.
    rect = restored({{"Left", -2000000000}, {"Top", -2000000000}, {"Right", 2000000000}, {"Bottom", 2000000000}});
    QCOMPARE(rect, cut);
    rect = restored({{"Left", -50}, {"Top", 40}, {"Right", 2000000000}, {"Bottom", 240}});
    QVERIFY2(screen.contains(rect), describe(rect));
    QCOMPARE(rect.height(), 200);
    // Only one side too large: the other keeps its saved size and place.
    rect = restored({{"Left", 10}, {"Top", 20}, {"Right", 310}, {"Bottom", 20 + screen.height() + 500}});
    QCOMPARE(rect.left(), 10);
    QCOMPARE(rect.width(), 300);
    QCOMPARE(rect.height(), cut.height());
    // A window that fits is left exactly as saved, also when it is maximised.
    restored({{"Left", 30}, {"Top", 40}, {"Right", 330}, {"Bottom", 240}, {"Maximized", 1}});
    QCOMPARE(placement.owner.normalGeometry(), QRect(30, 40, 300, 200));
}

JOTWELL_TEST_MAIN(FormStateTest)
#include "tst_windowplacement.moc"
