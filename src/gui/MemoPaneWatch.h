#pragma once
#include <QObject>

class MainWindow;
class MemoPane;
class QTimer;

// Notices changes another process made to the memo database (jotwell-cli, a script) and
// reads the memo list again, keeping the selection, the focused memo and the scroll
// position where those memos still exist; open memos stay open through their stored
// expanded flags. It looks when the window is activated and every two seconds while the
// window is shown, and never while an edit, a box, a menu or a drag is open: the change is
// then taken at the next look.
class MemoPaneWatch : public QObject {
    Q_OBJECT
public:
    explicit MemoPaneWatch(MainWindow *mainWindow);

    // Reloads now when the database changed from outside and the pane can take it.
    void check();

signals:
    // The memo list was read again after an outside change: what was kept about the old
    // list (an undo history) no longer applies.
    void outsideChangeReloaded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool paneIsIdle(MemoPane &pane) const;
    void reload(MemoPane &pane);

    MainWindow *m_mainWindow;
    QTimer *m_timer;
    qint64 m_dataVersion = -1;
};
