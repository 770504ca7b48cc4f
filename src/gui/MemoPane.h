// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/MemoCommands.h"
#include "gui/PictureBar.h"
#include "core/MemoSelection.h"
#include "treeview/MemoTree.h"
#include <QIcon>
#include <QSet>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class MemoStore;
class StatusBar;
class TreeNode;
class MemoTree;
class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QPainter;
class QLineEdit;
class QMenu;
class QMenuBar;
class QTimer;
class QUndoStack;
class QToolButton;
class MainWindow;
class MailMessage;
class EditSession;
class ExpandStates;
struct RowLook;

// The memo tree frame: the program's main view. It shows every memo as a top-level node of
// m_tree and every sub-memo as its child, and runs every memo command against the
// database and the tree alike.
class MemoPane : public QWidget, public MemoTreeDelegate {
    Q_OBJECT
public:
    MemoPane(MainWindow *mainWindow, MemoStore &store, const QString &settingsPath);
    ~MemoPane() override;

    void reloadMemos();
    void loadMemos();
    // Follows what another process changed in the database, memo by memo, and tries the
    // memos the database refused before; the undo steps over changed memos end. False when
    // the list had nothing to take in. Throws DatabaseError when the table cannot be read.
    bool refreshFromStore();
    // The same with a look taken elsewhere against rowPrints(), the table as the list last
    // took it in.
    bool takeLook(RowLook look);
    std::shared_ptr<const RowPrints> rowPrints() const { return m_rowPrints; }
    // Memos whose typed text the database has not taken yet, and one more try to store them.
    int unsavedCount() const;
    void retryUnsaved();
    // The list has been read: refreshes may patch it.
    bool hasLoaded() const { return m_loaded; }
    qint64 countMemos();
    void refreshCommands();
    void applyFilter();
    void toggleWideSearch();
    void showTip(int mode);

    void addMemo();
    void addSubMemo();
    void editMemo();
    void deleteMemos();
    void moveSelectionTo(QAction *item);
    void copyMemos();
    void pasteMemos();
    void pasteAsMemo(const QString &text);
    // Ends an open edit as Ctrl+Enter would; a memo marked for editing whose editor has not
    // opened yet ends as a cancel, since nothing was typed into it.
    void commitOpenEdit();
    void saveReport(bool selectAllFirst);
    bool writeHtmlReport(bool selectAllFirst, const QString &fileName);
    bool writeTextReport(bool selectAllFirst, const QString &fileName);
    void saveSelection();
    void saveAll();
    void printMemos();
    // Writes the selected memos, each top-level one with all its sub-memos, to an exchange
    // file; reports its own failure.
    bool exportSelection(const QString &fileName);
    // The selected memos in tree order, each top-level one with all its sub-memos.
    MemoSelection selection() const;
    void emailMemos();
    void exportMemos();
    void toggleSortOrder();
    void toggleListView();
    void expandAll();
    void collapseAll();
    void selectAll();
    void deselectAll();

    // Taking memo commands back and doing them again. The history lasts for the session;
    // steps that changed the database behind the list cannot be replayed over it, so a
    // reload (also after Restore or a change by another program) clears it.
    void undoStep();
    void redoStep();
    void clearUndoHistory();
    // Another process changed these memos: a step that names one of them cannot be taken
    // back or again over that, and the history ends.
    void endStepsOver(const QSet<QString> &mids);
    const QUndoStack *history() const { return m_history; }
    // Where the tables end before an import: the rows after them are the import's.
    struct RowMarks {
        qint64 memos = 0;
        qint64 tasks = 0;
    };
    RowMarks rowMarks();
    // The import stored rows after marks: the list is reloaded and the import becomes a step.
    void reloadAfterImport(const RowMarks &marks);
    // The tree side of a step (the database side has been stored): target's memos shown in
    // their places and selected where they come back, other's memos that target lacks gone.
    void showRows(const MemoRows &target, const MemoRows &other);
    void showExpanded(const std::vector<QString> &mids, bool expanded);

    // Answers to the tree.
    QString nodeText(TreeNode *node) const override;
    int nodeHeight(TreeNode *node) const override;
    int nodeImageIndex(TreeNode *node) const override;
    void styleNodeText(TreeNode *node, QFont &font, QColor &colour) const override;
    void paintNodeBackground(QPainter &painter, TreeNode *node, const QRect &cellRect) const override;
    int compareNodes(TreeNode *node1, TreeNode *node2) const override;
    bool canEdit(TreeNode *node) override;
    bool canDrag(TreeNode *node) override;
    bool canDrop(TreeNode *target, const QMimeData *data, bool internal) override;
    void drop(TreeNode *target, const QMimeData *data, bool internal) override;
    QMenu *contextMenu(TreeNode *node) override;
    void keyPressed(QKeyEvent *event) override;

    void buildMoveToMenu(QMenu *menu); // the items of a Move-to menu for the selection

    MemoTree *tree() const { return m_tree; }
    // The first load has ended and given the list the focus.
    bool isReady() const { return m_focusedOnce; }
    // The memo marked for editing: its editor is open or about to open.
    TreeNode *editNode() const { return m_editNode; }
    // The memo the mouse has rested on; in the list view it shows all its lines.
    TreeNode *hoveredNode() const { return m_hoverNode; }
    int tipMode() const { return m_tipMode; }
    bool isSearching() const { return m_searching; }
    // The search box's own text, blanks and all.
    QString searchBoxText() const;
    // Puts a search that a reload ended back in force, as typed.
    void resumeSearch(const QString &typed);
    QString searchText() const { return m_searchText; }

    static const QStringList kStatusTips;
    static const QStringList kTipTexts;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What the tree tells.
    void nodeExpanded(TreeNode *node);
    void nodeCollapsed(TreeNode *node);
    void selectionChanged(TreeNode *node);
    void nodeFreed(TreeNode *node);
    void hoveredNodeChanged(TreeNode *oldNode, TreeNode *newNode);
    void editCommitted(TreeNode *node, const QString &newText);
    void editEnded(TreeNode *node);
    void editCancelled();
    void treeDoubleClicked();
    void treeMouseMoved(const QPoint &position);

    void hoverDelayElapsed();
    void tipClicked();
    void tipPanelResized();
    void bottomBarResized();
    void searchTextChanged();
    void searchBoxEntered();
    void searchBoxLeft();
    void searchBoxKeyPressed(QKeyEvent *event);
    void searchButtonClicked();

    void createActions();
    void createMenus();
    void createLayout();
    void connectTree();
    void memosReady();
    void openPendingEdit();
    void dropPendingMemo(TreeNode *node, quint64 serial);
    // A box would end an open edit under the user's hands: the tip then waits for its end.
    void showMailTip(const QString &text);
    void showSortDirection();
    void showRandomStatusTip();
    void setTipText();
    void setSearchIdle();
    void storeExpandFlag(TreeNode *node, bool expanded);
    void setAllExpanded(bool expanded);
    // An action owned by the pane; tests find it by its object name.
    QAction *makeAction(const char *name, const QString &caption, const QString &hint, int image);

    enum class ReportKind { Html, Text };
    bool writeReport(bool selectAllFirst, const QString &fileName, ReportKind kind);
    bool hasVisibleMemo() const;
    // A memo node as every memo gets it: multi-line, its button and picture at the top.
    TreeNode *addMemoNode(TreeNode *parent);
    void memoStored(TreeNode *node, const MemoRows &before, bool isNew);
    void showUnsaved(int count);
    bool hasMoveTargets() const;
    void addMovetoItem(QMenu *menu, const QString &caption, TreeNode *target);
    // Fills menu with the targets [begin, end): the items themselves, or groups of them.
    using MovetoTargets = std::vector<std::pair<TreeNode *, quint64>>; // node and its serial
    void fillMovetoMenu(QMenu *menu, const std::shared_ptr<MovetoTargets> &targets, size_t begin, size_t end);
    void moveSelectedMemos(TreeNode *target, MemoTree::AttachMode mode);
    // The text of a memo that did not come from typing: pasted, or dropped from another program.
    void addTextAsMemo(const QString &text, const QString &stepName);

    void createHistory();
    void refreshHistoryActions();
    void takeStep(bool back);
    void recordStep(MemoCommand *command);
    void recordRows(const QString &name, MemoRows before, MemoRows after);
    void recordImport(const RowMarks &marks);
    // The stored rows of these memo nodes with their places in the tree.
    MemoRows placedRows(const std::vector<TreeNode *> &nodes);
    // After memos came or went: the search filter again, or only the empty-list tip.
    void refilter();

    MemoTree *m_tree;

    QAction *m_addMemoAction;
    QAction *m_addSubMemoAction;
    QAction *m_editMemoAction;
    QAction *m_deleteAction;
    QAction *m_sortAction;
    QAction *m_listViewAction;
    QAction *m_moveToAction;
    QAction *m_expandAllAction;
    QAction *m_collapseAllAction;
    QAction *m_selectAllAction;
    QAction *m_deselectAction;
    QAction *m_copyAction;
    QAction *m_pasteAction;
    QAction *m_exportAction;
    QAction *m_emailAction;
    QAction *m_saveAction;
    QAction *m_saveAllAction;
    QAction *m_printAction;
    QAction *m_wideSearchAction;
    QAction *m_undoAction;
    QAction *m_redoAction;
    QUndoStack *m_history;
    EditSession *m_editSession;
    std::unique_ptr<ExpandStates> m_expandStates;
    std::optional<RowMarks> m_importMarks;

    QPointer<QMenuBar> m_menuBar;
    QMenu *m_memoMenu;
    QMenu *m_blankMenu;
    QMenu *m_moveToMenu;
    QMenu *m_mainMoveToMenu;

    PictureToolBar *m_topBar;
    QFrame *m_tipPanel;
    QLabel *m_tipImage;
    QLabel *m_tipLabel;
    PicturePanel *m_bottomBar;
    QToolButton *m_wideSearchButton;
    QLineEdit *m_searchBox;
    QToolButton *m_searchButton;
    StatusBar *m_statusBar;
    QLabel *m_statusImage;
    QTimer *m_hoverTimer;
    MailMessage *m_mail;
    QString m_waitingMailTip; // told once no edit is open any more

    // Each picture carries its 16- and 22-pixel renderings: menus take the one, the top
    // toolbar the other.
    std::vector<QIcon> m_images;

    static const int kTipImages[4];

    bool m_loading = false;
    bool m_focusedOnce = false;
    bool m_loaded = false;
    bool m_sortAscending = false;
    TreeNode *m_editNode = nullptr;
    bool m_storing = false; // a commit is writing its memo
    TreeNode *m_hoverNode = nullptr;
    QString m_searchText;
    bool m_searching = false;
    bool m_filtering = false; // the filter or Expand/Collapse all is at work on many memos
    std::shared_ptr<const RowPrints> m_rowPrints = std::make_shared<const RowPrints>(); // for the refresh
    int m_tipMode = 0;
    int m_mouseX = 0;
    int m_mouseY = 0;

    MainWindow *m_mainWindow;
    MemoStore &m_store;
    const QString m_settingsPath; // kvConf.ini
};
