// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>

class MainWindow;
class MemoPane;
class QTimer;

// Notices changes another process made to the memo database (jotwell-cli, a script) and
// has the pane patch them into its list, which keeps the keyboard focus, the selection,
// the focused memo, the scroll position and a search in force. It looks when the window is
// activated and every two seconds while the window is shown, and never while an edit, a
// box, a menu or a drag is open: the change is then taken at the next look. Each look also
// offers the database the typed text it refused before.
class MemoPaneWatch : public QObject {
    Q_OBJECT
public:
    explicit MemoPaneWatch(MainWindow *mainWindow);

    // Reloads now when the database changed from outside and the pane can take it.
    void check();

signals:
    // The memo list has taken in an outside change.
    void outsideChangeReloaded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool paneIsIdle(MemoPane &pane) const;

    MainWindow *m_mainWindow;
    QTimer *m_timer;
    qint64 m_dataVersion = -1;
};
