#pragma once
#include "store/DateTime.h"
#include "store/KvConnection.h"
#include "exchange/KvFileDialog.h"
#include <QImage>
#include <QMainWindow>

class QAction;
class QMenu;
class QTimer;
class TKvFormState;
class TKvTrayIcon;
class TkvMemosFrame;
class TcommonDm;
class TKVHHComp;
class TIoDm;
class TKvVersionInfo;

// The main window: owns the database connection and the memo tree frame, which it builds at
// its first show and lets fill its client area.
class TmainFm : public QMainWindow {
    Q_OBJECT
public:
    explicit TmainFm(const QString &programFolder, QWidget *parent = nullptr);
    ~TmainFm() override;

    void setCommonDm(TcommonDm *commonDm);
    TcommonDm *commonDm() const { return FCommonDm; }
    void setIoDm(TIoDm *ioDm) { FIoDm = ioDm; }
    TIoDm *ioDm() const { return FIoDm; }
    TkvMemosFrame *memosFrame() const { return FMemosFrame; }
    KvConnection &connection() { return ADOConnection1; }
    QString programFolder() const { return FProgramFolder; }
    QString confPath() const { return FConfPath; }

    // Brings the window forward for a later start of the program.
    void BringForward();
    // The page address with the query string that tells the maker how long the program has
    // been in use and how many memos it holds.
    QString AddWebQuery(const QString &page) const;

    QAction *Action_DbBackup;
    QAction *Action_DbRestore;
    QAction *Action_Import;
    QAction *Action_AddMemo;
    QAction *Action_PasteMemo;
    QAction *Action_Exit;

    void Action_DbBackupExecute();
    void Action_DbRestoreExecute();
    void Action_ImportExecute();

    // Life in the notification area.
    TKvTrayIcon *KvTrayIcon1;
    TKvFormState *KvFormState1;
    QMenu *PopupMenu_Tray = nullptr;
    QTimer *Timer_balloon;
    bool FExiting = false;
    bool FRecreating = false; // the window hides only to come back with other flags
    void FormHide();
    void Timer_balloonTimer();
    void KvTrayIcon1Click(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift);
    void Action_AddMemoExecute();
    void Action_PasteMemoExecute();
    // Ends the program: the placement is saved and an open edit stored first.
    void Action_ExitExecute();
    // The desktop session is about to end: store an open edit and the placement.
    void SessionCommitData();
    void StoreOpenEdit();
    // Re-creates the window with or without the stay-on-top flag, in the same place.
    void SetStayOnTop(bool onTop);

    TKVHHComp *KVHHComp1;
    // The program's own version values.
    TKvVersionInfo *KvVersionInfo1;
    // One save dialog for backup and export, so each offers the name the other chose last.
    KvFileDialog ExportDialog{KvFileRequest::Kind::Save, QStringLiteral("Korvel Database,  (*.kvx)|*.kvx"),
                              QStringLiteral("kvx")};
    // Reports: the chosen filter decides the kind of report.
    KvFileDialog SaveDialog{KvFileRequest::Kind::Save,
                            QStringLiteral("Text file (*.txt)|*.txt|HTML file (*.htm *.html)|*.htm;*.html"), QString()};

    // Pictures the frame draws with, kept for the program's life.
    QImage FToolbarBackground, FSearchbarBackground, FGroupBackground, FItemBackground0, FItemBackground1;

    // Settings held in memory and usage figures.
    bool FAddOpen = false;
    bool FRunMinimized = false;
    bool FVisitWebEnabled = true;
    TDateTime FFirstRun = 0;
    TDateTime FLastWebVisit = 0;
    qint64 FRunDays = 0;
    qint64 FPrivateMemos = 0;
    qint64 FPublicMemos = 0;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void LoadBackgrounds();
    // Makes the designed size the outer size once the frame around the window is known.
    void FitDesignedSize(int triesLeft);
    void CreateTrayComponents();
    QAction *makeAction(const QString &caption);

    QString FProgramFolder;
    QString FConfPath;
    KvConnection ADOConnection1;
    TcommonDm *FCommonDm = nullptr;
    TIoDm *FIoDm = nullptr;
    TkvMemosFrame *FMemosFrame = nullptr;
    bool FFirstShow = true;
};
