// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/memos/MemoController.h"
#include "treeview/MemoTreeDelegate.h"
#include <QWidget>

class MainWindow;
class MemoActions;
class MemoMailer;
class MemoOutput;
class MemoRowPainter;
class MemoStatusBar;
class MemoStore;
class MemoTree;
struct PaneBackgrounds;
class SearchBar;
class TipPanel;
class TreeNode;
class ViewSettings;

// The memo tree frame: the program's main view. It lays out the memo list with its toolbar,
// tip, search bar and status bar, and wires them to the controller, which runs every memo
// command against the database and the list alike.
class MemoPane : public QWidget, public MemoTreeDelegate {
    Q_OBJECT
public:
    MemoPane(MainWindow *mainWindow, MemoStore &store, const QString &settingsPath);
    ~MemoPane() override;

    MemoController &controller() const { return *m_controller; }
    const MemoActions &actions() const { return *m_actions; }
    MemoTree *tree() const { return m_tree; }
    MemoRowPainter *rowPainter() const { return m_rowPainter; }

    // Reads the list and the view settings again.
    void reloadMemos();
    // The list has been read: it is sorted and takes the focus.
    void memosReady();
    // The first load has ended and given the list the focus.
    bool isReady() const { return m_focusedOnce; }
    // A memo is marked for editing or its editor is open: nothing may change under it.
    bool isEditing() const;
    // The last sync round, in its panel of the status bar; detail is the panel's tip.
    void showSyncStatus(const QString &text, const QString &detail);
    void refreshCommands();
    void selectAll();
    void deselectAll();

    // The import stored rows after marks: the list is reloaded and the import becomes a step.
    void reloadAfterImport(const MemoController::RowMarks &marks);

    // Reports, exchange files, printouts and mail of the memos.
    MemoOutput &output() const { return *m_output; }

    const TipPanel &tipPanel() const { return *m_tipPanel; }
    const SearchBar &searchBar() const { return *m_searchBar; }

    // Answers to the tree beyond the rows' looks.
    bool canEdit(TreeNode *node) override { return m_controller->canEdit(node); }
    bool canDrag(TreeNode *node) override { return node != nullptr; }
    bool canDrop(TreeNode *target, const QMimeData *data, bool internal) override
    {
        return m_controller->canDrop(target, data, internal);
    }
    void drop(TreeNode *target, const QMimeData *data, bool internal) override;
    QMenu *contextMenu(TreeNode *node) override;
    void keyPressed(QKeyEvent *event) override;

signals:
    // Ctrl+F12 in the list.
    void minimizeRequested();

private:
    void createActions(const QString &settingsPath);
    void createLayout(const PaneBackgrounds &backgrounds);
    void reloadList();
    void selectionChanged(TreeNode *node);
    void tipClicked(TipMode mode);
    void runKey(const QKeyEvent &event);
    MemoController::Search currentSearch() const;
    void searchChanged();

    MemoTree *m_tree;
    MemoController *m_controller;
    MemoActions *m_actions;
    MemoRowPainter *m_rowPainter;
    TipPanel *m_tipPanel;
    SearchBar *m_searchBar;
    MemoStatusBar *m_statusBar;
    ViewSettings *m_viewSettings;
    MemoOutput *m_output;
    MemoMailer *m_mailer;
    bool m_focusedOnce = false;
};
