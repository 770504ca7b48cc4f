#include "gui/UpdateDialog.h"
#include "core/ShellSettingsKeys.h"
#include "gui/CommonActions.h"
#include "gui/MainWindow.h"
#include "gui/Artwork.h"
#include "core/SettingsFile.h"
#include "gui/Prompts.h"
#include "gui/ScreenCentre.h"
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

UpdateDialog::UpdateDialog(MainWindow &mainWindow, CommonActions &commonActions, QWidget *parent)
    : QDialog(parent), m_mainWindow(mainWindow), m_commonActions(commonActions)
{
    setWindowTitle(QStringLiteral("Korvel Update"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *Image1 = new QLabel(this);
    Image1->setPixmap(Artwork::appIcon().pixmap(32, 32));
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
    m_askBox = new QCheckBox(QStringLiteral("Do not ask me again."), this);
    QPalette blue = m_askBox->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_askBox->setPalette(blue);

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
    layout->addWidget(m_askBox, 4, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    setFixedSize(577, 181);
    centreOnScreen(*this);

    connect(btn_Yes, &QPushButton::clicked, this, &UpdateDialog::btn_YesClick);
    connect(Button2, &QPushButton::clicked, this, [this] { done(IDNO); });
    connect(m_askBox, &QCheckBox::clicked, this, &UpdateDialog::askBoxClicked);
    Timer1 = new QTimer(this);
    Timer1->setInterval(5000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &UpdateDialog::closeTimeout);
    Timer1->start();
}

void UpdateDialog::btn_YesClick()
{
    m_commonActions.visitWebsite();
    done(IDYES);
}

void UpdateDialog::askBoxClicked()
{
    m_mainWindow.options().visitWebEnabled = !m_askBox->isChecked();
    SettingsFile(m_mainWindow.confPath()).writeBool(kOptionSection, kVisitWebEn, m_mainWindow.options().visitWebEnabled);
}

void UpdateDialog::closeTimeout()
{
    done(IDNO);
}
