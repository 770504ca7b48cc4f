// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/MemoPane.h"
#include "gui/CommonActions.h"
#include "gui/MainWindow.h"
#include "gui/Artwork.h"
#include "gui/PostedEvents.h"
#include "gui/Prompts.h"
#include "gui/AccessibleNames.h"
#include "gui/NamedAction.h"
#include "desktop/MailMessage.h"
#include "gui/StatusBar.h"
#include "gui/memos/EditSession.h"
#include "gui/memos/ExpandStates.h"
#include "treeview/MemoTree.h"
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

const QStringList MemoPane::kStatusTips = {
    QStringLiteral(QT_TR_NOOP("Ctrl+Enter: Finish edit.")),
    QStringLiteral(QT_TR_NOOP("Esc: Cancel edit.")),
    QStringLiteral(QT_TR_NOOP("Mouse double click blank: shortcut add.")),
    QStringLiteral(QT_TR_NOOP("Enter: add a new item.")),
    QStringLiteral(QT_TR_NOOP("Ctrl+Enter: add a new Child item.")),
    QStringLiteral(QT_TR_NOOP("Ctrl+F12: Minimize window.")),
};

MemoPane::MemoPane(MainWindow *mainWindow, MemoStore &store, const QString &settingsPath)
    : QWidget(mainWindow), m_tree(new MemoTree(this)), m_images(Artwork::imageList16()), m_mainWindow(mainWindow),
      m_store(store), m_settingsPath(settingsPath)
{
    m_editSession = new EditSession(*m_tree, m_store, this);
    m_expandStates = std::make_unique<ExpandStates>(*m_tree, m_store);
    connect(m_editSession, &EditSession::stored, this, &MemoPane::memoStored);
    connect(m_editSession, &EditSession::unsavedChanged, this, &MemoPane::showUnsaved);
    createActions();
    createMenus();
    createLayout();
    connectTree();
    m_hoverTimer = new QTimer(this);
    m_hoverTimer->setInterval(300);
    connect(m_hoverTimer, &QTimer::timeout, this, &MemoPane::hoverDelayElapsed);
    m_mail = new MailMessage(this);
    // A box or dialog never opens over an open edit: what was typed is stored first.
    setBeforePromptHook([this] { commitOpenEdit(); });
}

MemoPane::~MemoPane()
{
    setBeforePromptHook({});
    commitOpenEdit();
    m_editSession->disconnect(this);
    // The history is a child: ~QWidget deletes it after this destructor, and it clears itself
    // as it goes. Its signals must not reach the members of a pane that is gone by then.
    m_history->disconnect(this);
    // The menu bar has gone over to the main window; it carries this frame's commands.
    delete m_menuBar;
    m_tree->clear();
}

QAction *MemoPane::makeAction(const char *name, const QString &caption, const QString &hint, int image)
{
    QAction *action = makeNamedAction(this, name, caption);
    if (!hint.isEmpty())
        action->setToolTip(hint);
    if (image >= 0)
        action->setIcon(m_images[size_t(image)]);
    action->setEnabled(false);
    return action;
}

void MemoPane::createActions()
{
    createHistory();
    // Key names in captions are text only: the keys reach the commands through the tree.
    m_addMemoAction = makeAction("addMemo", tr("&Add Memo          Enter"), tr("Add Memo"), 13);
    m_addSubMemoAction =
        makeAction("addSubMemo", tr("Add &Sub-Memo    Ctrl+Enter"), tr("Add Sub-Memo"), 2);
    m_editMemoAction = makeAction("editMemo", tr("&Edit              F2"), tr("Edit Memo or Sub-Memo"), 3);
    m_deleteAction = makeAction("delete", tr("&Delete"), tr("Delete Memo or Sub-Memo"), 4);
    m_sortAction = makeAction("sort", tr("Sort Direction"), QString(), 8);
    m_listViewAction = makeAction("listView", tr("View &List"), tr("List view memos"), 10);
    m_listViewAction->setCheckable(true);
    m_moveToAction = makeAction("moveTo", tr("&Move"), QString(), -1);
    m_expandAllAction = makeAction("expandAll", tr("&Expand All"), tr("Expand all"), 11);
    m_collapseAllAction = makeAction("collapseAll", tr("&Collapse All"), tr("Collapse all"), 12);
    m_selectAllAction = makeAction("selectAll", tr("Select &All        Ctrl+A"), QString(), -1);
    m_deselectAction = makeAction("deselect", tr("&Deselect"), QString(), -1);
    m_copyAction = makeAction("copy", tr("&Copy              Ctrl+C"), QString(), -1);
    m_pasteAction = makeAction("paste", tr("&Paste             Ctrl+V"), QString(), -1);
    m_exportAction = makeAction("export", tr("&Export..."), QString(), -1);
    m_emailAction = makeAction("email", tr("E-mai&l Memo..."), QString(), -1);
    m_saveAction = makeAction("save", tr("Sa&ve Memo..."), QString(), -1);
    m_saveAllAction = makeAction("saveAll", tr("&Save All..."), QString(), 15);
    m_printAction = makeAction("print", tr("&Print..."), QString(), 16);
    m_wideSearchAction = makeAction("wideSearch", QString(), tr("View all sub-Memos in search result"), 22);
    m_wideSearchAction->setCheckable(true);

    m_wideSearchAction->setEnabled(true);
    // Export checks for itself whether there is something to write.
    m_exportAction->setEnabled(true);
    connect(m_exportAction, &QAction::triggered, this, &MemoPane::exportMemos);
    connect(m_emailAction, &QAction::triggered, this, &MemoPane::emailMemos);

    connect(m_addMemoAction, &QAction::triggered, this, &MemoPane::addMemo);
    connect(m_addSubMemoAction, &QAction::triggered, this, &MemoPane::addSubMemo);
    connect(m_editMemoAction, &QAction::triggered, this, &MemoPane::editMemo);
    connect(m_saveAction, &QAction::triggered, this, &MemoPane::saveSelection);
    connect(m_saveAllAction, &QAction::triggered, this, &MemoPane::saveAll);
    connect(m_printAction, &QAction::triggered, this, &MemoPane::printMemos);
    connect(m_copyAction, &QAction::triggered, this, &MemoPane::copyMemos);
    connect(m_pasteAction, &QAction::triggered, this, &MemoPane::pasteMemos);
    connect(m_deleteAction, &QAction::triggered, this, &MemoPane::deleteMemos);
    connect(m_moveToAction, &QAction::triggered, this, [this] { moveSelectionTo(nullptr); });
    connect(m_wideSearchAction, &QAction::triggered, this, &MemoPane::toggleWideSearch);
    connect(m_sortAction, &QAction::triggered, this, &MemoPane::toggleSortOrder);
    connect(m_listViewAction, &QAction::triggered, this, &MemoPane::toggleListView);
    connect(m_expandAllAction, &QAction::triggered, this, &MemoPane::expandAll);
    connect(m_collapseAllAction, &QAction::triggered, this, &MemoPane::collapseAll);
    connect(m_selectAllAction, &QAction::triggered, this, &MemoPane::selectAll);
    connect(m_deselectAction, &QAction::triggered, this, &MemoPane::deselectAll);
}

namespace {

QMenu *addMenu(QWidget *parent, const QString &title, std::initializer_list<QAction *> actions)
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

void MemoPane::createMenus()
{
    CommonActions *common = m_mainWindow->commonActions();
    m_moveToMenu = new QMenu(tr("&Move to"), this);
    m_moveToMenu->setObjectName(QStringLiteral("moveToMenu"));
    m_mainMoveToMenu = new QMenu(tr("&Move to"), this);
    m_mainMoveToMenu->setObjectName(QStringLiteral("mainMoveToMenu"));
    for (QMenu *menu : {m_moveToMenu, m_mainMoveToMenu})
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { buildMoveToMenu(menu); });

    // The main menu is shown by the main window once the list is ready.
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    m_menuBar->hide();
    m_menuBar->addMenu(addMenu(m_menuBar, tr("&File"),
                               {common->optionsAction(), nullptr, m_mainWindow->backupAction(),
                                m_mainWindow->restoreAction(), nullptr, m_exportAction, m_mainWindow->importAction(), nullptr,
                                m_saveAllAction, m_printAction, nullptr, common->stayOnTopAction(), nullptr,
                                common->closeAction(), m_mainWindow->exitAction()}));
    m_menuBar->addMenu(addMenu(m_menuBar, tr("&Edit"),
                               {m_undoAction, m_redoAction, nullptr, m_copyAction, m_pasteAction, nullptr,
                                m_selectAllAction, m_deselectAction}));
    m_menuBar->addMenu(addMenu(m_menuBar, tr("&View"),
                               {m_listViewAction, nullptr, m_expandAllAction, m_collapseAllAction}));
    QMenu *memos = addMenu(m_menuBar, tr("&Memos"),
                           {m_addMemoAction, m_addSubMemoAction, nullptr, m_emailAction, m_saveAction, nullptr,
                            m_editMemoAction, m_deleteAction, nullptr});
    memos->addMenu(m_mainMoveToMenu);
    m_menuBar->addMenu(memos);
    m_menuBar->addMenu(addMenu(m_menuBar, tr("&Help"),
                               {common->helpAction(), nullptr, common->contactAction(), common->suggestionAction(),
                                nullptr, common->websiteAction(), common->updateAction(), nullptr,
                                common->aboutAction()}));

    m_memoMenu = addMenu(this, QString(),
                             {m_undoAction, m_redoAction, nullptr, m_addMemoAction, m_addSubMemoAction, nullptr, m_emailAction, m_saveAction, nullptr,
                              m_editMemoAction, m_deleteAction, nullptr, m_copyAction, m_pasteAction,
                              nullptr});
    m_memoMenu->addMenu(m_moveToMenu);
    m_blankMenu = addMenu(this, QString(),
                          {m_undoAction, m_redoAction, nullptr, m_addMemoAction, m_addSubMemoAction, nullptr, m_pasteAction});
}

void MemoPane::createLayout()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_topBar = new PictureToolBar(this);

    m_topBar->setObjectName(QStringLiteral("topBar"));
    m_topBar->setBackground(m_mainWindow->backgrounds().toolbar);
    m_topBar->setIconSize(QSize(22, 22));
    m_topBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (QAction *action : {m_addMemoAction, m_addSubMemoAction, m_editMemoAction, m_deleteAction})
        m_topBar->addAction(action);
    m_topBar->addSeparator();
    for (QAction *action : {m_sortAction, m_expandAllAction, m_collapseAllAction})
        m_topBar->addAction(action);
    m_topBar->addSeparator();
    m_topBar->addAction(m_listViewAction);
    for (QToolButton *button : m_topBar->findChildren<QToolButton *>())
        button->setFixedSize(29, 28);

    m_tree->setImages(m_images);
    m_tree->setFrameShape(QFrame::NoFrame);
    m_tree->setAccessibleName(tr("Memos"));

    m_tipPanel = new QFrame(this);

    m_tipPanel->setObjectName(QStringLiteral("tipPanel"));
    m_tipPanel->setFrameShape(QFrame::Panel);
    m_tipPanel->setFrameShadow(QFrame::Sunken);
    m_tipPanel->setAutoFillBackground(true);
    m_tipImage = new QLabel(m_tipPanel);
    m_tipImage->setObjectName(QStringLiteral("tipImage"));
    m_tipImage->setGeometry(4, 4, 16, 16);
    m_tipImage->setPixmap(m_images[17].pixmap(16, 16));
    m_tipImage->setAccessibleName(tr("Tip"));
    m_tipLabel = new QLabel(m_tipPanel);
    m_tipLabel->setObjectName(QStringLiteral("tipLabel"));
    m_tipLabel->move(24, 4);
    m_tipLabel->setWordWrap(true);
    m_tipLabel->setCursor(Qt::PointingHandCursor);
    QFont tipFont = m_tipLabel->font();
    tipFont.setUnderline(true);
    m_tipLabel->setFont(tipFont);
    QPalette tipPalette = m_tipLabel->palette();
    tipPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_tipLabel->setPalette(tipPalette);
    m_tipPanel->hide();

    // The search bar places its three controls itself: the box fills the room between the
    // two buttons (see bottomBarResized).
    m_bottomBar = new PicturePanel(this);
    m_bottomBar->setObjectName(QStringLiteral("bottomBar"));
    m_bottomBar->setBackground(m_mainWindow->backgrounds().searchbar);
    m_wideSearchButton = new QToolButton(m_bottomBar);
    m_wideSearchButton->setObjectName(QStringLiteral("wideSearchButton"));
    m_wideSearchButton->setDefaultAction(m_wideSearchAction);
    m_wideSearchButton->setAutoRaise(true);
    m_searchBox = new QLineEdit(m_bottomBar);
    m_searchBox->setObjectName(QStringLiteral("searchBox"));
    m_searchBox->setToolTip(tr("Input search string"));
    m_searchButton = new QToolButton(m_bottomBar);
    m_searchButton->setObjectName(QStringLiteral("searchButton"));
    m_searchButton->setIcon(m_images[18]);
    m_searchButton->setAutoRaise(true);
    for (QToolButton *button : {m_wideSearchButton, m_searchButton}) {
        button->setIconSize(QSize(16, 16));
        button->setFixedSize(24, 24);
    }
    m_bottomBar->setFixedHeight(std::max(28, m_searchBox->sizeHint().height() + 4));
    m_bottomBar->installEventFilter(this);
    m_tipPanel->installEventFilter(this);
    m_tipLabel->installEventFilter(this);
    connect(m_searchBox, &QLineEdit::textChanged, this, &MemoPane::searchTextChanged);
    m_searchBox->installEventFilter(this);
    connect(m_searchButton, &QToolButton::clicked, this, &MemoPane::searchButtonClicked);
    nameIconButtons(m_topBar);
    nameIconButtons(m_bottomBar);
    m_searchBox->setAccessibleName(tr("Search"));
    m_searchButton->setAccessibleName(tr("Search"));

    m_statusBar = new StatusBar(this);

    m_statusBar->setObjectName(QStringLiteral("statusBar"));
    m_statusImage = m_statusBar->imagePanel();
    m_statusImage->setPixmap(Artwork::bulbIcon().pixmap(16, 16));
    m_statusImage->setAccessibleName(tr("Tip"));

    layout->addWidget(m_topBar);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_tipPanel);
    layout->addWidget(m_bottomBar);
    layout->addWidget(m_statusBar);
}

void MemoPane::connectTree()
{
    m_tree->setDelegate(this);
    connect(m_tree, &MemoTree::nodeExpanded, this, &MemoPane::nodeExpanded);
    connect(m_tree, &MemoTree::nodeCollapsed, this, &MemoPane::nodeCollapsed);
    connect(m_tree, &MemoTree::selectionChanged, this, &MemoPane::selectionChanged);
    connect(m_tree, &MemoTree::nodeFreed, this, &MemoPane::nodeFreed);
    connect(m_tree, &MemoTree::hoveredNodeChanged, this, &MemoPane::hoveredNodeChanged);
    connect(m_tree, &MemoTree::editCommitted, this, &MemoPane::editCommitted);
    connect(m_tree, &MemoTree::editEnded, this, &MemoPane::editEnded);
    connect(m_tree, &MemoTree::editCancelled, this, &MemoPane::editCancelled);
    connect(m_tree, &MemoTree::doubleClicked, this, &MemoPane::treeDoubleClicked);
    connect(m_tree, &MemoTree::mouseMoved, this, &MemoPane::treeMouseMoved);
}

bool MemoPane::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == m_bottomBar)
        bottomBarResized();
    else if (event->type() == QEvent::Resize && watched == m_tipPanel)
        tipPanelResized();
    else if (event->type() == QEvent::MouseButtonRelease && watched == m_tipLabel)
        tipClicked();
    else if (watched == m_searchBox) {
        switch (event->type()) {
        case QEvent::FocusIn:
            searchBoxEntered();
            break;
        case QEvent::FocusOut:
            searchBoxLeft();
            break;
        case QEvent::KeyPress:
            searchBoxKeyPressed(static_cast<QKeyEvent *>(event));
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool MemoPane::event(QEvent *event)
{
    switch (int(event->type())) {
    case WM_MEMOS_RELOAD:
        reloadMemos();
        break;
    case WM_MEMOS_READY:
        memosReady();
        break;
    case WM_MEMOS_ADD:
        addMemo();
        break;
    case WM_MEMOS_EDIT_PENDING:
        openPendingEdit();
        break;
    case WM_MEMOS_DROP_PENDING: {
        const auto *message = static_cast<PostedEvent *>(event);
        dropPendingMemo(reinterpret_cast<TreeNode *>(message->wParam()), message->lParam());
        break;
    }
    default:
        break;
    }
    return QWidget::event(event);
}
