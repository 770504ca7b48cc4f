#pragma once
#include "core/TimeStamp.h"
#include "core/Database.h"
#include "core/MemoStore.h"
#include "gui/FileDialog.h"
#include <QImage>
#include <QMainWindow>

class QAction;
class QMenu;
class QTimer;
class WindowPlacement;
class TrayIcon;
class MemoPane;
class CommonActions;
class HelpViewer;
class ExchangeCommands;
class VersionInfo;

// The main window: owns the database connection and the memo tree frame, which it builds at
// its first show and lets fill its client area.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(const QString &programFolder, QWidget *parent = nullptr);
    ~MainWindow() override;

    void setCommonActions(CommonActions *commonActions);
    CommonActions *commonActions() const { return m_commonActions; }
    void setExchangeCommands(ExchangeCommands *exchangeCommands) { m_exchangeCommands = exchangeCommands; }
    ExchangeCommands *exchangeCommands() const { return m_exchangeCommands; }
    MemoPane *memoPane() const { return m_memoPane; }
    Database &connection() { return m_database; }
    MemoStore &memoStore() { return m_memoStore; }
    QString programFolder() const { return m_programFolder; }
    QString confPath() const { return m_confPath; }

    // Brings the window forward for a later start of the program.
    void bringForward();
    // The page address with the query string that tells the maker how long the program has
    // been in use and how many memos it holds.
    QString addWebQuery(const QString &page) const;

    QAction *m_backupAction;
    QAction *m_restoreAction;
    QAction *m_importAction;
    QAction *m_trayAddMemoAction;
    QAction *m_pasteAction;
    QAction *m_exitAction;

    void backupDatabase();
    void restoreDatabase();
    void importFile();

    // Life in the notification area.
    TrayIcon *m_trayIcon;
    WindowPlacement *m_placement;
    QMenu *m_trayMenu = nullptr;
    QTimer *m_balloonTimer;
    bool m_exiting = false;
    bool m_recreating = false; // the window hides only to come back with other flags
    void windowHidden();
    void balloonTimeout();
    void trayIconClicked(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift);
    void addMemoFromTray();
    void pasteMemos();
    // Ends the program: the placement is saved and an open edit stored first.
    void exitProgram();
    // The desktop session is about to end: store an open edit and the placement.
    void sessionCommitData();
    void storeOpenEdit();
    // Re-creates the window with or without the stay-on-top flag, in the same place.
    void setStayOnTop(bool onTop);

    HelpViewer *m_help;
    // The program's own version values.
    VersionInfo *m_versionInfo;
    // One save dialog for backup and export, so each offers the name the other chose last.
    FileDialog m_exportDialog{FileRequest::Kind::Save, QStringLiteral("Korvel Database,  (*.kvx)|*.kvx"),
                              QStringLiteral("kvx")};
    // Reports: the chosen filter decides the kind of report.
    FileDialog m_reportDialog{FileRequest::Kind::Save,
                            QStringLiteral("Text file (*.txt)|*.txt|HTML file (*.htm *.html)|*.htm;*.html"), QString()};

    // Pictures the frame draws with, kept for the program's life.
    QImage m_toolbarBackground, m_searchbarBackground, m_groupBackground, m_itemBackground0, m_itemBackground1;

    // Settings held in memory and usage figures.
    bool m_addOpen = false;
    bool m_runMinimized = false;
    bool m_visitWebEnabled = true;
    TimeStamp m_firstRun = 0;
    TimeStamp m_lastWebVisit = 0;
    qint64 m_runDays = 0;
    qint64 m_privateMemos = 0;
    qint64 m_publicMemos = 0;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void createWindow();
    void firstShow();
    void loadBackgrounds();
    // Makes the designed size the outer size once the frame around the window is known.
    void fitDesignedSize(int triesLeft);
    void createTrayComponents();
    QAction *makeAction(const QString &caption);

    QString m_programFolder;
    QString m_confPath;
    Database m_database;
    MemoStore m_memoStore{m_database};
    CommonActions *m_commonActions = nullptr;
    ExchangeCommands *m_exchangeCommands = nullptr;
    MemoPane *m_memoPane = nullptr;
    bool m_firstShow = true;
};
