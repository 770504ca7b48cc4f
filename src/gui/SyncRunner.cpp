// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/SyncRunner.h"
#include "core/Database.h"
#include "core/DatabaseError.h"
#include "core/sync/SyncDatabase.h"
#include "core/sync/SyncRound.h"
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLocale>
#include <QTimer>

using namespace std::chrono_literals;

namespace {
constexpr auto kPeriod = 30s;
constexpr auto kLook = 1s;
// An engine writes a file in pieces and often several files at once.
constexpr auto kSettle = 1500ms;
// A database another command holds, or an open edit, is tried again this soon.
constexpr auto kRetry = 2s;
} // namespace

SyncRunner::SyncRunner(QObject *parent)
    : QObject(parent), m_threadContext(new QObject), m_period(new QTimer(this)), m_look(new QTimer(this)),
      m_settle(new QTimer(this)), m_retry(new QTimer(this)), m_watcher(new QFileSystemWatcher(this))
{
    m_thread.setObjectName(QStringLiteral("sync"));
    m_threadContext->moveToThread(&m_thread);
    m_thread.start(QThread::LowPriority);
    m_period->setInterval(kPeriod);
    m_look->setInterval(kLook);
    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettle);
    m_retry->setSingleShot(true);
    m_retry->setInterval(kRetry);
    connect(m_period, &QTimer::timeout, this, &SyncRunner::requestRound);
    connect(m_settle, &QTimer::timeout, this, &SyncRunner::requestRound);
    connect(m_retry, &QTimer::timeout, this, &SyncRunner::requestRound);
    connect(m_look, &QTimer::timeout, this, [this] {
        if (!m_running)
            start(Reason::Look);
    });
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &SyncRunner::folderChanged);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &SyncRunner::folderChanged);
}

SyncRunner::~SyncRunner()
{
    // A round under way finishes (or takes itself back) before the program goes.
    m_thread.quit();
    m_thread.wait();
    delete m_threadContext;
}

void SyncRunner::setDatabasePath(const QString &path)
{
    m_databasePath = path;
    restart();
}

void SyncRunner::setFolder(const QString &folder)
{
    m_folder = folder;
    m_lastRound = {};
    m_lastFailed = {};
    m_lastFailure.clear();
    restart();
    emit statusChanged();
}

void SyncRunner::setIntervals(std::chrono::milliseconds period, std::chrono::milliseconds look)
{
    m_period->setInterval(period);
    m_look->setInterval(look);
}

void SyncRunner::restart()
{
    const bool on = !m_databasePath.isEmpty() && !m_folder.isEmpty();
    for (QTimer *timer : {m_period, m_look, m_settle, m_retry})
        timer->stop();
    watchFolder();
    if (!on)
        return;
    m_period->start();
    m_look->start();
    requestRound();
}

void SyncRunner::watchFolder()
{
    if (!m_watcher->files().isEmpty())
        m_watcher->removePaths(m_watcher->files());
    if (!m_watcher->directories().isEmpty())
        m_watcher->removePaths(m_watcher->directories());
    if (m_databasePath.isEmpty() || m_folder.isEmpty() || !QFileInfo(m_folder).isDir())
        return;
    // The folder tells of files that come, go or are renamed into place; the files tell of
    // appends, which an engine or a share may make in place.
    QStringList paths{m_folder};
    const QDir folder(m_folder);
    for (const QString &name : folder.entryList(QDir::Files))
        paths << folder.filePath(name);
    m_watcher->addPaths(paths);
}

void SyncRunner::folderChanged(const QString &path)
{
    // Our own appends are no news.
    if (!m_installation.isEmpty() && QFileInfo(path).fileName().startsWith(m_installation))
        return;
    if (path == m_folder || !m_watcher->files().contains(path))
        watchFolder();
    m_settle->start();
}

void SyncRunner::requestRound()
{
    m_roundWanted = true;
    schedule();
}

void SyncRunner::schedule()
{
    if (!m_running && !m_databasePath.isEmpty() && !m_folder.isEmpty())
        start(Reason::Round);
}

void SyncRunner::start(Reason reason)
{
    if (m_holdOff && m_holdOff()) {
        if (reason == Reason::Round)
            m_retry->start();
        return;
    }
    if (reason == Reason::Round)
        m_roundWanted = false;
    m_running = true;
    QMetaObject::invokeMethod(m_threadContext, [this, reason, path = m_databasePath, folder = m_folder] {
        const Outcome outcome = work(reason, path, folder);
        QMetaObject::invokeMethod(this, [this, outcome, folder] {
            m_running = false;
            // A round for a folder the user has since left tells nothing of the new one.
            if (folder == m_folder)
                finish(outcome);
            if (m_roundWanted)
                schedule();
        });
    });
}

SyncRunner::Outcome SyncRunner::work(Reason reason, const QString &path, const QString &folder)
{
    Outcome outcome;
    try {
        if (!m_connection || m_connection->path() != path) {
            m_connection = std::make_unique<Database>();
            m_connection->open(path);
            m_seenVersion = -1;
        }
        // Whoever committed to the database (the program, jotwell-cli, a script) made changes
        // to send; the rounds' own commits do not count here.
        const qint64 version = m_connection->dataVersion();
        if (reason == Reason::Look && version == m_seenVersion)
            return outcome;
        m_seenVersion = version;
        outcome.received = runSyncRound(*m_connection, folder).received;
        outcome.installation = SyncDatabase(*m_connection).installation();
        outcome.kind = Outcome::Kind::Ran;
    } catch (const DatabaseBusyError &) {
        outcome.kind = Outcome::Kind::Busy;
        m_seenVersion = -1;
    } catch (const std::exception &error) {
        outcome.kind = Outcome::Kind::Failed;
        outcome.failure = QString::fromUtf8(error.what());
    }
    return outcome;
}

void SyncRunner::finish(const Outcome &outcome)
{
    switch (outcome.kind) {
    case Outcome::Kind::Idle:
        return;
    case Outcome::Kind::Busy:
        // The user's own long command holds the database: it goes first, the round follows.
        m_retry->start();
        return;
    case Outcome::Kind::Ran:
        m_lastRound = QDateTime::currentDateTime();
        if (m_installation.isEmpty()) {
            m_installation = outcome.installation;
            watchFolder(); // the first round may have made the folder's first files
        }
        if (outcome.received > 0)
            emit changesArrived();
        break;
    case Outcome::Kind::Failed:
        m_lastFailed = QDateTime::currentDateTime();
        m_lastFailure = outcome.failure;
        break;
    }
    emit statusChanged();
}

QString SyncRunner::statusText() const
{
    if (m_folder.isEmpty())
        return {};
    const QLocale locale;
    if (m_lastFailed.isValid() && !(m_lastRound > m_lastFailed))
        return tr("Sync failed at %1").arg(locale.toString(m_lastFailed.time(), QLocale::ShortFormat));
    if (m_lastRound.isValid())
        return tr("Synced at %1").arg(locale.toString(m_lastRound.time(), QLocale::ShortFormat));
    return {};
}

QString SyncRunner::statusDetail() const
{
    if (m_lastFailed.isValid() && !(m_lastRound > m_lastFailed))
        return tr("%1\nIt is tried again in a while.").arg(m_lastFailure);
    return QDir::toNativeSeparators(m_folder);
}
