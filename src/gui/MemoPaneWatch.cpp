// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/MemoPaneWatch.h"
#include "gui/MainWindow.h"
#include "gui/CommandErrors.h"
#include "gui/MemoPane.h"
#include "core/DatabaseError.h"
#include "core/RowLooker.h"
#include <QApplication>
#include <QThread>
#include <QTimer>
#include <utility>

namespace {
constexpr int kLookIntervalMs = 2000;
} // namespace

MemoPaneWatch::MemoPaneWatch(MainWindow *mainWindow)
    : QObject(mainWindow), m_mainWindow(mainWindow), m_timer(new QTimer(this)), m_looker(new RowLooker(this))
{
    setObjectName(QStringLiteral("memoPaneWatch"));
    m_timer->setInterval(kLookIntervalMs);
    connect(m_timer, &QTimer::timeout, this, reportingErrors([this] { check(); }));
    connect(m_looker, &RowLooker::looked, this, reportingErrors([this](const std::shared_ptr<RowLook> &look) { looked(look); }));
    connect(m_looker, &RowLooker::lookFailed, this, reportingErrors([this] { lookEnded(); }));
    mainWindow->installEventFilter(this);
    if (mainWindow->isVisible())
        m_timer->start();
    // The list the pane loads at its first show is what the database holds now.
    try {
        if (mainWindow->connection().isOpen())
            m_dataVersion = mainWindow->connection().dataVersion();
    } catch (const DatabaseError &) {
        // An unreadable version is read again at the next look.
    }
}

bool MemoPaneWatch::isLooking() const
{
    return m_looker->isLooking();
}

bool MemoPaneWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mainWindow) {
        switch (event->type()) {
        case QEvent::Show:
            m_timer->start();
            break;
        case QEvent::Hide:
            m_timer->stop();
            break;
        case QEvent::WindowActivate:
            // After the handlers of the activation, so that the window is whole first.
            QTimer::singleShot(0, this, reportingErrors([this] { check(); }));
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool MemoPaneWatch::paneIsIdle(MemoPane &pane) const
{
    // A nested event loop is a modal box, a menu or a drag whose handlers still hold nodes.
    return pane.controller().hasLoaded() && !pane.isEditing() && !QApplication::activeModalWidget()
           && !QApplication::activePopupWidget() && QThread::currentThread()->loopLevel() <= 1;
}

void MemoPaneWatch::check()
{
    MemoPane *pane = m_mainWindow->memoPane();
    Database &database = m_mainWindow->connection();
    if (!pane || !database.isOpen() || !paneIsIdle(*pane))
        return;
    if (m_looker->isLooking()) {
        m_lookAgain = true;
        return;
    }
    qint64 version;
    try {
        version = database.dataVersion();
    } catch (const DatabaseError &) {
        return; // the file is busy or gone for a moment; look again later
    }
    // The list is compared with the table, so a change missed while the pane was busy, or
    // one that a reload of the pane's own has taken in, costs at most one comparison.
    if (version == m_dataVersion && pane->controller().unsavedCount() == 0)
        return;
    pane->controller().retryUnsaved();
    m_lookVersion = version;
    m_ownChanges = database.ownChanges();
    m_looker->look(database.path(), pane->controller().rowPrints());
}

void MemoPaneWatch::looked(const std::shared_ptr<RowLook> &look)
{
    MemoPane *pane = m_mainWindow->memoPane();
    Database &database = m_mainWindow->connection();
    // A look taken against a list reloaded since, or before the pane stored changes of its
    // own, would take those back: it is taken again.
    if (!pane || !database.isOpen() || look->before != pane->controller().rowPrints() || database.ownChanges() != m_ownChanges) {
        m_lookAgain = true;
    } else if (paneIsIdle(*pane)) {
        const bool changed = pane->controller().takeLook(std::move(*look));
        m_dataVersion = m_lookVersion;
        if (changed)
            emit outsideChangeReloaded();
    }
    lookEnded();
}

void MemoPaneWatch::lookEnded()
{
    if (std::exchange(m_lookAgain, false))
        check();
}
