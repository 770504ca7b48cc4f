// The main window's life in the notification area: hiding, the tray menu, the balloon and
// the end of the program.
#include "app/Dm_Common.h"
#include "app/Fm_Main.h"
#include "app/KvApplication.h"
#include "app/KvImages.h"
#include "app/PostedMessages.h"
#include "components/KvFormState.h"
#include "components/KvTray.h"
#include "memos/Fr_kvMemos.h"
#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHideEvent>
#include <QMenu>
#include <QTimer>

void TmainFm::CreateTrayComponents()
{
    KvTrayIcon1 = new TKvTrayIcon(this);
    KvTrayIcon1->SetImages({KvImages::AppIcon()});
    KvTrayIcon1->MinimizeToTray = true;
    KvTrayIcon1->OnClick = [this](QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift) {
        KvTrayIcon1Click(sender, button, shift);
    };
    KvFormState1 = new TKvFormState(this);
    KvFormState1->Section = QStringLiteral("form");
    Timer_balloon = new QTimer(this);
    Timer_balloon->setInterval(3600000);
    Timer_balloon->setSingleShot(true);
    connect(Timer_balloon, &QTimer::timeout, this, &TmainFm::Timer_balloonTimer);

    connect(Action_AddMemo, &QAction::triggered, this, &TmainFm::Action_AddMemoExecute);
    connect(Action_PasteMemo, &QAction::triggered, this, &TmainFm::Action_PasteMemoExecute);
    connect(Action_Exit, &QAction::triggered, this, &TmainFm::Action_ExitExecute);
    // The end of the desktop session ends the program as Exit does, with nothing lost.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TmainFm::Action_ExitExecute);
}

void TmainFm::setCommonDm(TcommonDm *commonDm)
{
    FCommonDm = commonDm;
    PopupMenu_Tray = new QMenu(this);
    PopupMenu_Tray->setSeparatorsCollapsible(false);
    PopupMenu_Tray->addAction(commonDm->Action_UiOpen);
    PopupMenu_Tray->addSeparator();
    PopupMenu_Tray->addAction(Action_AddMemo);
    PopupMenu_Tray->addAction(Action_PasteMemo);
    PopupMenu_Tray->addSeparator();
    PopupMenu_Tray->addAction(Action_Exit);
    KvTrayIcon1->SetPopupMenu(PopupMenu_Tray);
}

void TmainFm::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    // Minimising on some desktops hides the window on its own; only the program's hide counts.
    if (!event->spontaneous())
        FormHide();
}

void TmainFm::FormHide()
{
    if (FExiting || FRecreating)
        return;
    KvFormState1->SaveState();
    if (!Timer_balloon->isActive()) {
        KvTrayIcon1->ShowBalloonHint(kApplicationTitle, QStringLiteral("Click here to open!"), biInfo, 10);
        Timer_balloon->start();
    }
}

void TmainFm::Timer_balloonTimer()
{
    Timer_balloon->stop();
}

void TmainFm::KvTrayIcon1Click(QObject *, Qt::MouseButton button, Qt::KeyboardModifiers)
{
    if (button == Qt::LeftButton)
        FCommonDm->Action_UiOpen->trigger();
}

void TmainFm::Action_AddMemoExecute()
{
    KvTrayIcon1->Restore();
    if (FMemosFrame)
        PostKvMessage(FMemosFrame, WM_MEMOS_ADD);
}

void TmainFm::Action_PasteMemoExecute()
{
    if (FMemosFrame)
        FMemosFrame->Action_PasteMemoExecute();
}

void TmainFm::Action_ExitExecute()
{
    if (FExiting)
        return;
    FExiting = true;
    KvFormState1->SaveState();
    // Freeing the frame stores an edit that is still open.
    delete FMemosFrame;
    FMemosFrame = nullptr;
    close();
    QCoreApplication::quit(); // a window hidden in the tray does not end the event loop by closing
}

void TmainFm::SetStayOnTop(bool onTop)
{
    KvFormState1->SaveState();
    FRecreating = true;
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    show();
    FRecreating = false;
    KvFormState1->RestoreState();
}

void TmainFm::closeEvent(QCloseEvent *event)
{
    // A close the tray did not take (no notification area, the program's own close) ends the
    // program, with the same care as Exit.
    Action_ExitExecute();
    event->accept();
}
