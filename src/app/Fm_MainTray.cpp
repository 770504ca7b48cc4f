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
#include "tree/KvVirtualTree.h"
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
    // The balloon says "Click here to open!": a click on it does.
    KvTrayIcon1->OnBalloonHintClick = [this](QObject *) { FCommonDm->Action_UiOpen->trigger(); };
    KvFormState1 = new TKvFormState(this);
    KvFormState1->Section = QStringLiteral("form");
    Timer_balloon = new QTimer(this);
    Timer_balloon->setInterval(3600000);
    Timer_balloon->setSingleShot(true);
    connect(Timer_balloon, &QTimer::timeout, this, &TmainFm::Timer_balloonTimer);

    connect(Action_AddMemo, &QAction::triggered, this, &TmainFm::Action_AddMemoExecute);
    connect(Action_PasteMemo, &QAction::triggered, this, &TmainFm::Action_PasteMemoExecute);
    connect(Action_Exit, &QAction::triggered, this, &TmainFm::Action_ExitExecute);
    // Before the desktop session ends, what the user typed and where the window stands are
    // stored; the program ends when the session does (its windows are closed then).
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TmainFm::SessionCommitData);
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
    // The frame is not freed here: Exit may come while a modal box runs in one of its handlers
    // (the session's end), which would return into a freed frame. It goes with the window.
    StoreOpenEdit();
    close();
    QCoreApplication::quit(); // a window hidden in the tray does not end the event loop by closing
}

void TmainFm::StoreOpenEdit()
{
    if (FMemosFrame && FMemosFrame->VtMemos->isEditing())
        FMemosFrame->VtMemos->endEditNode(); // as Ctrl+Enter would
}

void TmainFm::SessionCommitData()
{
    // The logout may still be cancelled, so nothing is closed or freed here.
    if (FExiting)
        return;
    StoreOpenEdit();
    KvFormState1->SaveState();
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
