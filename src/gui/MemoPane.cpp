// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/MemoPane.h"
#include "gui/MainWindow.h"
#include "gui/AccessibleNames.h"
#include "gui/Artwork.h"
#include "gui/CommandErrors.h"
#include "gui/PictureBar.h"
#include "gui/Prompts.h"
#include "gui/memos/MemoActions.h"
#include "gui/memos/MemoHistory.h"
#include "gui/memos/MemoMailer.h"
#include "gui/memos/MemoNode.h"
#include "gui/memos/MemoOutput.h"
#include "gui/memos/MemoRowPainter.h"
#include "gui/memos/MemoStatusBar.h"
#include "gui/memos/MoveToMenu.h"
#include "gui/memos/SearchBar.h"
#include "gui/memos/TipPanel.h"
#include "gui/memos/ViewSettings.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Each action runs its command on target, which reports the command's errors itself.
template <typename Target>
void connectCommands(Target *target, std::initializer_list<std::pair<QAction *, void (Target::*)()>> commands)
{
    for (const auto &[action, command] : commands)
        QObject::connect(action, &QAction::triggered, target,
                         reportingErrors([target, command = command] { (target->*command)(); }));
}

} // namespace

MemoPane::MemoPane(MainWindow *mainWindow, MemoStore &store, const QString &settingsPath)
    : QWidget(mainWindow), m_tree(new MemoTree(this, makeMemoNode)), m_controller(new MemoController(*m_tree, store, this)),
      m_output(new MemoOutput(*m_tree, *m_controller, *mainWindow->versionInfo(), mainWindow->exportDialog(), this)),
      m_mailer(new MemoMailer(*m_output, *m_controller, mainWindow->programFolder(), this))
{
    createActions(settingsPath);
    createLayout(mainWindow->backgrounds());
    connect(m_controller, &MemoController::commandsChanged, this, &MemoPane::refreshCommands);
    connect(m_controller, &MemoController::tipWanted, m_tipPanel, &TipPanel::showTip);
    connect(m_controller, &MemoController::unsavedChanged, m_statusBar, &MemoStatusBar::showUnsaved);
    connect(m_controller, &MemoController::filterRefused, m_statusBar, &StatusBar::setPanelText);
    connect(m_controller, &MemoController::filterApplied, m_rowPainter, &MemoRowPainter::forgetHover);
    connect(m_tree, &MemoTree::selectionChanged, this, &MemoPane::selectionChanged);
    // A box or dialog never opens over an open edit: what was typed is stored first.
    setBeforePromptHook([this] { m_controller->commitOpenEdit(); });
}

MemoPane::~MemoPane()
{
    setBeforePromptHook({});
    m_controller->commitOpenEdit();
    // The controller and the painter go after this destructor: nothing they signal may reach it.
    m_controller->disconnect(this);
    m_tree->disconnect(this);
    m_tree->clear();
}

void MemoPane::createActions(const QString &settingsPath)
{
    MemoController *list = m_controller;
    MemoHistory &history = list->history();
    m_actions = new MemoActions(*m_tree, [list, this] { return list->editNode() ? nullptr : m_tree->firstSelected(); },
                                history.undoAction(), history.redoAction(), this);
    connectCommands(list, {
        {history.undoAction(), &MemoController::undoStep}, {history.redoAction(), &MemoController::redoStep},
        {m_actions->addMemo, &MemoController::addMemo},    {m_actions->addSubMemo, &MemoController::addSubMemo},
        {m_actions->editMemo, &MemoController::editMemo},  {m_actions->deleteMemos, &MemoController::deleteMemos},
        {m_actions->copy, &MemoController::copyMemos},     {m_actions->paste, &MemoController::pasteMemos},
        {m_actions->expandAll, &MemoController::expandAll}, {m_actions->collapseAll, &MemoController::collapseAll},
    });
    connectCommands(m_output, {
        {m_actions->exportMemos, &MemoOutput::exportMemos}, {m_actions->save, &MemoOutput::saveSelection},
        {m_actions->saveAll, &MemoOutput::saveAll},         {m_actions->print, &MemoOutput::printMemos},
    });
    connectCommands(m_mailer, {{m_actions->email, &MemoMailer::emailMemos}});
    m_viewSettings = new ViewSettings(settingsPath, *list, *m_actions, *m_tree, this);
    connectCommands(m_viewSettings, {
        {m_actions->sort, &ViewSettings::toggleSortOrder}, {m_actions->listView, &ViewSettings::toggleListView},
    });
    connectCommands(this, {{m_actions->selectAll, &MemoPane::selectAll}, {m_actions->deselect, &MemoPane::deselectAll}});
    connect(m_actions->wideSearch, &QAction::triggered, this, reportingErrors([this] {
                searchChanged();
                m_viewSettings->saveWideSearch();
            }));
    for (MoveToMenu *menu : {m_actions->moveToMenu, m_actions->mainMoveToMenu})
        connect(menu, &MoveToMenu::targetChosen, list, reportingErrors([list](TreeNode *target) {
                    list->moveSelectedMemos(target, MemoTree::AttachMode::AddChildFirst);
                }));
}

void MemoPane::createLayout(const PaneBackgrounds &backgrounds)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *topBar = new PictureToolBar(this);
    topBar->setObjectName(QStringLiteral("topBar"));
    topBar->setBackground(backgrounds.toolbar);
    topBar->setIconSize(QSize(22, 22));
    topBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (QAction *action : {m_actions->addMemo, m_actions->addSubMemo, m_actions->editMemo, m_actions->deleteMemos})
        topBar->addAction(action);
    topBar->addSeparator();
    for (QAction *action : {m_actions->sort, m_actions->expandAll, m_actions->collapseAll})
        topBar->addAction(action);
    topBar->addSeparator();
    topBar->addAction(m_actions->listView);
    for (QToolButton *button : topBar->findChildren<QToolButton *>())
        button->setFixedSize(29, 28);

    m_tree->setImages(Artwork::imageList16());
    m_tree->setFrameShape(QFrame::NoFrame);
    m_tree->setAccessibleName(tr("Memos"));
    m_rowPainter = new MemoRowPainter(*m_tree, backgrounds, [list = m_controller] { return list->editNode(); },
                                      *m_actions->listView, *this, this);
    m_tree->setDelegate(m_rowPainter);

    m_tipPanel = new TipPanel(this);
    connect(m_tipPanel, &TipPanel::clicked, this, &MemoPane::tipClicked);

    m_searchBar = new SearchBar(m_actions->wideSearch, this);
    m_searchBar->setBackground(backgrounds.searchbar);
    connect(m_searchBar, &SearchBar::searchTextChanged, this, &MemoPane::searchChanged);
    connect(m_searchBar, &SearchBar::searchCleared, this, [this] {
        searchChanged();
        m_tree->setFocus();
    });
    nameIconButtons(topBar);

    m_statusBar = new MemoStatusBar(this);

    layout->addWidget(topBar);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_tipPanel);
    layout->addWidget(m_searchBar);
    layout->addWidget(m_statusBar);
}

void MemoPane::reloadMemos()
{
    // A list that cannot be read ends the reload there, with the error told.
    runCommand([this] { reloadList(); });
}

void MemoPane::reloadList()
{
    // What is being typed is stored before the view settings change under it.
    m_controller->commitOpenEdit();
    m_focusedOnce = false;
    m_viewSettings->load();
    m_controller->setSearch(currentSearch());
    m_controller->reload();
    m_searchBar->setIdle();
    m_tree->setHint(tr("Double click to add a Memo!"));
}

void MemoPane::memosReady()
{
    m_tree->sortTree(m_controller->sortAscending());
    if (!m_focusedOnce) {
        m_tree->setFocus();
        m_focusedOnce = true;
    }
}

void MemoPane::reloadAfterImport(const MemoController::RowMarks &marks)
{
    m_controller->setImportMarks(marks);
    QMetaObject::invokeMethod(this, &MemoPane::reloadMemos, Qt::QueuedConnection);
}

void MemoPane::refreshCommands()
{
    const bool idle = m_controller->editNode() == nullptr;
    m_actions->refresh(idle, m_tree->firstSelected() != nullptr);
    m_controller->history().refreshActions();
    if (idle)
        m_mailer->showWaitingTip();
}

void MemoPane::selectionChanged(TreeNode *node)
{
    refreshCommands();
    m_statusBar->showSelection(node, m_controller->unsavedCount());
}

MemoController::Search MemoPane::currentSearch() const
{
    return {m_searchBar->searchText(), m_searchBar->isSearching(), m_actions->wideSearch->isChecked()};
}

void MemoPane::searchChanged()
{
    m_controller->setSearch(currentSearch());
    m_controller->applyFilter();
}

void MemoPane::selectAll()
{
    m_tree->setFocus();
    m_tree->selectAllVisible();
}

void MemoPane::deselectAll()
{
    m_tree->clearSelection();
}

void MemoPane::tipClicked(TipMode mode)
{
    switch (mode) {
    case TipMode::FinishEdit:
        m_controller->commitOpenEdit();
        break;
    case TipMode::AddMemo:
        m_controller->addMemo();
        break;
    case TipMode::NoSearchResult:
        m_searchBar->clickButton();
        break;
    case TipMode::None:
        break;
    }
}

void MemoPane::drop(TreeNode *target, const QMimeData *data, bool internal)
{
    runCommand([=] { m_controller->drop(target, data, internal); });
}

QMenu *MemoPane::contextMenu(TreeNode *node)
{
    return node ? m_actions->memoMenu : m_actions->blankMenu;
}

void MemoPane::keyPressed(QKeyEvent *event)
{
    runCommand([this, event] { runKey(*event); });
}

void MemoPane::runKey(const QKeyEvent &event)
{
    const bool ctrl = event.modifiers().testFlag(Qt::ControlModifier);
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl)
            m_controller->addSubMemo();
        else
            m_controller->addMemo();
        break;
    case Qt::Key_Delete:
        m_controller->deleteMemos();
        break;
    case Qt::Key_C:
        if (ctrl)
            m_controller->copyMemos();
        break;
    case Qt::Key_V:
        if (ctrl)
            m_controller->pasteMemos();
        break;
    case Qt::Key_F12:
        if (ctrl)
            emit minimizeRequested();
        break;
    default:
        break;
    }
}

bool MemoPane::isEditing() const
{
    return m_controller->editNode() || m_tree->isEditing();
}

void MemoPane::showSyncStatus(const QString &text, const QString &detail)
{
    m_statusBar->setSyncText(text, detail);
}
