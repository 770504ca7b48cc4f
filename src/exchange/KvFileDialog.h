#pragma once
#include "app/Prompts.h"

// A file dialog kept by its owner: it offers the name chosen last, whichever command chose it.
class KvFileDialog {
public:
    KvFileDialog(KvFileRequest::Kind kind, const QString &filter, const QString &defaultExt);
    // Asks through the prompt seam; false when the user cancelled.
    bool Execute();
    QString FileName;
    KvFileRequest Request;
};
