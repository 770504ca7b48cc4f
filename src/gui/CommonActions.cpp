// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/CommonActions.h"
#include "gui/CommandErrors.h"
#include "gui/NamedAction.h"
#include "core/SettingsKeys.h"
#include "gui/AboutDialog.h"
#include "gui/OptionsDialog.h"
#include "gui/MainWindow.h"
#include "gui/Application.h"
#include "core/SettingsFile.h"
#include "desktop/DesktopShell.h"
#include "core/MakerLinks.h"
#include "gui/UpdateDialog.h"
#include "gui/Prompts.h"
#include "core/IsoTime.h"
#include "desktop/TrayIcon.h"
#include "desktop/HelpViewer.h"
#include <QKeySequence>
#include <QUrl>
#include <cmath>

CommonActions::CommonActions(MainWindow *mainWindow) : QObject(mainWindow), m_mainWindow(mainWindow)
{
    m_optionsAction = makeNamedAction(this, "options", tr("&Options..."));
    m_stayOnTopAction = makeNamedAction(this, "stayOnTop", tr("S&tay on top"));
    m_stayOnTopAction->setCheckable(true);
    m_openAction = makeNamedAction(this, "open", tr("&Open Korvel Jotwell"));
    m_closeAction = makeNamedAction(this, "close", tr("&Close            Ctrl+F12"));
    m_helpAction = makeNamedAction(this, "help", tr("&Contents"));
    m_helpAction->setToolTip(tr("Help Contents"));
    m_contactAction = makeNamedAction(this, "contact", tr("C&ontact Technical Support"));
    m_suggestionAction = makeNamedAction(this, "suggestion", tr("&Make a Suggestion"));
    m_websiteAction = makeNamedAction(this, "website", tr("&Visit Korvel Website"));
    m_updateAction = makeNamedAction(this, "update", tr("Check for &Update"));
    m_resourcesAction = makeNamedAction(this, "resources", tr("Get Free Resources"));
    m_aboutAction = makeNamedAction(this, "about", tr("&About"));

    m_helpAction->setShortcut(QKeySequence(Qt::Key_F1));
    connect(m_helpAction, &QAction::triggered, this, reportingErrors([this] { m_mainWindow->helpViewer()->showContents(); }));
    connect(m_aboutAction, &QAction::triggered, this, reportingErrors([this] { showAbout(); }));
    connect(m_openAction, &QAction::triggered, this, reportingErrors([this] { m_mainWindow->trayIcon()->restore(); }));
    connect(m_closeAction, &QAction::triggered, this, reportingErrors([this] { m_mainWindow->trayIcon()->minimize(); }));
    connect(m_stayOnTopAction, &QAction::triggered, this, reportingErrors([this] { toggleStayOnTop(); }));
    connect(m_optionsAction, &QAction::triggered, this, reportingErrors([this] { showOptions(); }));
    connect(m_contactAction, &QAction::triggered, this, reportingErrors([this] { mailSupport(); }));
    connect(m_suggestionAction, &QAction::triggered, this, reportingErrors([this] { mailSupport(); }));
    connect(m_websiteAction, &QAction::triggered, this, reportingErrors([this] { visitWebsite(); }));
    connect(m_updateAction, &QAction::triggered, this, reportingErrors([this] { visitWebsite(); }));
    connect(m_resourcesAction, &QAction::triggered, this, reportingErrors([this] { visitResources(); }));
}

namespace {

// A stored time stamp; a missing one is now, and written. An unreadable one is treated as
// missing, so that a garbled settings file does not stop the start.
TimeStamp readStamp(const SettingsFile &ini, const SettingKey<QString> &stamp)
{
    const QString text = stamp.read(ini);
    if (!text.isEmpty()) {
        try {
            return isoToDateTime(text);
        } catch (const std::exception &) {
        }
    }
    const TimeStamp now = dateTimeNow();
    stamp.write(ini, dateTimeToIso(now, true));
    return now;
}

qint64 wholeDaysBetween(TimeStamp a, TimeStamp b)
{
    return qint64(std::floor(std::fabs(a - b)));
}

} // namespace

void CommonActions::readStartupSettings(MainWindow &mainWindow)
{
    // Stamps that cannot be written are reported once, and the start goes on with the values
    // in memory: a read-only settings folder must not keep the program from running.
    SettingsAction action;
    const SettingsFile ini(mainWindow.confPath());
    mainWindow.usage().firstRun = readStamp(ini, kFirst);
    mainWindow.usage().runDays = wholeDaysBetween(mainWindow.usage().firstRun, dateTimeNow());
    kRunDays.write(ini, mainWindow.usage().runDays);
    mainWindow.options().visitWebEnabled = kVisitWebEn.read(ini);
    mainWindow.usage().lastWebVisit = readStamp(ini, kVisitWeb);
    mainWindow.options().runMinimized = kRunMinimizedEn.read(ini);
    if (action.failed())
        showDefaultErrorBox(action.failure());
}

void CommonActions::runStartupChecks()
{
    m_mainWindow->setWindowTitle(kApplicationTitle);
    if (m_mainWindow->options().visitWebEnabled && wholeDaysBetween(m_mainWindow->usage().lastWebVisit, dateTimeNow()) > 90) {
        // Once the window is up: the prompt opens over it.
        QMetaObject::invokeMethod(
            m_mainWindow,
            [this] {
                UpdateDialog dialog(*m_mainWindow, *this, m_mainWindow);
                prompts().execDialog(dialog);
            },
            Qt::QueuedConnection);
        m_mainWindow->options().runMinimized = false; // the prompt needs the window in sight
    }
    if (m_mainWindow->options().runMinimized)
        m_mainWindow->trayIcon()->minimize();
}

void CommonActions::toggleStayOnTop()
{
    m_mainWindow->setStayOnTop(m_stayOnTopAction->isChecked());
}

void CommonActions::showAbout()
{
    AboutDialog dialog(*m_mainWindow, *this, m_mainWindow);
    prompts().execDialog(dialog);
}

void CommonActions::showOptions()
{
    OptionsDialog dialog(*m_mainWindow, m_mainWindow);
    prompts().execDialog(dialog);
}

void CommonActions::visitPage(const QString &page)
{
    shell().openUrl(QUrl(m_mainWindow->addWebQuery(page)));
    kVisitWeb.write(SettingsFile(m_mainWindow->confPath()), dateTimeToIso(dateTimeNow(), true));
}

void CommonActions::visitWebsite()
{
    visitPage(MakerLinks::kWebSite + QStringLiteral("index.htm"));
}

void CommonActions::visitResources()
{
    visitPage(MakerLinks::kWebSite + QStringLiteral("resources.htm"));
}

void CommonActions::mailSupport()
{
    shell().openUrl(QUrl(QStringLiteral("mailto:") + MakerLinks::kSupportMail));
}

void CommonActions::mailSales()
{
    shell().openUrl(QUrl(QStringLiteral("mailto:") + MakerLinks::kSalesMail));
}
