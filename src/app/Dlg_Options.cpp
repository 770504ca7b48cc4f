#include "app/Dlg_Options.h"
#include "app/AppSettings.h"
#include "app/AutoStart.h"
#include "app/Fm_Main.h"
#include "app/KvIniFile.h"
#include "app/ScreenCentre.h"
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TOptionsDlg::TOptionsDlg(TmainFm &mainFm, QWidget *parent) : QDialog(parent), FMainFm(mainFm)
{
    setWindowTitle(QStringLiteral("Options"));
    // Said as the user's desktop knows it: the entry starts the program when the session starts.
    cb_AutoStart = new QCheckBox(QStringLiteral("Start when I log in"), this);
    cb_AutoMinimized = new QCheckBox(QStringLiteral("Run program minimized"), this);
    cb_AddOpen = new QCheckBox(QStringLiteral("Add new item while open"), this);
    auto *Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Ok->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Btn_Ok);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 16, 16);
    layout->setSpacing(12);
    for (QWidget *box : {static_cast<QWidget *>(cb_AutoStart), static_cast<QWidget *>(cb_AutoMinimized),
                         static_cast<QWidget *>(cb_AddOpen)})
        layout->addWidget(box);
    layout->addStretch();
    layout->addWidget(Bevel1);
    layout->addLayout(buttons);
    setFixedSize(285, 198);
    CentreOnScreen(*this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    connect(Btn_Ok, &QPushButton::clicked, this, &TOptionsDlg::Btn_OkClick);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TOptionsDlg::FormCreate()
{
    cb_AutoStart->setChecked(IsAutoStart());
    cb_AutoMinimized->setChecked(FMainFm.FRunMinimized);
    cb_AddOpen->setChecked(FMainFm.FAddOpen);
}

void TOptionsDlg::Btn_OkClick()
{
    // The program holds what the file holds: a choice that could not be stored is not in force
    // for this run either, and the dialog shows the truth when it opens again.
    KvIniAction action;
    const KvIniFile ini(FMainFm.confPath());
    if (ini.writeBool(kOptionSection, kRunMinimizedEn, cb_AutoMinimized->isChecked()))
        FMainFm.FRunMinimized = cb_AutoMinimized->isChecked();
    if (ini.writeBool(kOptionSection, kAddOpenEn, cb_AddOpen->isChecked()))
        FMainFm.FAddOpen = cb_AddOpen->isChecked();
    accept(); // the dialog closes all the same; a failure is shown once by the caller's box
    action.raiseFailure();
    SetAutoStart(cb_AutoStart->isChecked(), FMainFm.programFolder());
}
