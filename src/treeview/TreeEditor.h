// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPlainTextEdit>

// The in-place editor of a node's text. It only turns keys and focus into requests; the tree
// decides what committing and cancelling mean.
class TreeEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TreeEditor(QWidget *parent);

signals:
    void commitRequested(); // Ctrl+Enter
    void cancelRequested(); // Esc
    void focusLost();       // focus went anywhere but to the editor's own context menu

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    bool m_openingOwnMenu = false;
};
