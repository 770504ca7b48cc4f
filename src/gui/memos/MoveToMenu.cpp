// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MoveToMenu.h"
#include "gui/memos/MemoNode.h"
#include "core/MemoText.h"
#include "treeview/MemoTree.h"
#include <algorithm>

namespace {

// Entries per menu, groups included: a menu of every memo would take seconds to open and
// would not fit on any screen.
constexpr size_t kMenuSize = 40;

// A memo's text as a menu shows it: ampersands doubled so that none is taken for a mnemonic.
QString menuCaption(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString groupEndCaption(const QString &content)
{
    const QString flat = flattenLineBreaks(content).simplified();
    return flat.size() > 20 ? flat.left(20) + QChar(0x2026) : flat;
}

} // namespace

MoveToMenu::MoveToMenu(MemoTree &tree, std::function<TreeNode *()> firstMoving, QWidget *parent)
    : QMenu(tr("&Move to"), parent), m_tree(tree), m_firstMoving(std::move(firstMoving))
{
    connect(this, &QMenu::aboutToShow, this, &MoveToMenu::rebuild);
}

bool MoveToMenu::hasTargets() const
{
    TreeNode *first = m_firstMoving();
    // A sub-memo can always go to the top level; a memo needs another memo to go into.
    return first && (first->level() > 0 || m_tree.topLevelCount() > 1);
}

void MoveToMenu::rebuild()
{
    for (QMenu *group : findChildren<QMenu *>(Qt::FindDirectChildrenOnly))
        delete group;
    clear();
    TreeNode *first = m_firstMoving();
    if (!first)
        return;
    if (first->level() > 0) {
        addItem(this, tr("Root"), nullptr);
        addSeparator();
    }
    auto targets = std::make_shared<Targets>();
    targets->reserve(size_t(m_tree.topLevelCount()));
    for (int i = 0; i < m_tree.topLevelCount(); ++i) {
        TreeNode *memo = m_tree.topLevelNode(i);
        if (memo != first && memo != first->parent())
            targets->emplace_back(memo, memo->serial());
    }
    fill(this, targets, 0, targets->size());
}

void MoveToMenu::addItem(QMenu *menu, const QString &caption, TreeNode *target)
{
    QAction *item = menu->addAction(caption);
    connect(item, &QAction::triggered, this, [this, target, serial = target ? target->serial() : 0] {
        // The memo may have gone since the menu opened.
        if (!target || m_tree.isAlive(target, serial))
            emit targetChosen(target);
    });
}

void MoveToMenu::fill(QMenu *menu, const std::shared_ptr<Targets> &targets, size_t begin, size_t end)
{
    // The memos are those of the moment the menu opened; one that has gone since is left out.
    const auto alive = [this, &targets](size_t i) {
        const auto &[memo, serial] = (*targets)[i];
        return m_tree.isAlive(memo, serial) ? memo : nullptr;
    };
    const size_t count = end - begin;
    if (count <= kMenuSize) {
        for (size_t i = begin; i < end; ++i)
            if (TreeNode *memo = alive(i))
                addItem(menu, menuCaption(memoOf(memo).content), memo);
        return;
    }
    // Groups of equal span, as few levels deep as the bound allows; each group is filled
    // when it first opens.
    const auto groupEnd = [&alive](size_t i) {
        TreeNode *memo = alive(i);
        return memo ? groupEndCaption(memoOf(memo).content) : QString();
    };
    size_t span = kMenuSize;
    while ((count + span - 1) / span > kMenuSize)
        span *= kMenuSize;
    for (size_t from = begin; from < end; from += span) {
        const size_t to = std::min(end, from + span);
        const QString caption = groupEnd(from) + QStringLiteral(" \u2013 ") + groupEnd(to - 1);
        QMenu *group = menu->addMenu(menuCaption(caption));
        connect(group, &QMenu::aboutToShow, this, [this, group, targets, from, to] {
            if (group->isEmpty())
                fill(group, targets, from, to);
        });
    }
}
