// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/MemoRowPainter.h"
#include "gui/memos/PaneBackgrounds.h"
#include "gui/Artwork.h"
#include "gui/memos/MemoNode.h"
#include "core/MemoOrder.h"
#include "core/MemoText.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <climits>

MemoRowPainter::MemoRowPainter(MemoTree &tree, const PaneBackgrounds &backgrounds, std::function<TreeNode *()> editNode,
                               const QAction &listView, MemoTreeDelegate &next, QObject *parent)
    : QObject(parent), m_tree(tree), m_backgrounds(backgrounds), m_editNode(std::move(editNode)), m_listView(listView),
      m_next(next), m_hoverTimer(new QTimer(this))
{
    m_hoverTimer->setInterval(300);
    connect(m_hoverTimer, &QTimer::timeout, this, &MemoRowPainter::hoverDelayElapsed);
    connect(&tree, &MemoTree::hoveredNodeChanged, this,
            [this](TreeNode *, TreeNode *newNode) { hoveredNodeChanged(newNode); });
    connect(&tree, &MemoTree::nodeFreed, this, [this](TreeNode *node) {
        if (node == m_hoverNode)
            m_hoverNode = nullptr;
    });
}

QString MemoRowPainter::nodeText(TreeNode *node) const
{
    const QString &content = memoOf(node).content;
    if (node == m_editNode())
        return content;
    if (content.isEmpty())
        return tr("Input content here");
    if (!m_listView.isChecked())
        return content;
    const QString body = node == m_hoverNode ? content : flattenLineBreaks(content);
    const QString number = QString::number(node->index() + 1);
    return node->level() > 0 ? QLatin1Char('(') + number + QLatin1String(") ") + body
                             : number + QLatin1String(". ") + body;
}

int MemoRowPainter::compareNodes(TreeNode *node1, TreeNode *node2) const
{
    if (!node1 || !node2)
        return 0;
    return compareMemoTexts(memoOf(node1).content, memoOf(node2).content);
}

int MemoRowPainter::nodeHeight(TreeNode *node) const
{
    const TreeNode *editNode = m_editNode();
    const int line = m_tree.textHeight(node, QStringLiteral("l"));
    const bool oneLine = m_listView.isChecked() && node != m_hoverNode && node != editNode;
    const int base = oneLine ? line + 4 : m_tree.textHeight(node, nodeText(node)) + 4;
    int minimum = line + 4;
    int maximum = INT_MAX;
    if (node == editNode) {
        // Room for the editor, but never more than the tree can show.
        minimum = 4 * line + 4;
        maximum = m_tree.height() - line;
    }
    return std::max(1, std::min(std::max(base, minimum), maximum));
}

int MemoRowPainter::nodeImageIndex(TreeNode *node) const
{
    return int(node->level() == 0 ? Artwork::Picture::Memo : Artwork::Picture::SubMemo);
}

void MemoRowPainter::styleNodeText(TreeNode *node, QFont &font, QColor &colour) const
{
    if (node != m_editNode() && memoOf(node).content.isEmpty()) {
        colour = m_tree.palette().color(QPalette::PlaceholderText);
        font.setItalic(true);
    }
}

void MemoRowPainter::paintNodeBackground(QPainter &painter, TreeNode *node, const QRect &cellRect) const
{
    if (!node)
        return;
    if (node == m_editNode()) {
        painter.fillRect(cellRect, m_tree.palette().color(QPalette::Base)); // plain under the editor
    } else if (node == m_tree.hotNode()) {
        painter.fillRect(cellRect, m_tree.palette().color(QPalette::ToolTipBase));
    } else if (node->level() > 0) {
        painter.drawImage(cellRect, m_backgrounds.group);
    } else {
        // Siblings hidden by a search count too, so a memo keeps its colour while filtering.
        painter.drawImage(cellRect, node->index() % 2 == 0 ? m_backgrounds.item0 : m_backgrounds.item1);
    }
}

void MemoRowPainter::hoveredNodeChanged(TreeNode *newNode)
{
    if (!m_listView.isChecked())
        return;
    // Leaving for blank space keeps the memo opened last open, so that it can be read on.
    m_hoverTimer->stop();
    if (newNode)
        m_hoverTimer->start();
}

void MemoRowPainter::hoverDelayElapsed()
{
    m_hoverTimer->stop();
    TreeNode *hot = m_tree.hotNode();
    if (hot == m_hoverNode)
        return;
    TreeNode *old = m_hoverNode;
    m_hoverNode = hot;
    if (hot)
        m_tree.invalidateNode(hot);
    if (old)
        m_tree.invalidateNode(old);
}
