// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's life in the notification area: hiding, the tray menu, the balloon and
// the end of the program.
#include "gui/CommonActions.h"
#include "gui/CommandErrors.h"
#include "gui/MainWindow.h"
#include "gui/Application.h"
#include "gui/Artwork.h"
#include "gui/Prompts.h"
#include "desktop/WindowPlacement.h"
#include "desktop/TrayIcon.h"
#include "gui/MemoPane.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHideEvent>
#include <QMenu>
#include <QTimer>

void MainWindow::createTrayComponents()
{
    m_trayIcon = new TrayIcon(this);
    m_trayIcon->setImages({Artwork::appIcon()});
    m_trayIcon->minimizeToTray = true;
    m_trayIcon->onClick = [this](Qt::MouseButton button, Qt::KeyboardModifiers) { trayIconClicked(button); };
    // The balloon says "Click here to open!": a click on it does.
    m_trayIcon->onBalloonClicked = [this] { m_commonActions->openAction()->trigger(); };
    m_placement = new WindowPlacement(this);
    m_placement->section = QStringLiteral("form");
    m_balloonTimer = new QTimer(this);
    m_balloonTimer->setInterval(3600000);
    m_balloonTimer->setSingleShot(true);
    connect(m_balloonTimer, &QTimer::timeout, this, &MainWindow::balloonTimeout);

    connect(m_trayAddMemoAction, &QAction::triggered, this, &MainWindow::addMemoFromTray);
    connect(m_pasteAction, &QAction::triggered, this, reportingErrors([this] { pasteMemos(); }));
    connect(m_exitAction, &QAction::triggered, this, &MainWindow::exitProgram);
    // Before the desktop session ends, what the user typed and where the window stands are
    // stored; the program ends when the session does (its windows are closed then).
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::sessionCommitData);
}

void MainWindow::setCommonActions(CommonActions *commonActions)
{
    m_commonActions = commonActions;
    m_trayMenu = new QMenu(this);
    m_trayMenu->setSeparatorsCollapsible(false);
    m_trayMenu->addAction(commonActions->openAction());
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(m_trayAddMemoAction);
    m_trayMenu->addAction(m_pasteAction);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(m_exitAction);
    m_trayIcon->setPopupMenu(m_trayMenu);
}

void MainWindow::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    // Minimising on some desktops hides the window on its own; only the program's hide counts.
    if (event->spontaneous() || m_exiting || m_recreating)
        return;
    m_placement->saveState();
    if (!m_balloonTimer->isActive()) {
        m_trayIcon->showBalloonHint(kApplicationTitle, tr("Click here to open!"), BalloonIcon::Information, 10);
        m_balloonTimer->start();
    }
}

void MainWindow::balloonTimeout()
{
    m_balloonTimer->stop();
}

void MainWindow::trayIconClicked(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        m_commonActions->openAction()->trigger();
}

void MainWindow::addMemoFromTray()
{
    m_trayIcon->restore();
    if (m_memoPane)
        QMetaObject::invokeMethod(&m_memoPane->controller(), &MemoController::addMemo, Qt::QueuedConnection);
}

void MainWindow::pasteMemos()
{
    if (m_memoPane)
        m_memoPane->controller().pasteMemos();
}

void MainWindow::exitProgram()
{
    if (m_exiting)
        return;
    storeOpenEdit();
    if (!mayLoseUnsaved())
        return;
    m_exiting = true;
    m_placement->saveState();
    // The frame is not freed here: Exit may come while a modal box runs in one of its handlers
    // (the session's end), which would return into a freed frame. It goes with the window.
    close();
    QCoreApplication::quit(); // a window hidden in the tray does not end the event loop by closing
}

bool MainWindow::mayLoseUnsaved()
{
    if (!m_memoPane || m_memoPane->controller().unsavedCount() == 0)
        return true;
    m_memoPane->controller().retryUnsaved();
    const int unsaved = m_memoPane->controller().unsavedCount();
    if (unsaved == 0)
        return true;
    return showBox(kApplicationTitle,
                   tr("%n memo(s) you typed could not be stored: the database does not take them now.\n"
                      "Exit anyway and lose them?",
                      "", unsaved),
                   BoxButtons::YesNo)
           == BoxAnswer::Yes;
}

void MainWindow::storeOpenEdit()
{
    if (m_memoPane && m_memoPane->tree()->isEditing())
        m_memoPane->tree()->endEditNode(); // as Ctrl+Enter would
}

void MainWindow::sessionCommitData()
{
    // The logout may still be cancelled, so nothing is closed or freed here.
    if (m_exiting)
        return;
    storeOpenEdit();
    m_placement->saveState();
}

void MainWindow::setStayOnTop(bool onTop)
{
    m_placement->saveState();
    m_recreating = true;
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    show();
    m_recreating = false;
    m_placement->restoreState();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A close the tray did not take (no notification area, the program's own close) ends the
    // program, with the same care as Exit; a user who keeps typed text unsaved keeps it open.
    exitProgram();
    if (m_exiting)
        event->accept();
    else
        event->ignore();
}
