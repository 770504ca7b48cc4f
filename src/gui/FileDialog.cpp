#include "gui/FileDialog.h"

FileDialog::FileDialog(FileRequest::Kind kind, const QString &filter, const QString &defaultExt)
{
    Request.kind = kind;
    Request.filter = filter;
    Request.defaultExt = defaultExt;
}

bool FileDialog::execute()
{
    FileRequest request = Request;
    request.fileName = FileName;
    if (!prompts().fileDialog(request))
        return false;
    FileName = request.fileName;
    Request.filterIndex = request.filterIndex;
    return true;
}
