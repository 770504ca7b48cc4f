#pragma once
#include "gui/Prompts.h"

// A file dialog kept by its owner: it offers the name chosen last, whichever command chose it.
class FileDialog {
public:
    FileDialog(FileRequest::Kind kind, const QString &filter, const QString &defaultExt);
    // Asks through the prompt seam; false when the user cancelled.
    bool execute();
    QString FileName;
    FileRequest Request;
};
