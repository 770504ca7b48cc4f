#include "gui/MemoPaneWatch.h"
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/PostedEvents.h"
#include "core/DatabaseError.h"
#include "treeview/MemoTree.h"
#include <QApplication>
#include <QScrollBar>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <optional>

namespace {
constexpr int kLookIntervalMs = 2000;
} // namespace

MemoPaneWatch::MemoPaneWatch(MainWindow *mainWindow) : QObject(mainWindow), m_mainWindow(mainWindow), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("memoPaneWatch"));
    m_timer->setInterval(kLookIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &MemoPaneWatch::check);
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
            QTimer::singleShot(0, this, &MemoPaneWatch::check);
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
    return pane.isReady() && !pane.editNode() && !pane.tree()->isEditing() && !QApplication::activeModalWidget()
           && !QApplication::activePopupWidget() && QThread::currentThread()->loopLevel() <= 1;
}

void MemoPaneWatch::check()
{
    MemoPane *pane = m_mainWindow->memoPane();
    Database &database = m_mainWindow->connection();
    if (!pane || !database.isOpen() || !paneIsIdle(*pane))
        return;
    qint64 version;
    try {
        version = database.dataVersion();
    } catch (const DatabaseError &) {
        return; // the file is busy or gone for a moment; look again later
    }
    if (version == m_dataVersion)
        return;
    const bool first = m_dataVersion < 0;
    m_dataVersion = version;
    if (!first)
        reload(*pane);
}

void MemoPaneWatch::reload(MemoPane &pane)
{
    MemoTree &tree = *pane.tree();
    QSet<QString> selected;
    for (TreeNode *node : tree.selectedNodes())
        selected.insert(node->memo.mid);
    const QString focused = tree.focusedNode() ? tree.focusedNode()->memo.mid : QString();
    const int scrolled = tree.verticalScrollBar()->value();
    const std::optional<QString> typed = pane.isSearching() ? std::optional(pane.searchBoxText()) : std::nullopt;

    // Read and sorted as at the start; a search in force stays in force.
    pane.reloadMemos();
    PostedEvent ready(WM_MEMOS_READY, 0, 0);
    QCoreApplication::sendEvent(&pane, &ready);
    if (typed)
        pane.resumeSearch(*typed);

    tree.beginUpdate();
    for (TreeNode *node = tree.firstNode(); node; node = tree.nextNode(node)) {
        if (selected.contains(node->memo.mid) && node->isVisible())
            tree.setSelected(node, true);
        if (!focused.isEmpty() && node->memo.mid == focused)
            tree.setFocusedNode(node);
    }
    tree.endUpdate();
    tree.visibleCount(); // lays the rows out, so that the scroll range is known
    tree.verticalScrollBar()->setValue(scrolled);
    emit outsideChangeReloaded();
}
