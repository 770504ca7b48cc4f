// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/MemoPane.h"
#include "gui/CommonActions.h"
#include "gui/MainWindow.h"
#include "gui/Artwork.h"
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
    : QWidget(mainWindow), m_tree(new MemoTree(this)), m_mainWindow(mainWindow),
      m_store(store), m_settingsPath(settingsPath)
{
    m_editSession = new EditSession(*m_tree, m_store, this);
    m_expandStates = std::make_unique<ExpandStates>(*m_tree, m_store);
    connect(m_editSession, &EditSession::stored, this, &MemoPane::memoStored);
    connect(m_editSession, &EditSession::unsavedChanged, this, &MemoPane::showUnsaved);
    createActions();
    createLayout();
    connectTree();
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
    m_tree->clear();
}

void MemoPane::createActions()
{
    createHistory();
    m_actions = new MemoActions(*m_tree, [this] { return m_editNode ? nullptr : m_tree->firstSelected(); }, m_undoAction,
                                m_redoAction, this);
    connect(m_actions->exportMemos, &QAction::triggered, this, &MemoPane::exportMemos);
    connect(m_actions->email, &QAction::triggered, this, &MemoPane::emailMemos);
    connect(m_actions->addMemo, &QAction::triggered, this, &MemoPane::addMemo);
    connect(m_actions->addSubMemo, &QAction::triggered, this, &MemoPane::addSubMemo);
    connect(m_actions->editMemo, &QAction::triggered, this, &MemoPane::editMemo);
    connect(m_actions->save, &QAction::triggered, this, &MemoPane::saveSelection);
    connect(m_actions->saveAll, &QAction::triggered, this, &MemoPane::saveAll);
    connect(m_actions->print, &QAction::triggered, this, &MemoPane::printMemos);
    connect(m_actions->copy, &QAction::triggered, this, &MemoPane::copyMemos);
    connect(m_actions->paste, &QAction::triggered, this, &MemoPane::pasteMemos);
    connect(m_actions->deleteMemos, &QAction::triggered, this, &MemoPane::deleteMemos);
    connect(m_actions->wideSearch, &QAction::triggered, this, &MemoPane::toggleWideSearch);
    connect(m_actions->sort, &QAction::triggered, this, &MemoPane::toggleSortOrder);
    connect(m_actions->listView, &QAction::triggered, this, &MemoPane::toggleListView);
    connect(m_actions->expandAll, &QAction::triggered, this, &MemoPane::expandAll);
    connect(m_actions->collapseAll, &QAction::triggered, this, &MemoPane::collapseAll);
    connect(m_actions->selectAll, &QAction::triggered, this, &MemoPane::selectAll);
    connect(m_actions->deselect, &QAction::triggered, this, &MemoPane::deselectAll);
    for (MoveToMenu *menu : {m_actions->moveToMenu, m_actions->mainMoveToMenu})
        connect(menu, &MoveToMenu::targetChosen, this,
                [this](TreeNode *target) { moveSelectedMemos(target, MemoTree::AttachMode::AddChildFirst); });
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
    for (QAction *action : {m_actions->addMemo, m_actions->addSubMemo, m_actions->editMemo, m_actions->deleteMemos})
        m_topBar->addAction(action);
    m_topBar->addSeparator();
    for (QAction *action : {m_actions->sort, m_actions->expandAll, m_actions->collapseAll})
        m_topBar->addAction(action);
    m_topBar->addSeparator();
    m_topBar->addAction(m_actions->listView);
    for (QToolButton *button : m_topBar->findChildren<QToolButton *>())
        button->setFixedSize(29, 28);

    m_tree->setImages(Artwork::imageList16());
    m_tree->setFrameShape(QFrame::NoFrame);
    m_tree->setAccessibleName(tr("Memos"));

    m_tipPanel = new TipPanel(this);
    connect(m_tipPanel, &TipPanel::clicked, this, &MemoPane::tipClicked);

    m_searchBar = new SearchBar(m_actions->wideSearch, this);
    m_searchBar->setBackground(m_mainWindow->backgrounds().searchbar);
    connect(m_searchBar, &SearchBar::searchTextChanged, this, &MemoPane::applyFilter);
    connect(m_searchBar, &SearchBar::searchCleared, this, &MemoPane::searchCleared);
    nameIconButtons(m_topBar);

    m_statusBar = new StatusBar(this);

    m_statusBar->setObjectName(QStringLiteral("statusBar"));
    m_statusImage = m_statusBar->imagePanel();
    m_statusImage->setPixmap(Artwork::bulbIcon().pixmap(16, 16));
    m_statusImage->setAccessibleName(tr("Tip"));

    layout->addWidget(m_topBar);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_tipPanel);
    layout->addWidget(m_searchBar);
    layout->addWidget(m_statusBar);
}

void MemoPane::connectTree()
{
    m_rowPainter = new MemoRowPainter(*m_tree, m_mainWindow->backgrounds(), [this] { return m_editNode; },
                                      *m_actions->listView, *this, this);
    m_tree->setDelegate(m_rowPainter);
    connect(m_tree, &MemoTree::nodeExpanded, this, &MemoPane::nodeExpanded);
    connect(m_tree, &MemoTree::nodeCollapsed, this, &MemoPane::nodeCollapsed);
    connect(m_tree, &MemoTree::selectionChanged, this, &MemoPane::selectionChanged);
    connect(m_tree, &MemoTree::nodeFreed, this, &MemoPane::nodeFreed);
    connect(m_tree, &MemoTree::editCommitted, this, &MemoPane::editCommitted);
    connect(m_tree, &MemoTree::editEnded, this, &MemoPane::editEnded);
    connect(m_tree, &MemoTree::editCancelled, this, &MemoPane::editCancelled);
    connect(m_tree, &MemoTree::doubleClicked, this, &MemoPane::treeDoubleClicked);
    connect(m_tree, &MemoTree::mouseMoved, this, &MemoPane::treeMouseMoved);
}
