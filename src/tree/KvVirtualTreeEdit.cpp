#include "tree/KvTreeEditor.h"
#include "tree/KvTreeLayout.h"
#include "tree/KvTreeMetrics.h"
#include "tree/KvTreeText.h"
#include "tree/KvVirtualTree.h"
#include <QScrollBar>

using namespace KvTreeMetrics;

bool KvVirtualTree::editNode(KvTreeNode *node)
{
    if (FEditClosing || !node || !FLive.count(node))
        return false;
    if (FEditor && !endEditNode())
        return false;
    if (!FLive.count(node))
        return false; // the previous edit's callbacks deleted it
    const uint64_t serial = node->FSerial;

    setFocusedQuietly(node);
    FAnchor = node;
    if (KvTreeNode *p = node->parent(); p && !p->FExpanded)
        setExpanded(p, true);
    if (!isAlive(node, serial) || FUpdateCount)
        return false;
    ensureLayout();
    scrollIntoView(node);
    if (FLayout->rowOf(node) < 0)
        return false; // hidden

    bool allowed = true;
    if (OnEditing)
        OnEditing(node, allowed);
    if (!allowed || !isAlive(node, serial) || FEditor)
        return false;

    FEditOriginal = KvTreeText::normalizeLineBreaks(OnGetText ? OnGetText(node) : QString());
    FEditNode = node;
    FEditSerial = serial;
    auto *editor = new KvTreeEditor(viewport());
    editor->setFont(font());
    editor->document()->setDocumentMargin(kEditorMargin);
    editor->setPlainText(FEditOriginal);
    editor->selectAll();
    connect(editor, &KvTreeEditor::commitRequested, this, [this] { endEditNode(); });
    connect(editor, &KvTreeEditor::cancelRequested, this, [this] { cancelEditNode(); });
    connect(editor, &KvTreeEditor::focusLost, this, [this] { endEditNode(); });
    FEditor = editor;
    placeEditor();
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    viewport()->update();
    return true;
}

void KvVirtualTree::placeEditor()
{
    if (!FEditor || !FEditNode)
        return;
    const int row = FLayout->rowOf(FEditNode);
    if (row < 0) {
        // Not laid out: park it out of sight rather than hide it, which would move the
        // focus and so end the edit.
        FEditor->move(-10000, -10000);
        return;
    }
    const int top = FLayout->offset(row) - verticalScrollBar()->value();
    const int left = textLeft(FEditNode) - kEditorMargin;
    const int width = viewport()->width() - kTextMarginRight + kEditorMargin - left;
    // The whole row height, grid line included: a row measured for n lines then holds n
    // editor lines without a scroll bar.
    FEditor->setGeometry(left, top + kTextMarginV - kEditorMargin, std::max(1, width),
                         std::max(1, FLayout->height(row) - (kTextMarginV - kEditorMargin)));
}

bool KvVirtualTree::finishEdit(bool commit)
{
    if (!FEditor || FEditClosing)
        return false;
    FEditClosing = true;
    KvTreeEditor *editor = FEditor;
    FEditor = nullptr;
    KvTreeNode *node = FEditNode;
    const uint64_t serial = FEditSerial;
    FEditNode = nullptr;
    editor->disconnect(this);
    const QString text = editor->toPlainText();
    // Give the keyboard back to the tree when the editor still had it (Ctrl+Enter, Esc);
    // when focus moved elsewhere, leave it there.
    if (editor->hasFocus())
        setFocus(Qt::OtherFocusReason);
    editor->hide();
    editor->deleteLater();
    FEditClosing = false;
    viewport()->update();

    if (!commit) {
        if (OnEditCancelled)
            OnEditCancelled();
        return true;
    }
    if (text != FEditOriginal && isAlive(node, serial) && OnNewText)
        OnNewText(node, KvTreeText::toCrLf(text));
    if (isAlive(node, serial) && OnEdited)
        OnEdited(node);
    return true;
}

bool KvVirtualTree::endEditNode()
{
    return finishEdit(true);
}

bool KvVirtualTree::cancelEditNode()
{
    return finishEdit(false);
}

bool KvVirtualTree::isEditing() const
{
    return FEditor != nullptr;
}

KvTreeNode *KvVirtualTree::editedNode() const
{
    return FEditor ? FEditNode : nullptr;
}
