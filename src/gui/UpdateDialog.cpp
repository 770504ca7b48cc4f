// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/UpdateDialog.h"
#include "core/SettingsKeys.h"
#include "gui/CommonActions.h"
#include "gui/MainWindow.h"
#include "gui/Application.h"
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
    setWindowTitle(tr("Korvel Update"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *image = new QLabel(this);
    image->setPixmap(Artwork::appIcon().pixmap(32, 32));
    image->setAccessibleName(kApplicationTitle);
    image->setAlignment(Qt::AlignTop);
    auto *where = new QLabel(tr("Updates are published on the Korvel website."), this);
    auto *question = new QLabel(
        tr("Would you like to see more information about these updates and how to obtain them? "), this);
    question->setWordWrap(true);
    auto *yesButton = new QPushButton(tr("&Yes"), this);
    yesButton->setObjectName(QStringLiteral("yes"));
    QFont bold = yesButton->font();
    bold.setBold(true);
    yesButton->setFont(bold);
    yesButton->setDefault(true);
    auto *noButton = new QPushButton(tr("&No"), this);
    noButton->setObjectName(QStringLiteral("no"));
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    m_askBox = new QCheckBox(tr("&Do not ask me again."), this);
    m_askBox->setObjectName(QStringLiteral("dontAsk"));
    QPalette blue = m_askBox->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_askBox->setPalette(blue);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yesButton);
    buttons->addWidget(noButton);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addWidget(image, 0, 0, 2, 1);
    layout->addWidget(where, 0, 1);
    layout->addWidget(question, 1, 1);
    layout->addLayout(buttons, 2, 1);
    layout->addWidget(line, 3, 0, 1, 2);
    layout->addWidget(m_askBox, 4, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    setFixedSize(577, 181);
    centreOnScreen(*this);

    connect(yesButton, &QPushButton::clicked, this, &UpdateDialog::yesClicked);
    connect(noButton, &QPushButton::clicked, this, [this] { reject(); });
    connect(m_askBox, &QCheckBox::clicked, this, &UpdateDialog::askBoxClicked);
    auto *closeTimer = new QTimer(this);
    closeTimer->setObjectName(QStringLiteral("closeTimer"));
    closeTimer->setInterval(5000);
    closeTimer->setSingleShot(true);
    connect(closeTimer, &QTimer::timeout, this, &QDialog::reject);
    closeTimer->start();
}

void UpdateDialog::yesClicked()
{
    m_commonActions.visitWebsite();
    accept();
}

void UpdateDialog::askBoxClicked()
{
    m_mainWindow.options().visitWebEnabled = !m_askBox->isChecked();
    kVisitWebEn.write(SettingsFile(m_mainWindow.confPath()), m_mainWindow.options().visitWebEnabled);
}
