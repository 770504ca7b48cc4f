// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/StatusBar.h"
#include <QStringList>

class TreeNode;

// The memo pane's status bar. It tells when the selected memo was made; with nothing selected
// it shows a bulb and one of the key tips at random. Memos the database has not taken yet
// outrank both until they are stored.
class MemoStatusBar : public StatusBar {
    Q_OBJECT
public:
    explicit MemoStatusBar(QWidget *parent);

    // The selection changed to node (nullptr: none) while unsaved memos wait.
    void showSelection(TreeNode *node, int unsaved);
    void showUnsaved(int count);

    static const QStringList kTips;

private:
    void showRandomTip();
};
