// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>

class QAction;
class MainWindow;

// The commands the whole program shares: options, stay on top, the window's own open and
// close, help, web links and the about box. Those whose features come later stand disabled.
class CommonActions : public QObject {
    Q_OBJECT
public:
    explicit CommonActions(MainWindow *mainWindow);

    // Start-up settings into the main window's fields; needs nothing of this module.
    static void readStartupSettings(MainWindow &mainWindow);
    // At the first show: the caption, the update prompt when due, starting hidden.
    void runStartupChecks();

    void showOptions();
    void showAbout();
    void toggleStayOnTop();
    void visitWebsite();
    void visitResources();
    void mailSupport();
    void mailSales();

    QAction *optionsAction() const { return m_optionsAction; }
    QAction *stayOnTopAction() const { return m_stayOnTopAction; }
    QAction *openAction() const { return m_openAction; }
    QAction *closeAction() const { return m_closeAction; }
    QAction *helpAction() const { return m_helpAction; }
    QAction *contactAction() const { return m_contactAction; }
    QAction *suggestionAction() const { return m_suggestionAction; }
    QAction *websiteAction() const { return m_websiteAction; }
    QAction *updateAction() const { return m_updateAction; }
    QAction *aboutAction() const { return m_aboutAction; }

private:
    void visitPage(const QString &page);

    MainWindow *m_mainWindow;
    QAction *m_optionsAction;
    QAction *m_stayOnTopAction;
    QAction *m_openAction;
    QAction *m_closeAction;
    QAction *m_helpAction;
    QAction *m_contactAction;
    QAction *m_suggestionAction;
    QAction *m_websiteAction;
    QAction *m_updateAction;
    QAction *m_resourcesAction;
    QAction *m_aboutAction;
};
