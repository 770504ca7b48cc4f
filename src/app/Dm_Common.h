#pragma once
#include <QObject>

class QAction;
class TmainFm;

// The commands the whole program shares: options, stay on top, the window's own open and
// close, help, web links and the about box. Those whose features come later stand disabled.
class TcommonDm : public QObject {
    Q_OBJECT
public:
    explicit TcommonDm(TmainFm *mainFm);

    // Start-up settings into the main window's fields; needs nothing of this module.
    static void ReadStartupSettings(TmainFm &mainFm);
    // At the first show: the caption, the update prompt when due, starting hidden.
    void RunStartupChecks();

    void Action_OptionsExecute();
    void Action_AboutExecute();
    void Action_UiStayOnTopExecute();
    void VisitWebsite();
    void VisitResources();
    void MailSupport();
    void MailSales();

    QAction *Action_Options;
    QAction *Action_UiStayOnTop;
    QAction *Action_UiOpen;
    QAction *Action_UiClose;
    QAction *HelpContents1;
    QAction *Action_Contact;
    QAction *Action_Suggestion;
    QAction *Action_Website;
    QAction *Action_Update;
    QAction *Action_Resources;
    QAction *Action_About;

private:
    QAction *makeAction(const QString &caption);
    void VisitPage(const QString &page);
    TmainFm *FMainFm;
};
