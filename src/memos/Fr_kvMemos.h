#pragma once
#include "components/KvPictureBar.h"
#include "exchange/KvReport.h"
#include "store/KvQuery.h"
#include "tree/KvVirtualTree.h"
#include <QIcon>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class KvStatusBar;
class KvTreeNode;
class KvVirtualTree;
class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QPainter;
class QLineEdit;
class QMenu;
class QMenuBar;
class QTimer;
class QToolButton;
class TmainFm;
class TKvSendMessage;

// The memo tree frame: the program's main view. It shows every memo as a top-level node of
// VtMemos and every sub-memo as its child, and runs every memo command against the
// database and the tree alike.
class TkvMemosFrame : public QWidget {
    Q_OBJECT
public:
    explicit TkvMemosFrame(TmainFm *mainFm);
    ~TkvMemosFrame() override;

    void ReloadMemos();
    void LoadMemos();
    qint64 CountMemos();
    void RefreshCommands();
    void ApplyFilter();
    void Edt_SearchChange();
    void Edt_SearchEnter();
    void Edt_SearchExit();
    void Edt_SearchKeyDown(QKeyEvent *event);
    void Btn_SearchClick();
    void Action_searchWideExecute();
    void ShowTip(int mode);

    void Action_MemoAddExecute();
    void Action_MemoAddChildExecute();
    void Action_MemoEditExecute();
    void Action_MemoDeleteExecute();
    void Action_MovetoExecute(QAction *item);
    void Action_CopyMemoExecute();
    void Action_PasteMemoExecute();
    void PasteAsMemo(const QString &text);
    // Ends an open edit as Ctrl+Enter would; a memo marked for editing whose editor has not
    // opened yet ends as a cancel, since nothing was typed into it.
    void CommitOpenEdit();
    void SaveReport(bool selectAllFirst);
    bool WriteHtmlReport(bool selectAllFirst, const QString &fileName);
    bool WriteTextReport(bool selectAllFirst, const QString &fileName);
    void Action_SaveExecute();
    void Action_SaveAllExecute();
    void Action_PrintExecute();
    // Writes the selected memos, each top-level one with all its sub-memos, to an exchange
    // file; reports its own failure.
    bool ExportSelection(const QString &fileName);
    void Action_EmailExecute();
    void Action_ExportExecute();
    void Action_ViewAscExecute();
    void Action_ViewListExecute();
    void Action_ExpandAllExecute();
    void Action_CollapseAllExecute();
    void Action_SelectAllExecute();
    void Action_DeselectExecute();

    // Tree events.
    QString VtMemosGetText(KvTreeNode *node) const;
    int VtMemosCompareNodes(KvTreeNode *node1, KvTreeNode *node2) const;
    void VtMemosExpanded(KvTreeNode *node);
    void VtMemosCollapsed(KvTreeNode *node);
    void VtMemosChange(KvTreeNode *node);
    void VtMemosFreeNode(KvTreeNode *node);
    void VtMemosMeasureItem(KvTreeNode *node, int &nodeHeight);
    int VtMemosGetImageIndex(KvTreeNode *node) const;
    QMenu *VtMemosGetPopupMenu(KvTreeNode *node);
    void VtMemosPaintText(KvTreeNode *node, QFont &font, QColor &colour) const;
    void VtMemosBeforeCellPaint(QPainter &painter, KvTreeNode *node, const QRect &cellRect) const;
    void VtMemosHotChange(KvTreeNode *oldNode, KvTreeNode *newNode);
    void Timer_HotDelayTimer();
    void label_tipClick();
    void Panel_tipResize();
    void ToolBar_BottomResize();
    void VtMemosEditing(KvTreeNode *node, bool &allowed);
    void VtMemosNewText(KvTreeNode *node, const QString &newText);
    void VtMemosEdited(KvTreeNode *node);
    void VtMemosEditCancelled();
    void VtMemosKeyDown(QKeyEvent *event);
    void VtMemosDblClick();
    void VtMemosMouseMove(const QPoint &position);
    void VtMemosDragAllowed(KvTreeNode *node, bool &allowed);
    void VtMemosDragOver(KvTreeNode *target, bool internal, bool &accept);
    void VtMemosDragDrop(KvTreeNode *target, bool internal);
    void BuildMovetoMenu(QMenu *menu); // the items of a Move-to menu for the selection

    KvVirtualTree *VtMemos;

    QAction *Action_MemoAdd;
    QAction *Action_MemoAddChild;
    QAction *Action_MemoEdit;
    QAction *Action_MemoDelete;
    QAction *Action_ViewAsc;
    QAction *Action_ViewList;
    QAction *Action_Moveto;
    QAction *Action_ExpandAll;
    QAction *Action_CollapseAll;
    QAction *Action_SelectAll;
    QAction *Action_Deselect;
    QAction *Action_CopyMemo;
    QAction *Action_PasteMemo;
    QAction *Action_Export;
    QAction *Action_Email;
    QAction *Action_Save;
    QAction *Action_SaveAll;
    QAction *Action_Print;
    QAction *Action_searchWide;

    QPointer<QMenuBar> MainMenu1;
    QMenu *PopupMenu_Memo;
    QMenu *PopupMenu_Null;
    QMenu *Menu_Moveto;
    QMenu *MainMoveto;

    KvPictureToolBar *ToolBar_Top;
    QFrame *Panel_tip;
    QLabel *Image_Tip;
    QLabel *label_tip;
    KvPicturePanel *ToolBar_Bottom;
    QToolButton *ToolButton2;
    QLineEdit *Edt_Search;
    QToolButton *Btn_Search;
    KvStatusBar *KvStatusBar1;
    QLabel *StatusImage;
    QTimer *Timer_HotDelay;
    TKvSendMessage *KvSendMessage1;

    // Each picture carries its 16- and 22-pixel renderings: menus take the one, the top
    // toolbar the other.
    std::vector<QIcon> PngImageList_16;

    static const QStringList StatusTips;
    static const QStringList TipTexts;
    static const int TipImages[4];

    // State, read by tests and by the frame's other concerns.
    bool FLoading = false;
    bool FFocusedOnce = false;
    bool FSortAscending = false;
    KvTreeNode *FEditNode = nullptr;
    bool FStoring = false; // a commit is writing its memo
    KvTreeNode *FHoverNode = nullptr;
    QString FSearchText;
    bool FSearching = false;
    bool FFiltering = false; // the filter or Expand/Collapse All is at work on many memos
    int FTipMode = 0;
    int FMouseX = 0;
    int FMouseY = 0;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateLayout();
    void ConnectTree();
    void MemosReady();
    void MemosEditPending();
    void MemosDropPending(KvTreeNode *node, quint64 serial);
    void ShowSortDirection();
    void ShowRandomStatusTip();
    void SetTipText();
    void SetSearchIdle();
    void StoreExpandFlag(KvTreeNode *node, bool expanded);
    void SetAllExpanded(bool expanded);
    QAction *MakeAction(const QString &caption, const QString &hint, int image);

    enum class ReportKind { Html, Text };
    bool WriteReport(bool selectAllFirst, const QString &fileName, ReportKind kind);
    std::vector<KvReportItem> ReportItems() const;
    bool HasVisibleMemo() const;
    // A memo node as every memo gets it: multi-line, its button and picture at the top.
    KvTreeNode *AddMemoNode(KvTreeNode *parent);
    // Writes a memo that has no row yet.
    void InsertMemoRow(const TMemoInfo &memo);
    // Runs store, reporting a failure in the error box; a new memo then loses its fresh id.
    void StoreOrReport(TMemoInfo &memo, bool isNew, const std::function<void()> &store);
    bool HasMoveTargets() const;
    void AddMovetoItem(QMenu *menu, const QString &caption, KvTreeNode *target);
    // Fills menu with the targets [begin, end): the items themselves, or groups of them.
    using MovetoTargets = std::vector<std::pair<KvTreeNode *, quint64>>; // node and its serial
    void FillMovetoMenu(QMenu *menu, const std::shared_ptr<MovetoTargets> &targets, size_t begin, size_t end);
    void MoveSelectedMemos(KvTreeNode *target, KvVirtualTree::AttachMode mode);

    TmainFm *FMainFm;
    std::unique_ptr<KvQuery> ADOQuery1;
    std::unique_ptr<KvQuery> ADOQuery2;
};
