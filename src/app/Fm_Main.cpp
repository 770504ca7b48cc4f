#include "app/Fm_Main.h"
#include "app/Dlg_Update.h"
#include "app/Dm_Common.h"
#include "app/Prompts.h"
#include "components/KvFormState.h"
#include "components/KvTray.h"
#include "components/kvHHComp.h"
#include <QStandardPaths>
#include "app/KvApplication.h"
#include "app/KvImages.h"
#include "app/KvIniFile.h"
#include "app/PostedMessages.h"
#include "app/pU_Funcs.h"
#include "components/KvVersionInfo.h"
#include "exchange/Dm_Io.h"
#include "memos/Fr_kvMemos.h"
#include <QAction>
#include <QDir>
#include <QShowEvent>
#include <QTimer>
#include <stdexcept>

namespace {
// The window's designed outer size, frame included.
const QSize kDesignedSize(371, 480);
// How long the window manager may take to frame the window before its frame size is known.
constexpr int kFrameTries = 20;
constexpr int kFrameTryMs = 100;
} // namespace

TmainFm::TmainFm(const QString &programFolder, QWidget *parent)
    : QMainWindow(parent), FProgramFolder(programFolder)
{
    setWindowTitle(kApplicationTitle);
    setWindowIcon(KvImages::AppIcon());
    resize(kDesignedSize); // until the frame is known
    Action_DbBackup = makeAction(QStringLiteral("Database &Backup..."));
    Action_DbRestore = makeAction(QStringLiteral("Database &Restore..."));
    Action_Import = makeAction(QStringLiteral("&Import"));
    Action_AddMemo = makeAction(QStringLiteral("&Add Memo"));
    Action_PasteMemo = makeAction(QStringLiteral("Paste To &Memo"));
    Action_Exit = makeAction(QStringLiteral("E&xit"));
    KvVersionInfo1 = new TKvVersionInfo(this);
    KVHHComp1 = new TKVHHComp(this);
    CreateTrayComponents();
    connect(Action_DbBackup, &QAction::triggered, this, &TmainFm::Action_DbBackupExecute);
    connect(Action_DbRestore, &QAction::triggered, this, &TmainFm::Action_DbRestoreExecute);
    connect(Action_Import, &QAction::triggered, this, &TmainFm::Action_ImportExecute);

    // A failing step ends the creation there; the window still comes up with what was set
    // up, and the error is shown.
    try {
        FormCreate();
    } catch (const std::exception &error) {
        ShowDefaultErrorBox(QString::fromUtf8(error.what()));
    }
}

TmainFm::~TmainFm()
{
    delete FMemosFrame;
}

QAction *TmainFm::makeAction(const QString &caption)
{
    return new QAction(caption, this);
}

void TmainFm::FormCreate()
{
    FFirstShow = true;
    LoadBackgrounds();
    if (!QDir().mkpath(FProgramFolder))
        throw std::runtime_error(QStringLiteral("Unable to create the data folder %1").arg(FProgramFolder).toStdString());
    FConfPath = FProgramFolder + QStringLiteral("kvConf.ini");
    FAddOpen = KvIniFile(FConfPath).readBool(QStringLiteral("option"), QStringLiteral("addOpenEn"), false);
    ADOConnection1.open(FProgramFolder + QStringLiteral("kvData.kvb"));
    if (ADOConnection1.isReadOnly())
        WarningBox(QStringLiteral("The memo database \"%1\" is read-only: your memos are shown, but changes "
                                  "cannot be stored.")
                       .arg(ADOConnection1.path()));
    TcommonDm::ReadStartupSettings(*this);
    // The viewer opens a file: the built-in page is put where the user's cache lives.
    KVHHComp1->HelpFile = QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
                          + QStringLiteral("/jotwell-help.html");
    KvFormState1->IniPath = FConfPath;
    KvTrayIcon1->SetHint(kApplicationTitle);
}

void TmainFm::LoadBackgrounds()
{
    struct Picture {
        QImage *image;
        const char *fileName;
    };
    const Picture pictures[] = {
        {&FToolbarBackground, "toolsbarBackground.bmp"}, {&FSearchbarBackground, "searchbarBackground.bmp"},
        {&FGroupBackground, "groupBackground.bmp"},      {&FItemBackground0, "itemBackground0.bmp"},
        {&FItemBackground1, "itemBackground1.bmp"},
    };
    QStringList errors;
    for (const Picture &picture : pictures) {
        QString error;
        *picture.image = KvImages::LoadBackground(FProgramFolder, QString::fromLatin1(picture.fileName), &error);
        if (!error.isEmpty())
            errors << error;
    }
    // A picture of the user's that cannot be read is replaced by the built-in one; say so
    // once, and go on.
    if (!errors.isEmpty())
        WarningBox(errors.join(QLatin1Char('\n')) + QStringLiteral("\nThe built-in pictures are used instead."));
}

void TmainFm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Re-creating the window for stay on top shows it again; that is no opening by the user.
    if (!event->spontaneous() && !FRecreating)
        FormShow();
}

void TmainFm::FormShow()
{
    if (FFirstShow) {
        if (!KvIniFile(FConfPath).readBool(KvFormState1->Section, QStringLiteral("Saved"), false))
            FitDesignedSize(kFrameTries);
        FMemosFrame = new TkvMemosFrame(this);
        setCentralWidget(FMemosFrame);
        PostKvMessage(FMemosFrame, WM_MEMOS_RELOAD);
        PostKvMessage(FMemosFrame, WM_MEMOS_READY);
        FCommonDm->RunStartupChecks();
        FFirstShow = false;
    } else if (FAddOpen) {
        PostKvMessage(FMemosFrame, WM_MEMOS_ADD);
    }
}

void TmainFm::FitDesignedSize(int triesLeft)
{
    // The window manager frames the window some time after it is shown; the user may have
    // resized it by then, and some platforms never tell the frame.
    if (size() != kDesignedSize || isMaximized() || triesLeft <= 0)
        return;
    const QSize frame = frameGeometry().size() - size();
    if (frame.isNull()) {
        QTimer::singleShot(kFrameTryMs, this, [this, triesLeft] { FitDesignedSize(triesLeft - 1); });
        return;
    }
    resize(kDesignedSize - frame);
}

bool TmainFm::event(QEvent *event)
{
    if (int(event->type()) == WM_SHOW_UPDATE_PROMPT) {
        TupdateDlg dialog(*this, *FCommonDm, this);
        Prompts().execDialog(dialog);
    }
    return QMainWindow::event(event);
}

QString TmainFm::AddWebQuery(const QString &page) const
{
    return page + QStringLiteral("?id=j-w-") + QString::number(FRunDays) + QStringLiteral("&m=")
           + QString::number(FPrivateMemos) + QLatin1Char('-') + QString::number(FPublicMemos);
}

void TmainFm::BringForward()
{
    // Shown, raised and restored, also from the tray.
    KvTrayIcon1->Restore();
}

void TmainFm::Action_DbBackupExecute()
{
    FIoDm->BackupDatabase();
}

void TmainFm::Action_DbRestoreExecute()
{
    // The database changed behind the tree: it reloads once the run has ended, also after a
    // failure, so that what the run stored is in sight.
    if ((FIoDm->RestoreDatabase() || FIoDm->DatabaseChanged()) && FMemosFrame)
        PostKvMessage(FMemosFrame, WM_MEMOS_RELOAD);
}

void TmainFm::Action_ImportExecute()
{
    if ((FIoDm->ImportFile() || FIoDm->DatabaseChanged()) && FMemosFrame)
        PostKvMessage(FMemosFrame, WM_MEMOS_RELOAD);
}
