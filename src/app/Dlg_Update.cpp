#include "app/Dlg_Update.h"
#include "app/AppSettings.h"
#include "app/Dm_Common.h"
#include "app/Fm_Main.h"
#include "app/KvImages.h"
#include "app/KvIniFile.h"
#include "app/Prompts.h"
#include "app/ScreenCentre.h"
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

TupdateDlg::TupdateDlg(TmainFm &mainFm, TcommonDm &commonDm, QWidget *parent)
    : QDialog(parent), FMainFm(mainFm), FCommonDm(commonDm)
{
    setWindowTitle(QStringLiteral("Korvel Update"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *Image1 = new QLabel(this);
    Image1->setPixmap(KvImages::AppIcon().pixmap(32, 32));
    Image1->setAlignment(Qt::AlignTop);
    Label1 = new QLabel(QStringLiteral("Updates are published on the Korvel website."), this);
    Label2 = new QLabel(
        QStringLiteral("Would you like to see more information about these updates and how to obtain them? "), this);
    Label2->setWordWrap(true);
    btn_Yes = new QPushButton(QStringLiteral("&Yes"), this);
    QFont bold = btn_Yes->font();
    bold.setBold(true);
    btn_Yes->setFont(bold);
    btn_Yes->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("&No"), this);
    auto *Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    cb_ask = new QCheckBox(QStringLiteral("Do not ask me again."), this);
    QPalette blue = cb_ask->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    cb_ask->setPalette(blue);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_Yes);
    buttons->addWidget(Button2);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addWidget(Image1, 0, 0, 2, 1);
    layout->addWidget(Label1, 0, 1);
    layout->addWidget(Label2, 1, 1);
    layout->addLayout(buttons, 2, 1);
    layout->addWidget(Bevel1, 3, 0, 1, 2);
    layout->addWidget(cb_ask, 4, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    setFixedSize(577, 181);
    CentreOnScreen(*this);

    connect(btn_Yes, &QPushButton::clicked, this, &TupdateDlg::btn_YesClick);
    connect(Button2, &QPushButton::clicked, this, [this] { done(IDNO); });
    connect(cb_ask, &QCheckBox::clicked, this, &TupdateDlg::cb_askClick);
    Timer1 = new QTimer(this);
    Timer1->setInterval(5000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TupdateDlg::Timer1Timer);
    Timer1->start();
}

void TupdateDlg::btn_YesClick()
{
    FCommonDm.VisitWebsite();
    done(IDYES);
}

void TupdateDlg::cb_askClick()
{
    FMainFm.FVisitWebEnabled = !cb_ask->isChecked();
    KvIniFile(FMainFm.confPath()).writeBool(kOptionSection, kVisitWebEn, FMainFm.FVisitWebEnabled);
}

void TupdateDlg::Timer1Timer()
{
    done(IDNO);
}
