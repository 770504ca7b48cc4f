// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>
#include <QRect>
#include <functional>
#include <vector>

class MemoTreeDelegate;
class QAbstractScrollArea;
class QColor;
class QFont;
class QPainter;
class TreeNode;

// How a row looks and how tall it is: the places of its parts, its measured height and its
// painting, on screen and on paper. Texts, heights, images and styles come from the delegate;
// font, palette and width from the view.
class TreeRowPainter {
public:
    struct Parts {
        QRect button; // the expand button's cell (the whole click target)
        QRect box;    // the drawn +/- box
        QRect image;  // empty when the node shows no image
        QRect text;
    };
    // What the screen shows beyond the row itself; paper shows none of it.
    struct Decorations {
        bool viewFocused = false;            // a strong selection and the focus frame
        const TreeNode *edited = nullptr;    // its selection stays strong
        const TreeNode *focused = nullptr;
        const TreeNode *dropTarget = nullptr;
    };

    explicit TreeRowPainter(const QAbstractScrollArea &view);
    void setDelegate(const MemoTreeDelegate *delegate); // never null
    void setImages(const std::vector<QIcon> &images);   // indexed by the delegate's nodeImageIndex
    bool hasImages() const { return !m_images.empty(); }

    int lineHeight() const;
    int textLeft(TreeNode *node) const;
    int textAreaWidth(TreeNode *node) const;
    int textHeight(TreeNode *node, const QString &text) const;
    int measure(TreeNode *node) const; // the row height the node needs at the current width
    Parts parts(TreeNode *node, const QRect &rowRect) const;
    void paint(QPainter &painter, TreeNode *node, const QRect &rowRect, const Decorations *decorations) const;

    // Paints rows one below the other onto pages of the given size; newPage is called between
    // pages. Coordinates are the view's pixels: scale a printer's painter to them first.
    void print(QPainter &painter, const std::vector<TreeNode *> &rows, const QRect &pageRect,
               const std::function<void()> &newPage);

private:
    int imageIndexOf(TreeNode *node) const;
    int rowWidth() const;
    QFont textFont(TreeNode *node, QColor &color) const; // as the row's text is drawn

    const QAbstractScrollArea &m_view;
    const MemoTreeDelegate *m_delegate = nullptr;
    std::vector<QIcon> m_images;
    int m_printWidth = -1; // set while rows are measured and painted for print
};
