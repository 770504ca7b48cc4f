// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QThread>
#include <chrono>
#include <functional>
#include <memory>

class Database;
class QFileSystemWatcher;
class QTimer;

// Runs sync rounds for the program while a sync folder is set: now and then, soon after
// anyone commits to the memo database, and soon after the folder changes (the engine writes
// a file in pieces, so a quiet moment is waited for). A round runs on a thread of its own
// with a connection of its own, one at a time, so the interface never waits for it; what it
// merged reaches the list as another process's change would. A failed round is retried at
// the next period; one that found the database locked by another command waits for it.
class SyncRunner : public QObject {
    Q_OBJECT
public:
    explicit SyncRunner(QObject *parent = nullptr);
    ~SyncRunner() override;

    // The memo database the rounds open, and the folder they sync it with; an empty path or
    // folder stops the rounds.
    void setDatabasePath(const QString &path);
    void setFolder(const QString &folder);
    QString folder() const { return m_folder; }
    // While this holds, rounds wait: a merge must not change a memo under the user's editor.
    void setHoldOff(std::function<bool()> holdOff) { m_holdOff = std::move(holdOff); }
    // How often a round runs anyway, and how often the database is looked at for commits.
    void setIntervals(std::chrono::milliseconds period, std::chrono::milliseconds look);

    // Runs a round as soon as none is running and nothing holds it off.
    void requestRound();

    // For the status bar: when the last round ran or failed; empty while sync is off.
    QString statusText() const;
    QString statusDetail() const;

signals:
    void statusChanged();
    // A round stored other computers' changes in the database.
    void changesArrived();

private:
    enum class Reason { Look, Round };
    struct Outcome {
        enum class Kind { Idle, Ran, Busy, Failed } kind = Kind::Idle;
        QString failure;
        QString installation;
        int received = 0;
    };
    void start(Reason reason);
    // Starts a wanted round unless one is running or sync is off.
    void schedule();
    void finish(const Outcome &outcome);
    // On the round thread.
    Outcome work(Reason reason, const QString &path, const QString &folder);
    void restart();
    void watchFolder();
    void folderChanged(const QString &path);

    QString m_databasePath;
    QString m_folder;
    std::function<bool()> m_holdOff;
    QThread m_thread;
    QObject *m_threadContext; // lives on m_thread; the rounds run as its events
    std::unique_ptr<Database> m_connection; // touched on m_thread only
    qint64 m_seenVersion = -1;              // likewise
    bool m_running = false;
    bool m_roundWanted = false;
    QTimer *m_period;
    QTimer *m_look;
    QTimer *m_settle;
    QTimer *m_retry;
    QFileSystemWatcher *m_watcher;
    QString m_installation;
    QDateTime m_lastRound;
    QDateTime m_lastFailed;
    QString m_lastFailure;
};
