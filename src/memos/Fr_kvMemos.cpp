#include "memos/Fr_kvMemos.h"
#include "app/Dm_Common.h"
#include "app/Fm_Main.h"
#include "app/KvImages.h"
#include "app/PostedMessages.h"
#include "app/Prompts.h"
#include "components/KvAccessibleNames.h"
#include "components/KvSndMsg.h"
#include "components/KvStatusBar.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

const QStringList TkvMemosFrame::StatusTips = {
    QStringLiteral("Ctrl+Enter: Finish edit."),
    QStringLiteral("Esc: Cancel edit."),
    QStringLiteral("Mouse double click blank: shortcut add."),
    QStringLiteral("Enter: add a new item."),
    QStringLiteral("Ctrl+Enter: add a new Child item."),
    QStringLiteral("Ctrl+F12: Minimize window."),
};

TkvMemosFrame::TkvMemosFrame(TmainFm *mainFm)
    : QWidget(mainFm), VtMemos(new KvVirtualTree(this)), PngImageList_16(KvImages::ImageList16()), FMainFm(mainFm),
      ADOQuery1(std::make_unique<KvQuery>(mainFm->connection())),
      ADOQuery2(std::make_unique<KvQuery>(mainFm->connection()))
{
    CreateActions();
    CreateMenus();
    CreateLayout();
    ConnectTree();
    Timer_HotDelay = new QTimer(this);
    Timer_HotDelay->setInterval(300);
    connect(Timer_HotDelay, &QTimer::timeout, this, &TkvMemosFrame::Timer_HotDelayTimer);
    KvSendMessage1 = new TKvSendMessage(this);
    // A box or dialog never opens over an open edit: what was typed is stored first.
    SetBeforePromptHook([this] { CommitOpenEdit(); });
}

TkvMemosFrame::~TkvMemosFrame()
{
    SetBeforePromptHook({});
    CommitOpenEdit();
    // The menu bar has gone over to the main window; it carries this frame's commands.
    delete MainMenu1;
    VtMemos->clear();
}

QAction *TkvMemosFrame::MakeAction(const QString &caption, const QString &hint, int image)
{
    auto *action = new QAction(caption, this);
    if (!hint.isEmpty())
        action->setToolTip(hint);
    if (image >= 0)
        action->setIcon(PngImageList_16[size_t(image)]);
    action->setEnabled(false);
    return action;
}

void TkvMemosFrame::CreateActions()
{
    // Key names in captions are text only: the keys reach the commands through the tree.
    Action_MemoAdd = MakeAction(QStringLiteral("&Add Memo          Enter"), QStringLiteral("Add Memo"), 13);
    Action_MemoAddChild =
        MakeAction(QStringLiteral("Add &Sub-Memo    Ctrl+Enter"), QStringLiteral("Add Sub-Memo"), 2);
    Action_MemoEdit = MakeAction(QStringLiteral("&Edit              F2"), QStringLiteral("Edit Memo or Sub-Memo"), 3);
    Action_MemoDelete = MakeAction(QStringLiteral("&Delete"), QStringLiteral("Delete Memo or Sub-Memo"), 4);
    Action_ViewAsc = MakeAction(QStringLiteral("Sort Direction"), QString(), 8);
    Action_ViewList = MakeAction(QStringLiteral("View &List"), QStringLiteral("List view memos"), 10);
    Action_ViewList->setCheckable(true);
    Action_Moveto = MakeAction(QStringLiteral("&Move"), QString(), -1);
    Action_ExpandAll = MakeAction(QStringLiteral("&Expand All"), QStringLiteral("Expand all"), 11);
    Action_CollapseAll = MakeAction(QStringLiteral("&Collapse All"), QStringLiteral("Collapse all"), 12);
    Action_SelectAll = MakeAction(QStringLiteral("Select &All        Ctrl+A"), QString(), -1);
    Action_Deselect = MakeAction(QStringLiteral("&Deselect"), QString(), -1);
    Action_CopyMemo = MakeAction(QStringLiteral("&Copy              Ctrl+C"), QString(), -1);
    Action_PasteMemo = MakeAction(QStringLiteral("&Paste             Ctrl+V"), QString(), -1);
    Action_Export = MakeAction(QStringLiteral("&Export..."), QString(), -1);
    Action_Email = MakeAction(QStringLiteral("E-mai&l Memo..."), QString(), -1);
    Action_Save = MakeAction(QStringLiteral("Sa&ve Memo..."), QString(), -1);
    Action_SaveAll = MakeAction(QStringLiteral("&Save All..."), QString(), 15);
    Action_Print = MakeAction(QStringLiteral("&Print..."), QString(), 16);
    Action_searchWide = MakeAction(QString(), QStringLiteral("View all sub-Memos in search result"), 22);
    Action_searchWide->setCheckable(true);

    Action_searchWide->setEnabled(true);
    // Export checks for itself whether there is something to write.
    Action_Export->setEnabled(true);
    connect(Action_Export, &QAction::triggered, this, &TkvMemosFrame::Action_ExportExecute);
    connect(Action_Email, &QAction::triggered, this, &TkvMemosFrame::Action_EmailExecute);

    connect(Action_MemoAdd, &QAction::triggered, this, &TkvMemosFrame::Action_MemoAddExecute);
    connect(Action_MemoAddChild, &QAction::triggered, this, &TkvMemosFrame::Action_MemoAddChildExecute);
    connect(Action_MemoEdit, &QAction::triggered, this, &TkvMemosFrame::Action_MemoEditExecute);
    connect(Action_Save, &QAction::triggered, this, &TkvMemosFrame::Action_SaveExecute);
    connect(Action_SaveAll, &QAction::triggered, this, &TkvMemosFrame::Action_SaveAllExecute);
    connect(Action_Print, &QAction::triggered, this, &TkvMemosFrame::Action_PrintExecute);
    connect(Action_CopyMemo, &QAction::triggered, this, &TkvMemosFrame::Action_CopyMemoExecute);
    connect(Action_PasteMemo, &QAction::triggered, this, &TkvMemosFrame::Action_PasteMemoExecute);
    connect(Action_MemoDelete, &QAction::triggered, this, &TkvMemosFrame::Action_MemoDeleteExecute);
    connect(Action_Moveto, &QAction::triggered, this, [this] { Action_MovetoExecute(nullptr); });
    connect(Action_searchWide, &QAction::triggered, this, &TkvMemosFrame::Action_searchWideExecute);
    connect(Action_ViewAsc, &QAction::triggered, this, &TkvMemosFrame::Action_ViewAscExecute);
    connect(Action_ViewList, &QAction::triggered, this, &TkvMemosFrame::Action_ViewListExecute);
    connect(Action_ExpandAll, &QAction::triggered, this, &TkvMemosFrame::Action_ExpandAllExecute);
    connect(Action_CollapseAll, &QAction::triggered, this, &TkvMemosFrame::Action_CollapseAllExecute);
    connect(Action_SelectAll, &QAction::triggered, this, &TkvMemosFrame::Action_SelectAllExecute);
    connect(Action_Deselect, &QAction::triggered, this, &TkvMemosFrame::Action_DeselectExecute);
}

namespace {

QMenu *AddMenu(QWidget *parent, const QString &title, std::initializer_list<QAction *> actions)
{
    auto *menu = new QMenu(title, parent);
    menu->setSeparatorsCollapsible(false);
    for (QAction *action : actions) {
        if (action)
            menu->addAction(action);
        else
            menu->addSeparator();
    }
    return menu;
}

} // namespace

void TkvMemosFrame::CreateMenus()
{
    TcommonDm *common = FMainFm->commonDm();
    Menu_Moveto = new QMenu(QStringLiteral("&Move to"), this);
    MainMoveto = new QMenu(QStringLiteral("&Move to"), this);
    for (QMenu *menu : {Menu_Moveto, MainMoveto})
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { BuildMovetoMenu(menu); });

    // The main menu is shown by the main window once the list is ready.
    MainMenu1 = new QMenuBar(this);
    MainMenu1->hide();
    MainMenu1->addMenu(AddMenu(MainMenu1, QStringLiteral("&File"),
                               {common->Action_Options, nullptr, FMainFm->Action_DbBackup,
                                FMainFm->Action_DbRestore, nullptr, Action_Export, FMainFm->Action_Import, nullptr,
                                Action_SaveAll, Action_Print, nullptr, common->Action_UiStayOnTop, nullptr,
                                common->Action_UiClose}));
    MainMenu1->addMenu(AddMenu(MainMenu1, QStringLiteral("&Edit"),
                               {Action_CopyMemo, Action_PasteMemo, nullptr, Action_SelectAll, Action_Deselect}));
    MainMenu1->addMenu(AddMenu(MainMenu1, QStringLiteral("&View"),
                               {Action_ViewList, nullptr, Action_ExpandAll, Action_CollapseAll}));
    QMenu *memos = AddMenu(MainMenu1, QStringLiteral("&Memos"),
                           {Action_MemoAdd, Action_MemoAddChild, nullptr, Action_Email, Action_Save, nullptr,
                            Action_MemoEdit, Action_MemoDelete, nullptr});
    memos->addMenu(MainMoveto);
    MainMenu1->addMenu(memos);
    MainMenu1->addMenu(AddMenu(MainMenu1, QStringLiteral("&Help"),
                               {common->HelpContents1, nullptr, common->Action_Contact, common->Action_Suggestion,
                                nullptr, common->Action_Website, common->Action_Update, nullptr,
                                common->Action_About}));

    PopupMenu_Memo = AddMenu(this, QString(),
                             {Action_MemoAdd, Action_MemoAddChild, nullptr, Action_Email, Action_Save, nullptr,
                              Action_MemoEdit, Action_MemoDelete, nullptr, Action_CopyMemo, Action_PasteMemo,
                              nullptr});
    PopupMenu_Memo->addMenu(Menu_Moveto);
    PopupMenu_Null = AddMenu(this, QString(), {Action_MemoAdd, Action_MemoAddChild, nullptr, Action_PasteMemo});
}

void TkvMemosFrame::CreateLayout()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar_Top = new KvPictureToolBar(this);
    ToolBar_Top->setBackground(FMainFm->FToolbarBackground);
    ToolBar_Top->setIconSize(QSize(22, 22));
    ToolBar_Top->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (QAction *action : {Action_MemoAdd, Action_MemoAddChild, Action_MemoEdit, Action_MemoDelete})
        ToolBar_Top->addAction(action);
    ToolBar_Top->addSeparator();
    for (QAction *action : {Action_ViewAsc, Action_ExpandAll, Action_CollapseAll})
        ToolBar_Top->addAction(action);
    ToolBar_Top->addSeparator();
    ToolBar_Top->addAction(Action_ViewList);
    for (QToolButton *button : ToolBar_Top->findChildren<QToolButton *>())
        button->setFixedSize(29, 28);

    VtMemos->setImages(PngImageList_16);
    VtMemos->setFrameShape(QFrame::NoFrame);

    Panel_tip = new QFrame(this);
    Panel_tip->setFrameShape(QFrame::Panel);
    Panel_tip->setFrameShadow(QFrame::Sunken);
    Panel_tip->setAutoFillBackground(true);
    Image_Tip = new QLabel(Panel_tip);
    Image_Tip->setGeometry(4, 4, 16, 16);
    Image_Tip->setPixmap(PngImageList_16[17].pixmap(16, 16));
    label_tip = new QLabel(Panel_tip);
    label_tip->move(24, 4);
    label_tip->setWordWrap(true);
    label_tip->setCursor(Qt::PointingHandCursor);
    QFont tipFont = label_tip->font();
    tipFont.setUnderline(true);
    label_tip->setFont(tipFont);
    QPalette tipPalette = label_tip->palette();
    tipPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label_tip->setPalette(tipPalette);
    Panel_tip->hide();

    // The search bar places its three controls itself: the box fills the room between the
    // two buttons (see ToolBar_BottomResize).
    ToolBar_Bottom = new KvPicturePanel(this);
    ToolBar_Bottom->setBackground(FMainFm->FSearchbarBackground);
    ToolButton2 = new QToolButton(ToolBar_Bottom);
    ToolButton2->setDefaultAction(Action_searchWide);
    ToolButton2->setAutoRaise(true);
    Edt_Search = new QLineEdit(ToolBar_Bottom);
    Edt_Search->setToolTip(QStringLiteral("Input search string"));
    Btn_Search = new QToolButton(ToolBar_Bottom);
    Btn_Search->setIcon(PngImageList_16[18]);
    Btn_Search->setAutoRaise(true);
    for (QToolButton *button : {ToolButton2, Btn_Search}) {
        button->setIconSize(QSize(16, 16));
        button->setFixedSize(24, 24);
    }
    ToolBar_Bottom->setFixedHeight(std::max(28, Edt_Search->sizeHint().height() + 4));
    ToolBar_Bottom->installEventFilter(this);
    Panel_tip->installEventFilter(this);
    label_tip->installEventFilter(this);
    connect(Edt_Search, &QLineEdit::textChanged, this, &TkvMemosFrame::Edt_SearchChange);
    Edt_Search->installEventFilter(this);
    connect(Btn_Search, &QToolButton::clicked, this, &TkvMemosFrame::Btn_SearchClick);
    NameIconButtons(ToolBar_Top);
    NameIconButtons(ToolBar_Bottom);
    Edt_Search->setAccessibleName(QStringLiteral("Search"));
    Btn_Search->setAccessibleName(QStringLiteral("Search"));

    KvStatusBar1 = new KvStatusBar(this);
    StatusImage = KvStatusBar1->imagePanel();
    StatusImage->setPixmap(KvImages::BulbIcon().pixmap(16, 16));

    layout->addWidget(ToolBar_Top);
    layout->addWidget(VtMemos, 1);
    layout->addWidget(Panel_tip);
    layout->addWidget(ToolBar_Bottom);
    layout->addWidget(KvStatusBar1);
}

void TkvMemosFrame::ConnectTree()
{
    VtMemos->OnGetText = [this](KvTreeNode *node) { return VtMemosGetText(node); };
    VtMemos->OnCompareNodes = [this](KvTreeNode *a, KvTreeNode *b) { return VtMemosCompareNodes(a, b); };
    VtMemos->OnExpanded = [this](KvTreeNode *node) { VtMemosExpanded(node); };
    VtMemos->OnCollapsed = [this](KvTreeNode *node) { VtMemosCollapsed(node); };
    VtMemos->OnChange = [this](KvTreeNode *node) { VtMemosChange(node); };
    VtMemos->OnFreeNode = [this](KvTreeNode *node) { VtMemosFreeNode(node); };
    VtMemos->OnMeasureItem = [this](KvTreeNode *node, int &height) { VtMemosMeasureItem(node, height); };
    VtMemos->OnGetImageIndex = [this](KvTreeNode *node) { return VtMemosGetImageIndex(node); };
    VtMemos->OnGetPopupMenu = [this](KvTreeNode *node) { return VtMemosGetPopupMenu(node); };
    VtMemos->OnPaintText = [this](KvTreeNode *node, QFont &font, QColor &colour) {
        VtMemosPaintText(node, font, colour);
    };
    VtMemos->OnBeforeCellPaint = [this](QPainter &painter, KvTreeNode *node, const QRect &cellRect) {
        VtMemosBeforeCellPaint(painter, node, cellRect);
    };
    VtMemos->OnHotChange = [this](KvTreeNode *oldNode, KvTreeNode *newNode) { VtMemosHotChange(oldNode, newNode); };
    VtMemos->OnEditing = [this](KvTreeNode *node, bool &allowed) { VtMemosEditing(node, allowed); };
    VtMemos->OnNewText = [this](KvTreeNode *node, const QString &text) { VtMemosNewText(node, text); };
    VtMemos->OnEdited = [this](KvTreeNode *node) { VtMemosEdited(node); };
    VtMemos->OnEditCancelled = [this] { VtMemosEditCancelled(); };
    VtMemos->OnKeyDown = [this](QKeyEvent *event) { VtMemosKeyDown(event); };
    VtMemos->OnDblClick = [this] { VtMemosDblClick(); };
    VtMemos->OnMouseMove = [this](const QPoint &position) { VtMemosMouseMove(position); };
    VtMemos->OnDragAllowed = [this](KvTreeNode *node, bool &allowed) { VtMemosDragAllowed(node, allowed); };
    VtMemos->OnDragOver = [this](KvTreeNode *target, bool internal, bool &accept) {
        VtMemosDragOver(target, internal, accept);
    };
    VtMemos->OnDragDrop = [this](KvTreeNode *target, bool internal) { VtMemosDragDrop(target, internal); };
}

bool TkvMemosFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == ToolBar_Bottom)
        ToolBar_BottomResize();
    else if (event->type() == QEvent::Resize && watched == Panel_tip)
        Panel_tipResize();
    else if (event->type() == QEvent::MouseButtonRelease && watched == label_tip)
        label_tipClick();
    else if (watched == Edt_Search) {
        switch (event->type()) {
        case QEvent::FocusIn:
            Edt_SearchEnter();
            break;
        case QEvent::FocusOut:
            Edt_SearchExit();
            break;
        case QEvent::KeyPress:
            Edt_SearchKeyDown(static_cast<QKeyEvent *>(event));
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TkvMemosFrame::event(QEvent *event)
{
    switch (int(event->type())) {
    case WM_MEMOS_RELOAD:
        ReloadMemos();
        break;
    case WM_MEMOS_READY:
        MemosReady();
        break;
    case WM_MEMOS_ADD:
        Action_MemoAddExecute();
        break;
    case WM_MEMOS_EDIT_PENDING:
        MemosEditPending();
        break;
    case WM_MEMOS_DROP_PENDING: {
        const auto *message = static_cast<KvPostedEvent *>(event);
        MemosDropPending(reinterpret_cast<KvTreeNode *>(message->wParam()), message->lParam());
        break;
    }
    default:
        break;
    }
    return QWidget::event(event);
}
