// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/TimeStamp.h"
#include "core/Database.h"
#include "core/MemoStore.h"
#include "gui/FileDialog.h"
#include "gui/memos/PaneBackgrounds.h"
#include <QImage>
#include <QMainWindow>

class QAction;
class QMenu;
class QMenuBar;
class QTimer;
class WindowPlacement;
class TrayIcon;
class MemoPane;
class CommonActions;
class HelpViewer;
class ExchangeCommands;
class VersionInfo;
class SyncRunner;

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
    // Runs the sync rounds while the settings name a sync folder.
    SyncRunner *syncRunner() const { return m_syncRunner; }

    // Brings the window forward for a later start of the program.
    void bringForward();
    // The page address with the query string that tells the maker how long the program has
    // been in use and how many memos it holds.
    QString addWebQuery(const QString &page) const;

    void backupDatabase();
    void restoreDatabase();
    void importFile();
    void pasteMemos();
    // Ends the program: the placement is saved and an open edit stored first.
    void exitProgram();
    // The desktop session is about to end: store an open edit and the placement.
    void sessionCommitData();
    // Re-creates the window with or without the stay-on-top flag, in the same place.
    void setStayOnTop(bool onTop);

    TrayIcon *trayIcon() const { return m_trayIcon; }
    WindowPlacement *placement() const { return m_placement; }
    QMenu *trayMenu() const { return m_trayMenu; }
    HelpViewer *helpViewer() const { return m_help; }
    VersionInfo *versionInfo() const { return m_versionInfo; }
    bool isExiting() const { return m_exiting; }

    // One save dialog for backup and export, so each offers the name the other chose last.
    FileDialog &exportDialog() { return m_exportDialog; }

    // Pictures the pane draws with, kept for the program's life.
    const PaneBackgrounds &backgrounds() const { return m_backgrounds; }

    // The options the user sets, held in memory; the settings file keeps them.
    struct Options {
        bool addOpen = false;
        bool runMinimized = false;
        bool visitWebEnabled = false; // true by default in the file; false until read
    };
    Options &options() { return m_options; }

    // How long and how much the program has been used, for the maker's web page.
    struct Usage {
        TimeStamp firstRun = 0;
        TimeStamp lastWebVisit = 0;
        qint64 runDays = 0;
        qint64 privateMemos = 0;
        qint64 publicMemos = 0;
    };
    Usage &usage() { return m_usage; }
    // The memo count of a load, kept in the usage figures. The settings file is written only
    // when a figure changed, and a file that cannot take it is reported once per session:
    // every outside change loads again.
    void recordMemoCount(qint64 memos);

signals:
    // The database opened after the start, once another program let go of it.
    void databaseOpened();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Opens the database and reads the settings of the data folder; raises what stops it.
    // A database that another program holds is tried again until it opens.
    void openDataFolder();
    QString databasePath() const;
    // What the start reads once the database is open.
    void readDataFolderSettings();
    void retryDatabase();
    void createSyncRunner();
    void showSyncStatus();
    void loadBackgrounds();
    // The list has been read: the main menu comes, with the pane's commands in it.
    void showMemoList();
    QMenuBar *createMenuBar();
    // Makes the designed size the outer size once the frame around the window is known.
    void fitDesignedSize(int triesLeft);
    void createTrayComponents();
    void balloonTimeout();
    void trayIconClicked(Qt::MouseButton button);
    void addMemoFromTray();
    void storeOpenEdit();
    // Whether the program may end: true when no typed text waits unstored, or when the user
    // chose to lose it.
    bool mayLoseUnsaved();

    QString m_programFolder;
    QString m_confPath;
    Database m_database;
    MemoStore m_memoStore{m_database};
    CommonActions *m_commonActions = nullptr;
    ExchangeCommands *m_exchangeCommands = nullptr;
    MemoPane *m_memoPane = nullptr;
    QMenuBar *m_menuBar = nullptr;

    QAction *m_backupAction;
    QAction *m_restoreAction;
    QAction *m_importAction;
    QAction *m_trayAddMemoAction;
    QAction *m_pasteAction;
    QAction *m_exitAction;

    // Life in the notification area.
    TrayIcon *m_trayIcon;
    WindowPlacement *m_placement;
    QMenu *m_trayMenu = nullptr;
    QTimer *m_balloonTimer;
    QTimer *m_databaseRetry;
    bool m_exiting = false;
    bool m_recreating = false; // the window hides only to come back with other flags

    HelpViewer *m_help;
    SyncRunner *m_syncRunner;
    VersionInfo *m_versionInfo; // the program's own version values
    //: A file type; the patterns in brackets stay as they are.
    FileDialog m_exportDialog{FileRequest::Kind::Save, {tr("Korvel Database,  (*.kvx)")}, QStringLiteral("kvx")};
    PaneBackgrounds m_backgrounds;
    Options m_options;
    Usage m_usage;
    bool m_usageFailureShown = false;
};
