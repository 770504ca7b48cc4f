// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <memory>

class MainWindow;
class MemoPane;
class QTimer;
class RowLooker;
struct RowLook;

// Notices changes another process made to the memo database (jotwell-cli, a script) and
// has the pane patch them into its list, which keeps the keyboard focus, the selection,
// the focused memo, the scroll position and a search in force. It looks when the window is
// activated and every two seconds while the window is shown, and never while an edit, a
// box, a menu or a drag is open: the change is then taken at the next look. The comparison
// with the table runs on a thread of its own; the pane takes in only what it found. Each
// look also offers the database the typed text it refused before.
class MemoPaneWatch : public QObject {
    Q_OBJECT
public:
    explicit MemoPaneWatch(MainWindow *mainWindow);

    // Starts a look when the database changed from outside and the pane can take it.
    void check();
    // A look is under way; what it finds is taken in when it ends.
    bool isLooking() const;

signals:
    // The memo list has taken in an outside change.
    void outsideChangeReloaded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool paneIsIdle(MemoPane &pane) const;
    void looked(const std::shared_ptr<RowLook> &look);
    void lookEnded();

    MainWindow *m_mainWindow;
    QTimer *m_timer;
    RowLooker *m_looker;
    qint64 m_dataVersion = -1;
    // What the look under way was started at: the file's version and the pane's own writes.
    qint64 m_lookVersion = -1;
    qint64 m_ownChanges = -1;
    bool m_lookAgain = false; // asked for while a look was under way
};
