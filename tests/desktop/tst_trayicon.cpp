// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "FakeTrayBackend.h"
#include "desktop/TrayIcon.h"
#include <QCloseEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QWindow>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>
#include <stdexcept>

namespace {

// An owner window with its tray icon on a scripted notification area.
struct Tray {
    explicit Tray(bool available = true, bool toTray = true) : area(new FakeTrayBackend)
    {
        area->available = available;
        icon = new TrayIcon(&owner, std::unique_ptr<TrayBackend>(area));
        icon->minimizeToTray = toTray;
        icon->loaded();
        owner.show();
    }
    // What the window manager delivers for the title-bar button; notify() keeps it spontaneous.
    bool userClose()
    {
        QCloseEvent event;
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(&owner, &event);
        return event.isAccepted();
    }
    void userMinimise()
    {
        owner.setWindowState(owner.windowState() | Qt::WindowMinimized);
        QCoreApplication::processEvents();
    }
    bool hidden() const { return !owner.isVisible(); }

    QMainWindow owner;
    FakeTrayBackend *area;
    TrayIcon *icon;
};

QIcon filled(Qt::GlobalColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

class TrayTest : public QObject {
    Q_OBJECT
private slots:
    void closeAndMinimiseHideIntoTheArea();
    void withoutAnAreaTheWindowStaysReachable();
    void clicksMenuAndRestore();
    void tooltipAndBalloonAreCut();
    void animationCyclesAndResumes();
    void errorBoxes();
    void programKeepsRunningInTheArea();
};

void TrayTest::closeAndMinimiseHideIntoTheArea()
{
    Tray tray;
    QList<bool> visibleAtMinimize;
    tray.icon->onMinimize = [&] { visibleAtMinimize << tray.owner.isVisible(); };
    QVERIFY(!tray.userClose() && tray.hidden() && tray.area->shown);
    tray.icon->restore();
    tray.userMinimise();
    QCOMPARE(visibleAtMinimize, QList<bool>{true}); // told before it goes
    // Hidden, it keeps its minimised state (clearing it would map the native window again);
    // it comes back not minimised.
    QVERIFY(tray.hidden());
    tray.icon->restore();
    QVERIFY(!tray.hidden() && !tray.owner.isMinimized());

    // The program's own minimise hides it straight away, without minimising it first.
    tray.icon->minimize();
    QTRY_VERIFY(tray.hidden());
    QVERIFY(!tray.owner.isMinimized());
    QCOMPARE(visibleAtMinimize, (QList<bool>{true, true}));

    // After its native window is re-created (as stay-on-top does), the rules still hold.
    tray.icon->restore();
    const WId before = tray.owner.winId();
    tray.owner.windowHandle()->destroy();
    tray.owner.setWindowFlags(tray.owner.windowFlags() | Qt::WindowStaysOnTopHint);
    tray.owner.show();
    QVERIFY(tray.owner.winId() != before);
    QVERIFY(!tray.userClose() && tray.hidden());
    tray.icon->restore();
    tray.icon->minimize();
    QTRY_VERIFY(tray.hidden());

    // The program's own close goes through.
    tray.icon->restore();
    QVERIFY(tray.owner.close());

    Tray plain(true, false);
    plain.userMinimise();
    QVERIFY(!plain.hidden() && plain.owner.isMinimized());
    Tray inactive;
    inactive.icon->setActive(false);
    QVERIFY(!inactive.area->shown && inactive.userClose());
    inactive.userMinimise();
    QVERIFY(!inactive.hidden());
}

void TrayTest::withoutAnAreaTheWindowStaysReachable()
{
    ScriptedPrompts prompts;
    Tray tray(false);
    QVERIFY(!tray.icon->inTray());
    QVERIFY(tray.userClose()); // closes as usual
    tray.userMinimise();
    QVERIFY(!tray.hidden() && tray.owner.isMinimized());

    // The area starts late: the icon goes in, and the minimised window with it.
    tray.area->setAvailable(true);
    QVERIFY(tray.icon->inTray() && tray.hidden());
    // It goes away with the window in it: the window comes back.
    tray.area->setAvailable(false);
    QVERIFY(!tray.icon->inTray() && !tray.hidden());
    QVERIFY(prompts.shown.isEmpty());
}

void TrayTest::clicksMenuAndRestore()
{
    ScriptedPrompts prompts;
    Tray tray;
    QList<Qt::MouseButton> clicks;
    tray.icon->onClick = [&](Qt::MouseButton button, Qt::KeyboardModifiers) { clicks << button; };
    int doubleClicks = 0;
    tray.icon->onDoubleClick = [&](Qt::MouseButton, Qt::KeyboardModifiers) { ++doubleClicks; };
    tray.icon->restoreOnDoubleClick = false;
    tray.owner.showMaximized();
    tray.userMinimise();
    QTRY_VERIFY(tray.hidden());

    tray.area->press(TrayBackend::Event::LeftPress);
    tray.area->press(TrayBackend::Event::MiddlePress);
    tray.area->press(TrayBackend::Event::LeftDoubleClick);
    QVERIFY(tray.hidden());
    tray.icon->restoreOnDoubleClick = true;
    tray.area->press(TrayBackend::Event::LeftDoubleClick);
    QCOMPARE(doubleClicks, 2);
    QVERIFY(!tray.hidden() && tray.owner.isMaximized() && !tray.owner.isMinimized());

    // A right press shows the menu at the cursor and is no click.
    QMenu *menu = tray.icon->popupMenu();
    QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("&Close"));
    QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("&Restore"));
    QCursor::setPos(140, 150);
    tray.area->press(TrayBackend::Event::RightPress);
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), QPoint(140, 150));
    menu->hide();
    QCOMPARE(clicks, (QList<Qt::MouseButton>{Qt::LeftButton, Qt::MiddleButton}));
    // A menu that goes away leaves none rather than a dangling one: a right press then shows
    // nothing and is still no click.
    tray.icon->setPopupMenu(new QMenu);
    delete tray.icon->popupMenu();
    QVERIFY(!tray.icon->popupMenu());
    tray.area->press(TrayBackend::Event::RightPress);
    QVERIFY(!QApplication::activePopupWidget());
    QVERIFY(!menu->isVisible());
    QCOMPARE(clicks, (QList<Qt::MouseButton>{Qt::LeftButton, Qt::MiddleButton}));

    // hideOnRestore takes the icon out; the next hide puts it back.
    tray.icon->hideOnRestore = true;
    tray.icon->restore();
    QVERIFY(!tray.area->shown);
    QVERIFY(!tray.userClose() && tray.area->shown);

    tray.icon->onClick = [](Qt::MouseButton, Qt::KeyboardModifiers) { throw std::runtime_error("Busy"); };
    tray.area->press(TrayBackend::Event::LeftPress);
    QCOMPARE(prompts.lastText(), QStringLiteral("Busy."));
}

void TrayTest::tooltipAndBalloonAreCut()
{
    Tray tray;
    const QString hint(200, QLatin1Char('h'));
    tray.icon->setHint(hint);
    QCOMPARE(tray.area->toolTip, hint.left(127));
    const int updates = tray.area->updates;
    tray.icon->setHint(hint);
    QCOMPARE(tray.area->updates, updates);

    tray.icon->showBalloonHint(QString(70, QLatin1Char('t')), QString(300, QLatin1Char('x')), BalloonIcon::Information, 10);
    const FakeTrayBackend::Message message = tray.area->messages.value(0);
    QCOMPARE(message.title.size(), 63);
    QCOMPARE(message.text.size(), 255);
    QCOMPARE(message.iconKind, 1);
    QCOMPARE(message.msecs, 10000);
}

void TrayTest::animationCyclesAndResumes()
{
    Tray tray;
    const std::vector<QIcon> images{filled(Qt::red), filled(Qt::green), filled(Qt::blue)};
    tray.icon->setImages(images);
    tray.icon->setImageIndex(1);
    const auto frames = [&] {
        QList<int> indexes;
        for (qint64 key : tray.area->iconHistory)
            for (int i = 0; i < 3; ++i)
                if (images[i].cacheKey() == key)
                    indexes << i;
        tray.area->iconHistory.clear();
        return indexes;
    };
    tray.icon->setInterval(0);
    frames();
    tray.icon->setAnimate(true);
    QCOMPARE(tray.icon->interval(), 200);
    tray.icon->setInterval(10);
    QTRY_VERIFY(tray.area->iconHistory.size() >= 4);
    tray.icon->setAnimate(false);
    QList<int> shown = frames();
    QCOMPARE(shown.takeLast(), 1); // the still image is back
    QCOMPARE(shown.mid(0, 4), (QList<int>{0, 1, 2, 0}));

    // Deactivating suspends it; reactivating goes on from where it stopped.
    tray.icon->setAnimate(true);
    tray.icon->setActive(false);
    frames();
    tray.icon->setActive(true);
    QTRY_VERIFY(!tray.area->iconHistory.isEmpty());
    QCOMPARE(frames().first(), (shown.last() + 1) % 3);
}

void TrayTest::errorBoxes()
{
    ScriptedPrompts prompts;
    Tray refused(true);
    refused.area->refuseAdd = true;
    refused.icon->setActive(false);
    refused.icon->setActive(true);
    QVERIFY(refused.userClose()); // a refused area does not swallow the window
    refused.icon->setIcon(filled(Qt::red)); // kept for later, no box

    Tray tray;
    tray.icon->setImageIndex(2);
    tray.area->refuseModify = true;
    tray.icon->setHint(QStringLiteral("tip"));
    tray.icon->setShowHint(false);
    tray.icon->setIcon(filled(Qt::red));
    QStringList texts;
    for (const ScriptedPrompts::Box &box : prompts.shown)
        texts << box.caption + QLatin1Char('|') + box.text;
    const QString caption = QStringLiteral("Korvel TrayIcon Error|");
    QCOMPARE(texts, (QStringList{caption + QStringLiteral("AddToTray can not add icon to the tray"),
                                 caption + QStringLiteral("AddToTray can not add icon to the tray"),
                                 caption + QStringLiteral("SetImageIndex: No image list assigned"),
                                 caption + QStringLiteral("SetHint Error"), caption + QStringLiteral("SetShowHint Error"),
                                 caption + QStringLiteral("ResetIcon Error")}));
}

void TrayTest::programKeepsRunningInTheArea()
{
    // With the window in the area, closing some other window must not end the program.
    Tray tray;
    QVERIFY(!tray.userClose());
    QTimer::singleShot(0, [] {
        auto *other = new QLabel(QStringLiteral("other"));
        other->setAttribute(Qt::WA_DeleteOnClose);
        other->show();
        QTimer::singleShot(20, other, &QWidget::close);
    });
    QTimer::singleShot(300, [] { QCoreApplication::exit(7); });
    QCOMPARE(QCoreApplication::exec(), 7);
}

JOTWELL_TEST_MAIN(TrayTest)
#include "tst_trayicon.moc"
