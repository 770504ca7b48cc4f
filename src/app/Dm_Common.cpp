#include "app/Dm_Common.h"
#include "app/Fm_Main.h"
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
}

QAction *TcommonDm::makeAction(const QString &caption)
{
    auto *action = new QAction(caption, this);
    // Each command is switched on by the change that gives it its work.
    action->setEnabled(false);
    return action;
}
