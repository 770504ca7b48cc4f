// SPDX-License-Identifier: GPL-3.0-or-later
// Export of the selected memos to an exchange file.
#include "gui/MainWindow.h"
#include "gui/Prompts.h"
#include "core/VersionInfo.h"
#include "core/MemoSelection.h"
#include "core/XmlNavigator.h"
#include "gui/MemoPane.h"

bool MemoPane::exportSelection(const QString &fileName)
{
    XmlNavigator xml;
    buildSelectionExport(xml, selection(), m_mainWindow->versionInfo()->fileVersion());
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
    if (m_controller->editNode())
        return;
    if (!m_tree->firstSelected()) {
        warningBox(tr("Please select a memo!"));
        return;
    }
    if (m_mainWindow->exportDialog().execute())
        exportSelection(m_mainWindow->exportDialog().fileName());
}
