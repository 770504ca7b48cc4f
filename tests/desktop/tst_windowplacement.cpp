// SPDX-License-Identifier: GPL-3.0-or-later
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
    // The frame around the window's normal rectangle, as the file keeps it.
    QRect normalFrame() const
    {
        const QMargins frame(owner.geometry().left() - owner.frameGeometry().left(),
                             owner.geometry().top() - owner.frameGeometry().top(),
                             owner.frameGeometry().right() - owner.geometry().right(),
                             owner.frameGeometry().bottom() - owner.geometry().bottom());
        return owner.normalGeometry().marginsAdded(frame);
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
    const QRect frame = placement.owner.frameGeometry();
    QVERIFY(frame.contains(placement.owner.geometry()) && frame != placement.owner.geometry());
    placement.owner.close();
    QCOMPARE(placement.section(), QStringLiteral("[form]\r\nMaximized=0\r\nLeft=%1\r\nTop=%2\r\nRight=%3\r\nBottom=%4\r\nSaved=1")
                                      .arg(frame.left())
                                      .arg(frame.top())
                                      .arg(frame.left() + frame.width())
                                      .arg(frame.top() + frame.height()));
    // Shown again, the window stands where it stood, to the pixel.
    placement.owner.show();
    QCOMPARE(placement.owner.frameGeometry(), frame);
    QCOMPARE(SettingsFile(placement.state->iniPath).readString(QStringLiteral("option"), QStringLiteral("addOpenEn")),
             QStringLiteral("1"));
    QCOMPARE(saved, 1);
    QCOMPARE(restored, 2);
}

void FormStateTest::maximisedAndFixedSizeWindows()
{
    TestFolder folder;
    QRect normal;
    {
        Placement placement(folder);
        placement.owner.show();
        normal = placement.owner.frameGeometry();
        placement.owner.showMaximized();
        QTRY_VERIFY(placement.owner.geometry() != QRect(100, 120, 300, 200));
        placement.state->saveState();
        QCOMPARE(placement.key("Maximized"), QStringLiteral("1"));
        QCOMPARE(placement.key("Right"), QString::number(normal.left() + normal.width()));
    }
    // A new window, not framed yet: its frame comes to the saved rectangle once it is framed.
    Placement reopened(folder);
    reopened.owner.setGeometry(10, 10, 50, 50);
    reopened.owner.show();
    QVERIFY(reopened.owner.isMaximized());
    QTRY_COMPARE(reopened.normalFrame(), normal);
    reopened.owner.showNormal();
    QTRY_COMPARE(reopened.owner.frameGeometry(), normal);

    // A window that cannot be resized keeps only its corner; its size stays its own.
    TestFolder fixedFolder;
    Placement fixed(fixedFolder);
    fixed.owner.setFixedSize(300, 200);
    fixed.owner.show();
    const QRect frame = fixed.owner.frameGeometry();
    fixed.state->saveState();
    QCOMPARE(fixed.section(),
             QStringLiteral("[form]\r\nMaximized=0\r\nLeft=%1\r\nTop=%2\r\nSaved=1").arg(frame.left()).arg(frame.top()));
    fixed.write({{"Left", 40}, {"Right", 2000}, {"Bottom", 2000}});
    fixed.state->restoreState();
    QCOMPARE(fixed.owner.frameGeometry(), frame.translated(40 - frame.left(), 0));
}

void FormStateTest::cornerOffEveryScreenComesBack()
{
    TestFolder folder;
    Placement placement(folder);
    placement.owner.show();
    placement.write({{"Left", 5000}, {"Top", 4000}, {"Right", 5400}, {"Bottom", 4300}});
    placement.state->restoreState();
    QCOMPARE(placement.owner.frameGeometry(),
             QRect(QGuiApplication::primaryScreen()->availableGeometry().topLeft(), QSize(400, 300)));

    // Only the corner counts: a window reaching past the edge stays where it was put.
    placement.write({{"Left", 700}, {"Top", 500}, {"Right", 1100}, {"Bottom", 800}});
    placement.state->restoreState();
    QCOMPARE(placement.owner.frameGeometry(), QRect(700, 500, 400, 300));
    // A damaged rectangle keeps the window's size.
    placement.write({{"Right", 600}});
    placement.state->restoreState();
    QCOMPARE(placement.owner.frameGeometry(), QRect(700, 500, 400, 300));
}

void FormStateTest::readOnlyFileAndHooks()
{
    ScriptedPrompts prompts;
    TestFolder folder;
    Placement placement(folder);
    placement.write({{"Left", 50}, {"Top", 60}, {"Right", 450}, {"Bottom", 360}});

    // The place is in force when the window's own show handler runs; the size follows the frame.
    placement.owner.show();
    QTRY_COMPARE(placement.owner.frameGeometry(), QRect(50, 60, 400, 300));
    QCOMPARE(placement.owner.geometryAtShow.topLeft(), placement.owner.geometry().topLeft());
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
    placement.owner.show();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const auto restored = [&](std::initializer_list<std::pair<const char *, int>> keys) {
        placement.write(keys);
        placement.state->restoreState();
        return placement.normalFrame();
    };
    const int huge = 2000000000;
    // Far too large, from a sane corner or from corners far outside: cut to the screen, to
    // the pixel.
    QCOMPARE(restored({{"Left", 100}, {"Top", 50}, {"Right", huge}, {"Bottom", huge}}), screen);
    QCOMPARE(restored({{"Left", -huge}, {"Top", -huge}, {"Right", huge}, {"Bottom", huge}}), screen);
    // One side too large: moved onto the screen just as far as needed; the other side keeps
    // its saved size (and its place, when the corner is on the screen).
    QCOMPARE(restored({{"Left", -50}, {"Top", 40}, {"Right", huge}, {"Bottom", 240}}),
             QRect(screen.topLeft(), QSize(screen.width(), 200)));
    QCOMPARE(restored({{"Left", 10}, {"Top", screen.top() + 20}, {"Right", 310}, {"Bottom", screen.bottom() + 500}}),
             QRect(10, screen.top(), 300, screen.height()));
    // A window that fits is left exactly as saved, also reaching to the last pixel and when
    // it is maximised.
    QCOMPARE(restored({{"Left", screen.left()}, {"Top", screen.top()}, {"Right", screen.right() + 1},
                       {"Bottom", screen.bottom() + 1}}),
             screen);
    restored({{"Left", 30}, {"Top", 40}, {"Right", 330}, {"Bottom", 240}, {"Maximized", 1}});
    QCOMPARE(placement.normalFrame(), QRect(30, 40, 300, 200));
}

JOTWELL_TEST_MAIN(FormStateTest)
#include "tst_windowplacement.moc"
