// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/MainWindow.h"
#include "gui/CommonActions.h"
#include "gui/CommandErrors.h"
#include "gui/Prompts.h"
#include "desktop/WindowPlacement.h"
#include "desktop/TrayIcon.h"
#include "desktop/HelpViewer.h"
#include "desktop/WhenNotMinimized.h"
#include <QStandardPaths>
#include "gui/Application.h"
#include "gui/Artwork.h"
#include "core/SettingsFile.h"
#include "core/SettingsKeys.h"
#include "core/ProgramFolder.h"

#include "core/VersionInfo.h"
#include "core/DatabaseError.h"
#include "gui/ExchangeCommands.h"
#include "gui/MemoPane.h"
#include "gui/memos/MemoActions.h"
#include "gui/memos/MoveToMenu.h"
#include "gui/NamedAction.h"
#include "gui/SyncRunner.h"
#include <QAction>
#include <QMenuBar>
#include <QShowEvent>
#include <QTimer>
#include <stdexcept>

namespace {
// The window's designed outer size, frame included.
const QSize kDesignedSize(371, 480);
// How long the window manager may take to frame the window before its frame size is known.
constexpr int kFrameTries = 20;
constexpr int kFrameTryMs = 100;
// How often a database another program holds at the start is tried again.
constexpr int kDatabaseRetryMs = 1000;
} // namespace

MainWindow::MainWindow(const QString &programFolder, QWidget *parent)
    : QMainWindow(parent), m_programFolder(programFolder)
{
    setWindowTitle(kApplicationTitle);
    setWindowIcon(Artwork::appIcon());
    resize(kDesignedSize); // until the frame is known
    m_backupAction = makeNamedAction(this, "backup", tr("Database &Backup..."));
    m_restoreAction = makeNamedAction(this, "restore", tr("Database &Restore..."));
    m_importAction = makeNamedAction(this, "import", tr("&Import"));
    m_trayAddMemoAction = makeNamedAction(this, "trayAddMemo", tr("&Add Memo"));
    m_pasteAction = makeNamedAction(this, "pasteToMemo", tr("Paste To &Memo"));
    m_exitAction = makeNamedAction(this, "exit", tr("E&xit"));
    m_versionInfo = new VersionInfo(this);
    m_help = new HelpViewer(this);
    createTrayComponents();
    createSyncRunner();
    connect(m_backupAction, &QAction::triggered, this, reportingErrors([this] { backupDatabase(); }));
    connect(m_restoreAction, &QAction::triggered, this, reportingErrors([this] { restoreDatabase(); }));
    connect(m_importAction, &QAction::triggered, this, reportingErrors([this] { importFile(); }));
    m_databaseRetry = new QTimer(this);
    m_databaseRetry->setInterval(kDatabaseRetryMs);
    connect(m_databaseRetry, &QTimer::timeout, this, &MainWindow::retryDatabase);

    // A failing step ends the creation there; the window still comes up with what was set
    // up, and the error is shown.
    try {
        openDataFolder();
    } catch (const std::exception &error) {
        showDefaultErrorBox(QString::fromUtf8(error.what()));
    }
}

MainWindow::~MainWindow()
{
    delete m_memoPane;
}

void MainWindow::openDataFolder()
{
    loadBackgrounds();
    createProgramFolder(m_programFolder);
    m_confPath = settingsPath(m_programFolder);
    m_options.addOpen = kAddOpenEn.read(SettingsFile(m_confPath));
    m_syncRunner->setFolder(kSyncFolder.read(SettingsFile(m_confPath)));
    try {
        m_database.open(databasePath());
        readDataFolderSettings();
    } catch (const DatabaseBusyError &) {
        // Not a broken file: the start goes on, and the list comes once the other program
        // lets go. What the start reads after the database waits for it.
        warningBox(tr("Another program is using the memo database \"%1\". Your memos are shown as soon as "
                      "it lets go of the file.")
                       .arg(databasePath()));
        m_databaseRetry->start();
    }
    // The viewer opens a file: the built-in page is put where the user's cache lives.
    m_help->helpFile = QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
                          + QStringLiteral("/jotwell-help.html");
    m_placement->iniPath = m_confPath;
    m_trayIcon->setHint(kApplicationTitle);
}

QString MainWindow::databasePath() const
{
    return ::databasePath(m_programFolder);
}

void MainWindow::readDataFolderSettings()
{
    if (m_database.isReadOnly())
        warningBox(tr("The memo database \"%1\" is read-only: your memos are shown, but changes "
                                  "cannot be stored.")
                       .arg(m_database.path()));
    // Sync starts once the database is open; one that cannot take changes cannot take the
    // other computers' either.
    if (!m_database.isReadOnly())
        m_syncRunner->setDatabasePath(m_database.path());
    CommonActions::readStartupSettings(*this);
}

void MainWindow::retryDatabase()
{
    try {
        m_database.open(databasePath(), Database::LockWait::None);
    } catch (const DatabaseBusyError &) {
        return; // still held: the next try comes
    } catch (const std::exception &error) {
        m_databaseRetry->stop();
        showDefaultErrorBox(QString::fromUtf8(error.what()));
        return;
    }
    m_databaseRetry->stop();
    emit databaseOpened();
    if (m_memoPane) {
        QMetaObject::invokeMethod(m_memoPane, &MemoPane::reloadMemos, Qt::QueuedConnection);
        QMetaObject::invokeMethod(this, &MainWindow::showMemoList, Qt::QueuedConnection);
    }
    try {
        readDataFolderSettings();
    } catch (const std::exception &error) {
        showDefaultErrorBox(QString::fromUtf8(error.what()));
    }
}

void MainWindow::loadBackgrounds()
{
    struct Picture {
        QImage *image;
        const char *fileName;
    };
    const Picture pictures[] = {
        {&m_backgrounds.toolbar, "toolsbarBackground.bmp"}, {&m_backgrounds.searchbar, "searchbarBackground.bmp"},
        {&m_backgrounds.group, "groupBackground.bmp"},      {&m_backgrounds.item0, "itemBackground0.bmp"},
        {&m_backgrounds.item1, "itemBackground1.bmp"},
    };
    QStringList errors;
    for (const Picture &picture : pictures) {
        QString error;
        *picture.image = Artwork::loadBackground(m_programFolder, QString::fromLatin1(picture.fileName), &error);
        if (!error.isEmpty())
            errors << error;
    }
    // A picture of the user's that cannot be read is replaced by the built-in one; say so
    // once, and go on.
    if (!errors.isEmpty())
        warningBox(errors.join(QLatin1Char('\n')) + tr("\nThe built-in pictures are used instead."));
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Re-creating the window for stay on top shows it again; that is no opening by the user.
    if (event->spontaneous() || m_recreating)
        return;
    if (!m_memoPane) {
        if (!SettingsFile(m_confPath).readBool(m_placement->section, QStringLiteral("Saved"), false))
            fitDesignedSize(kFrameTries);
        m_memoPane = new MemoPane(this, m_memoStore, m_confPath);
        connect(&m_memoPane->controller(), &MemoController::memosCounted, this, &MainWindow::recordMemoCount);
        connect(m_memoPane, &MemoPane::minimizeRequested, m_trayIcon, &TrayIcon::minimize);
        setCentralWidget(m_memoPane);
        showSyncStatus();
        // A database another program holds is loaded once it is free.
        if (!m_databaseRetry->isActive())
            QMetaObject::invokeMethod(m_memoPane, &MemoPane::reloadMemos, Qt::QueuedConnection);
        QMetaObject::invokeMethod(this, &MainWindow::showMemoList, Qt::QueuedConnection);
        m_commonActions->runStartupChecks();
    } else if (m_options.addOpen) {
        QMetaObject::invokeMethod(&m_memoPane->controller(), &MemoController::addMemo, Qt::QueuedConnection);
    }
}

void MainWindow::showMemoList()
{
    if (!m_memoPane)
        return;
    if (!m_menuBar) {
        m_menuBar = createMenuBar();
        setMenuBar(m_menuBar);
    }
    m_menuBar->show();
    m_memoPane->memosReady();
}

QMenuBar *MainWindow::createMenuBar()
{
    const MemoActions &memo = m_memoPane->actions();
    const CommonActions &common = *m_commonActions;
    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menuBar"));
    bar->addMenu(makeMenu(bar, tr("&File"),
                          {common.optionsAction(), nullptr, m_backupAction, m_restoreAction, nullptr, memo.exportMemos,
                           m_importAction, nullptr, memo.saveAll, memo.print, nullptr, common.stayOnTopAction(), nullptr,
                           common.closeAction(), m_exitAction}));
    bar->addMenu(makeMenu(bar, tr("&Edit"),
                          {memo.undo, memo.redo, nullptr, memo.copy, memo.paste, nullptr, memo.selectAll, memo.deselect}));
    bar->addMenu(makeMenu(bar, tr("&View"), {memo.listView, nullptr, memo.expandAll, memo.collapseAll}));
    QMenu *memos = makeMenu(bar, tr("&Memos"),
                            {memo.addMemo, memo.addSubMemo, nullptr, memo.email, memo.save, nullptr, memo.editMemo,
                             memo.deleteMemos, nullptr});
    memos->addMenu(memo.mainMoveToMenu);
    bar->addMenu(memos);
    bar->addMenu(makeMenu(bar, tr("&Help"),
                          {common.helpAction(), nullptr, common.contactAction(), common.suggestionAction(), nullptr,
                           common.websiteAction(), common.updateAction(), nullptr, common.aboutAction()}));
    return bar;
}

void MainWindow::fitDesignedSize(int triesLeft)
{
    // The window manager frames the window some time after it is shown; the user may have
    // resized it by then, and some platforms never tell the frame.
    if (size() != kDesignedSize || isMaximized() || triesLeft <= 0)
        return;
    if (isMinimized()) {
        whenNotMinimized(*this, this, [this] { fitDesignedSize(kFrameTries); });
        return;
    }
    const QSize frame = frameGeometry().size() - size();
    if (frame.isNull()) {
        QTimer::singleShot(kFrameTryMs, this, [this, triesLeft] { fitDesignedSize(triesLeft - 1); });
        return;
    }
    resize(kDesignedSize - frame);
}

QString MainWindow::addWebQuery(const QString &page) const
{
    return page + QStringLiteral("?id=j-w-") + QString::number(m_usage.runDays) + QStringLiteral("&m=")
           + QString::number(m_usage.privateMemos) + QLatin1Char('-') + QString::number(m_usage.publicMemos);
}

void MainWindow::recordMemoCount(qint64 memos)
{
    m_usage.privateMemos = memos;
    m_usage.publicMemos = 0;
    const SettingsFile log(m_confPath);
    const SettingsAction action;
    for (const auto &[key, value] : {std::pair(&kPrivateMemos, m_usage.privateMemos), std::pair(&kPublicMemos, m_usage.publicMemos)}) {
        if (log.readInteger(key->section, key->key, -1) != value)
            key->write(log, value);
    }
    // Usage figures that cannot be written must not keep the memos from being shown.
    if (action.failed() && !std::exchange(m_usageFailureShown, true))
        showDefaultErrorBox(action.failure());
}

void MainWindow::bringForward()
{
    // shown, raised and restored, also from the tray.
    m_trayIcon->restore();
}

void MainWindow::backupDatabase()
{
    m_exchangeCommands->backupDatabase();
}

void MainWindow::restoreDatabase()
{
    // The database changed behind the tree: it reloads once the run has ended, also after a
    // failure, so that what the run stored is in sight.
    if ((m_exchangeCommands->restoreDatabase() || m_exchangeCommands->databaseChanged()) && m_memoPane)
        QMetaObject::invokeMethod(m_memoPane, &MemoPane::reloadMemos, Qt::QueuedConnection);
}

void MainWindow::importFile()
{
    // The whole run, also one that failed after storing some records, becomes one step. Where
    // the tables end is read under the run's write lock: the rows after it are the run's
    // alone, not those another program added while the file was being chosen.
    std::optional<MemoController::RowMarks> marks;
    const bool imported = m_exchangeCommands->importFile([this, &marks] {
        if (m_memoPane)
            marks = m_memoPane->controller().rowMarks();
    });
    if ((imported || m_exchangeCommands->databaseChanged()) && marks)
        m_memoPane->reloadAfterImport(*marks);
}
