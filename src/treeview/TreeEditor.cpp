// SPDX-License-Identifier: GPL-3.0-or-later
#include "treeview/TreeEditor.h"
#include "treeview/TreeMetrics.h"
#include <QKeyEvent>
#include <QMimeData>
#include <QScopedValueRollback>

TreeEditor::TreeEditor(QWidget *parent) : QPlainTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Same wrap width as the painted text, so lines break where they did before opening;
    // the view still follows the cursor when the text outgrows the row.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(false);
    // Matches the margins the tree paints text with, so the text does not jump on opening.
    document()->setDocumentMargin(TreeMetrics::kEditorMargin);
}

static bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool TreeEditor::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Keep window shortcuts (a dialog's Esc, a menu's Ctrl+Enter) from taking our keys.
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape || isEnter(key->key()) || key->key() == Qt::Key_Tab ||
            key->key() == Qt::Key_Backtab) {
            event->accept();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            event->accept(); // neither a tab character nor a focus move
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void TreeEditor::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (isEnter(key)) {
        if (event->modifiers() & Qt::ControlModifier)
            emit commitRequested();
        else
            textCursor().insertText(QStringLiteral("\n"));
        event->accept();
        return;
    }
    if (key == Qt::Key_Escape) {
        emit cancelRequested();
        event->accept();
        return;
    }
    const QString text = event->text();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || text.contains(QLatin1Char('\t')) ||
        text.contains(QChar(0x1b))) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TreeEditor::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    // Only the editor's own context menu keeps the edit open: a menu of the window, a dialog
    // or another program would otherwise act while the typed text is stored nowhere.
    if (m_openingOwnMenu)
        return;
    emit focusLost();
}

void TreeEditor::contextMenuEvent(QContextMenuEvent *event)
{
    // The menu takes the focus while it opens, inside this call.
    const QScopedValueRollback<bool> opening(m_openingOwnMenu, true);
    QPlainTextEdit::contextMenuEvent(event);
}

void TreeEditor::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString text = source->text();
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.remove(QChar(0x1b));
    textCursor().insertText(text);
}
