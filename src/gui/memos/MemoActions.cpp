// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MemoActions.h"
#include "gui/memos/MoveToMenu.h"
#include "gui/Artwork.h"
#include "gui/NamedAction.h"
#include <QAction>
#include <QMenu>
#include <optional>

namespace {

// Disabled until the list is loaded and the commands are refreshed.
QAction *makeAction(QObject *owner, const char *name, const QString &caption, const QString &hint = QString(),
                    std::optional<Artwork::Picture> picture = std::nullopt)
{
    QAction *action = makeNamedAction(owner, name, caption);
    if (!hint.isEmpty())
        action->setToolTip(hint);
    if (picture)
        action->setIcon(Artwork::listIcon(*picture));
    action->setEnabled(false);
    return action;
}

} // namespace

QMenu *makeMenu(QWidget *parent, const QString &title, std::initializer_list<QAction *> actions)
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

// Key names in captions are text only: the keys reach the commands through the tree.
MemoActions::MemoActions(MemoTree &tree, const std::function<TreeNode *()> &firstMoving, QAction *undo, QAction *redo,
                         QWidget *menuParent)
    : QObject(menuParent), undo(undo), redo(redo),
      addMemo(makeAction(this, "addMemo", tr("&Add Memo          Enter"), tr("Add Memo"), Artwork::Picture::AddMemo)),
      addSubMemo(makeAction(this, "addSubMemo", tr("Add &Sub-Memo    Ctrl+Enter"), tr("Add Sub-Memo"),
                            Artwork::Picture::AddSubMemo)),
      editMemo(makeAction(this, "editMemo", tr("&Edit              F2"), tr("Edit Memo or Sub-Memo"), Artwork::Picture::Edit)),
      deleteMemos(makeAction(this, "delete", tr("&Delete"), tr("Delete Memo or Sub-Memo"), Artwork::Picture::Delete)),
      sort(makeAction(this, "sort", tr("Sort Direction"), QString(), Artwork::Picture::SortDescending)),
      listView(makeAction(this, "listView", tr("View &List"), tr("List view memos"), Artwork::Picture::ListView)),
      moveTo(makeAction(this, "moveTo", tr("&Move"))),
      expandAll(makeAction(this, "expandAll", tr("&Expand All"), tr("Expand all"), Artwork::Picture::ExpandAll)),
      collapseAll(makeAction(this, "collapseAll", tr("&Collapse All"), tr("Collapse all"), Artwork::Picture::CollapseAll)),
      selectAll(makeAction(this, "selectAll", tr("Select &All        Ctrl+A"))),
      deselect(makeAction(this, "deselect", tr("&Deselect"))),
      copy(makeAction(this, "copy", tr("&Copy              Ctrl+C"))),
      paste(makeAction(this, "paste", tr("&Paste             Ctrl+V"))),
      exportMemos(makeAction(this, "export", tr("&Export..."))),
      email(makeAction(this, "email", tr("E-mai&l Memo..."))),
      save(makeAction(this, "save", tr("Sa&ve Memo..."))),
      saveAll(makeAction(this, "saveAll", tr("&Save All..."), QString(), Artwork::Picture::SaveAll)),
      print(makeAction(this, "print", tr("&Print..."), QString(), Artwork::Picture::Print)),
      wideSearch(makeAction(this, "wideSearch", QString(), tr("View all sub-Memos in search result"),
                            Artwork::Picture::WideSearch)),
      moveToMenu(new MoveToMenu(tree, firstMoving, menuParent)),
      mainMoveToMenu(new MoveToMenu(tree, firstMoving, menuParent)),
      memoMenu(makeMenu(menuParent, QString(),
                        {undo, redo, nullptr, addMemo, addSubMemo, nullptr, email, save, nullptr, editMemo, deleteMemos,
                         nullptr, copy, paste, nullptr})),
      blankMenu(makeMenu(menuParent, QString(), {undo, redo, nullptr, addMemo, addSubMemo, nullptr, paste}))
{
    listView->setCheckable(true);
    wideSearch->setCheckable(true);
    wideSearch->setEnabled(true);
    // Export checks for itself whether there is something to write.
    exportMemos->setEnabled(true);
    moveToMenu->setObjectName(QStringLiteral("moveToMenu"));
    mainMoveToMenu->setObjectName(QStringLiteral("mainMoveToMenu"));
    memoMenu->addMenu(moveToMenu);
}

void MemoActions::refresh(bool idle, bool selected)
{
    for (QAction *action : {addMemo, addSubMemo, sort, listView, expandAll, collapseAll, saveAll, save, email, print,
                            selectAll, deselect, copy, paste})
        action->setEnabled(idle);
    for (QAction *action : {editMemo, deleteMemos, moveTo})
        action->setEnabled(selected && idle);
    // The Move-to menus are filled when they open; here they only learn whether they will
    // have items.
    const bool targets = moveToMenu->hasTargets();
    for (QMenu *menu : {moveToMenu, mainMoveToMenu})
        menu->menuAction()->setEnabled(targets);
}

void MemoActions::showSortDirection(bool ascending)
{
    sort->setIcon(Artwork::listIcon(ascending ? Artwork::Picture::SortDescending : Artwork::Picture::SortAscending));
    sort->setToolTip(ascending ? tr("Descending Sort") : tr("Ascending Sort"));
}
