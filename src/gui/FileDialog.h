#pragma once
#include "gui/Prompts.h"

// A file dialog kept by its owner: it offers the name chosen last, whichever command chose it.
class FileDialog {
public:
    FileDialog(FileRequest::Kind kind, const QString &filter, const QString &defaultExt);
    // Asks through the prompt seam; false when the user cancelled.
    bool execute();
    QString fileName() const { return m_request.fileName; }
    int filterIndex() const { return m_request.filterIndex; } // from 1, as the filter lists them

private:
    FileRequest m_request;
};
