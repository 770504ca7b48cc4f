// Export of the selected memos to an exchange file.
#include "gui/MainWindow.h"
#include "core/IsoTime.h"
#include "gui/Prompts.h"
#include "core/VersionInfo.h"
#include "core/ExchangeFile.h"
#include "core/XmlNavigator.h"
#include "gui/MemoPane.h"
#include "treeview/MemoTree.h"

bool MemoPane::exportSelection(const QString &fileName)
{
    const int bias = localBiasMinutes();
    XmlNavigator xml;
    Exchange::startDocument(xml, m_mainWindow->versionInfo()->getValue(2), bias);
    pugi::xml_node memos = xml.findNode(QStringLiteral("korvel,memos"));
    // A selected memo goes out as a top-level one; a top-level memo takes all its sub-memos
    // along, selected or not, so a selected sub-memo of a selected memo goes out twice.
    for (TreeNode *node : m_tree->selectedNodes()) {
        Exchange::appendMemo(memos, node->memo, QStringLiteral("root"), bias);
        if (node->level() == 0) {
            for (int i = 0; i < node->childCount(); ++i)
                Exchange::appendMemo(memos, node->child(i)->memo, node->child(i)->memo.pid, bias);
        }
    }
    try {
        xml.saveToFile(fileName);
    } catch (const std::exception &) {
        errorBox(tr("File Write Failure !"));
        return false;
    }
    return true;
}

void MemoPane::exportMemos()
{
    if (m_editNode)
        return;
    if (!m_tree->firstSelected()) {
        warningBox(tr("Please select a memo!"));
        return;
    }
    if (m_mainWindow->exportDialog().execute())
        exportSelection(m_mainWindow->exportDialog().fileName());
}
