#include "app/Dm_Common.h"
#include "app/AppSettings.h"
#include "app/Dlg_About.h"
#include "app/Dlg_Options.h"
#include "app/Fm_Main.h"
#include "app/KvApplication.h"
#include "app/KvIniFile.h"
#include "app/KvShell.h"
#include "app/MakerLinks.h"
#include "app/PostedMessages.h"
#include "app/Prompts.h"
#include "app/pU_Funcs.h"
#include "components/KvTray.h"
#include "components/kvHHComp.h"
#include <QKeySequence>
#include <QUrl>
#include <cmath>
#include <QAction>

TcommonDm::TcommonDm(TmainFm *mainFm) : QObject(mainFm), FMainFm(mainFm)
{
    Action_Options = makeAction(QStringLiteral("&Options..."));
    Action_UiStayOnTop = makeAction(QStringLiteral("S&tay on top"));
    Action_UiStayOnTop->setCheckable(true);
    Action_UiOpen = makeAction(QStringLiteral("&Open Korvel Jotwell"));
    Action_UiClose = makeAction(QStringLiteral("&Close            Ctrl+F12"));
    HelpContents1 = makeAction(QStringLiteral("&Contents"));
    HelpContents1->setToolTip(QStringLiteral("Help Contents"));
    Action_Contact = makeAction(QStringLiteral("C&ontact Technical Support"));
    Action_Suggestion = makeAction(QStringLiteral("&Make a Suggestion"));
    Action_Website = makeAction(QStringLiteral("&Visit Korvel Website"));
    Action_Update = makeAction(QStringLiteral("Check for &Update"));
    Action_Resources = makeAction(QStringLiteral("Get Free Resources"));
    Action_About = makeAction(QStringLiteral("&About"));

    HelpContents1->setShortcut(QKeySequence(Qt::Key_F1));
    connect(HelpContents1, &QAction::triggered, this, [this] { FMainFm->KVHHComp1->ShowContents(); });
    connect(Action_About, &QAction::triggered, this, &TcommonDm::Action_AboutExecute);
    connect(Action_UiOpen, &QAction::triggered, this, [this] { FMainFm->KvTrayIcon1->Restore(); });
    connect(Action_UiClose, &QAction::triggered, this, [this] { FMainFm->KvTrayIcon1->Minimize(); });
    connect(Action_UiStayOnTop, &QAction::triggered, this, &TcommonDm::Action_UiStayOnTopExecute);
    connect(Action_Options, &QAction::triggered, this, &TcommonDm::Action_OptionsExecute);
    connect(Action_Contact, &QAction::triggered, this, &TcommonDm::MailSupport);
    connect(Action_Suggestion, &QAction::triggered, this, &TcommonDm::MailSupport);
    connect(Action_Website, &QAction::triggered, this, &TcommonDm::VisitWebsite);
    connect(Action_Update, &QAction::triggered, this, &TcommonDm::VisitWebsite);
    connect(Action_Resources, &QAction::triggered, this, &TcommonDm::VisitResources);
}

namespace {

// A stored time stamp; a missing one is now, and written. An unreadable one is treated as
// missing, so that a garbled settings file does not stop the start.
TDateTime ReadStamp(const KvIniFile &ini, const QString &key)
{
    const QString text = ini.readString(kOptionSection, key);
    if (!text.isEmpty()) {
        try {
            return IsoToDateTime(text);
        } catch (const std::exception &) {
        }
    }
    const TDateTime now = DateTimeNow();
    ini.writeString(kOptionSection, key, DateTimeToIso(now, true));
    return now;
}

qint64 WholeDaysBetween(TDateTime a, TDateTime b)
{
    return qint64(std::floor(std::fabs(a - b)));
}

} // namespace

void TcommonDm::ReadStartupSettings(TmainFm &mainFm)
{
    // Stamps that cannot be written are reported once, and the start goes on with the values
    // in memory: a read-only settings folder must not keep the program from running.
    KvIniAction action;
    const KvIniFile ini(mainFm.confPath());
    mainFm.FFirstRun = ReadStamp(ini, kFirst);
    mainFm.FRunDays = WholeDaysBetween(mainFm.FFirstRun, DateTimeNow());
    ini.writeInteger(QStringLiteral("log"), kRunDays, mainFm.FRunDays);
    mainFm.FVisitWebEnabled = ini.readBool(kOptionSection, kVisitWebEn, true);
    mainFm.FLastWebVisit = ReadStamp(ini, kVisitWeb);
    mainFm.FRunMinimized = ini.readBool(kOptionSection, kRunMinimizedEn, false);
    if (action.failed())
        ShowDefaultErrorBox(action.failure());
}

void TcommonDm::RunStartupChecks()
{
    FMainFm->setWindowTitle(kApplicationTitle);
    if (FMainFm->FVisitWebEnabled && WholeDaysBetween(FMainFm->FLastWebVisit, DateTimeNow()) > 90) {
        PostKvMessage(FMainFm, WM_SHOW_UPDATE_PROMPT);
        FMainFm->FRunMinimized = false; // the prompt needs the window in sight
    }
    if (FMainFm->FRunMinimized)
        FMainFm->KvTrayIcon1->Minimize();
}

void TcommonDm::Action_UiStayOnTopExecute()
{
    FMainFm->SetStayOnTop(Action_UiStayOnTop->isChecked());
}

void TcommonDm::Action_AboutExecute()
{
    TAboutDlg dialog(*FMainFm, *this, FMainFm);
    Prompts().execDialog(dialog);
}

void TcommonDm::Action_OptionsExecute()
{
    TOptionsDlg dialog(*FMainFm, FMainFm);
    Prompts().execDialog(dialog);
}

void TcommonDm::VisitPage(const QString &page)
{
    Shell().openUrl(QUrl(FMainFm->AddWebQuery(page)));
    KvIniFile(FMainFm->confPath()).writeString(kOptionSection, kVisitWeb, DateTimeToIso(DateTimeNow(), true));
}

void TcommonDm::VisitWebsite()
{
    VisitPage(MakerLinks::kWebSite + QStringLiteral("index.htm"));
}

void TcommonDm::VisitResources()
{
    VisitPage(MakerLinks::kWebSite + QStringLiteral("resources.htm"));
}

void TcommonDm::MailSupport()
{
    Shell().openUrl(QUrl(QStringLiteral("mailto:") + MakerLinks::kSupportMail));
}

void TcommonDm::MailSales()
{
    Shell().openUrl(QUrl(QStringLiteral("mailto:") + MakerLinks::kSalesMail));
}

QAction *TcommonDm::makeAction(const QString &caption)
{
    return new QAction(caption, this);
}
