// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/Prompts.h"

// A file dialog kept by its owner: it offers the name and the file type chosen last, whichever
// command chose them.
class FileDialog {
public:
    FileDialog(FileRequest::Kind kind, const QStringList &nameFilters, const QString &defaultExt);
    // Asks through the prompt seam; false when the user cancelled.
    bool execute();
    QString fileName() const { return m_request.fileName; }
    qsizetype chosenFilter() const { return m_request.chosenFilter; } // an index into the name filters

private:
    FileRequest m_request;
};
