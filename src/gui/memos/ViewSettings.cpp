// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/ViewSettings.h"
#include "gui/memos/MemoActions.h"
#include "gui/memos/MemoController.h"
#include "core/SettingsFile.h"
#include "core/SettingsKeys.h"
#include "treeview/MemoTree.h"
#include "treeview/TreeUpdateGuard.h"
#include <QAction>

ViewSettings::ViewSettings(const QString &settingsPath, MemoController &controller, MemoActions &actions,
                           MemoTree &tree, QObject *parent)
    : QObject(parent), m_settingsPath(settingsPath), m_controller(controller), m_actions(actions), m_tree(tree)
{
}

void ViewSettings::load()
{
    const SettingsFile ini(m_settingsPath);
    m_controller.setSortAscending(kViewAscEn.read(ini));
    m_actions.showSortDirection(m_controller.sortAscending());
    m_actions.listView->setChecked(kViewListEn.read(ini));
    m_actions.wideSearch->setChecked(kSearchWideEn.read(ini));
}

void ViewSettings::toggleSortOrder()
{
    const bool ascending = !m_controller.sortAscending();
    m_controller.setSortAscending(ascending);
    m_actions.showSortDirection(ascending);
    m_tree.sortTree(ascending);
    kViewAscEn.write(SettingsFile(m_settingsPath), ascending);
}

void ViewSettings::toggleListView()
{
    {
        const TreeUpdateGuard update(m_tree);
        m_tree.invalidateAll();
    }
    kViewListEn.write(SettingsFile(m_settingsPath), m_actions.listView->isChecked());
}

void ViewSettings::saveWideSearch()
{
    kSearchWideEn.write(SettingsFile(m_settingsPath), m_actions.wideSearch->isChecked());
}
