// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/OptionsDialog.h"
#include "core/SettingsKeys.h"
#include "desktop/AutoStart.h"
#include "gui/MainWindow.h"
#include "core/SettingsFile.h"
#include "gui/ScreenCentre.h"
#include "gui/Prompts.h"
#include "gui/SyncRunner.h"
#include <QCheckBox>
#include <QFrame>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

OptionsDialog::OptionsDialog(MainWindow &mainWindow, QWidget *parent) : QDialog(parent), m_mainWindow(mainWindow)
{
    setWindowTitle(tr("Options"));
    // Said as the user's desktop knows it: the entry starts the program when the session starts.
    m_autoStartBox = new QCheckBox(tr("&Start when I log in"), this);
    m_autoStartBox->setObjectName(QStringLiteral("autoStart"));
    m_runMinimizedBox = new QCheckBox(tr("&Run program minimized"), this);
    m_runMinimizedBox->setObjectName(QStringLiteral("runMinimized"));
    m_addOpenBox = new QCheckBox(tr("&Add new item while open"), this);
    m_addOpenBox->setObjectName(QStringLiteral("addOpen"));
    // Off until the user names a folder; the wording says what belongs there, since the
    // memo database itself must never go into a folder that an engine copies.
    auto *syncLabel = new QLabel(tr("S&ync with my other computers through this folder, which a "
                                    "file-sync program keeps alike on each of them (empty: no sync):"),
                                 this);
    syncLabel->setWordWrap(true);
    m_syncFolderEdit = new QLineEdit(this);
    m_syncFolderEdit->setObjectName(QStringLiteral("syncFolder"));
    m_syncFolderEdit->setPlaceholderText(tr("No sync"));
    syncLabel->setBuddy(m_syncFolderEdit);
    auto *chooseButton = new QPushButton(tr("&Choose..."), this);
    chooseButton->setObjectName(QStringLiteral("chooseSyncFolder"));
    auto *syncRow = new QHBoxLayout;
    syncRow->addWidget(m_syncFolderEdit, 1);
    syncRow->addWidget(chooseButton);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto *okButton = new QPushButton(tr("OK"), this);
    okButton->setObjectName(QStringLiteral("ok"));
    okButton->setDefault(true);
    auto *cancelButton = new QPushButton(tr("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancel"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 16, 16);
    layout->setSpacing(12);
    for (QWidget *box : {static_cast<QWidget *>(m_autoStartBox), static_cast<QWidget *>(m_runMinimizedBox),
                         static_cast<QWidget *>(m_addOpenBox)})
        layout->addWidget(box);
    layout->addWidget(syncLabel);
    layout->addLayout(syncRow);
    layout->addStretch();
    layout->addWidget(line);
    layout->addLayout(buttons);
    setFixedSize(340, 272);
    centreOnScreen(*this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    connect(okButton, &QPushButton::clicked, this, &OptionsDialog::okClicked);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(chooseButton, &QPushButton::clicked, this, &OptionsDialog::chooseSyncFolder);
    showSettings();
}

void OptionsDialog::showSettings()
{
    m_autoStartBox->setChecked(isAutoStart());
    m_runMinimizedBox->setChecked(m_mainWindow.options().runMinimized);
    m_addOpenBox->setChecked(m_mainWindow.options().addOpen);
    m_syncFolderEdit->setText(QDir::toNativeSeparators(m_mainWindow.syncRunner()->folder()));
}

void OptionsDialog::chooseSyncFolder()
{
    FileRequest request;
    request.kind = FileRequest::Kind::Folder;
    request.title = tr("Sync Folder");
    request.fileName = m_syncFolderEdit->text();
    if (prompts().fileDialog(request))
        m_syncFolderEdit->setText(QDir::toNativeSeparators(request.fileName));
}

void OptionsDialog::okClicked()
{
    // The program holds what the file holds: a choice that could not be stored is not in force
    // for this run either, and the dialog shows the truth when it opens again.
    SettingsAction action;
    const SettingsFile ini(m_mainWindow.confPath());
    if (kRunMinimizedEn.write(ini, m_runMinimizedBox->isChecked()))
        m_mainWindow.options().runMinimized = m_runMinimizedBox->isChecked();
    if (kAddOpenEn.write(ini, m_addOpenBox->isChecked()))
        m_mainWindow.options().addOpen = m_addOpenBox->isChecked();
    // A typed "~/..." means the home folder, as in a shell.
    QString syncFolder = QDir::fromNativeSeparators(m_syncFolderEdit->text().trimmed());
    if (syncFolder == QLatin1String("~") || syncFolder.startsWith(QLatin1String("~/")))
        syncFolder.replace(0, 1, QDir::homePath());
    if (syncFolder != m_mainWindow.syncRunner()->folder() && kSyncFolder.write(ini, syncFolder))
        m_mainWindow.syncRunner()->setFolder(syncFolder);
    accept(); // the dialog closes all the same; a failure is shown once by the caller's box
    action.raiseFailure();
    setAutoStart(m_autoStartBox->isChecked(), m_mainWindow.programFolder());
}
