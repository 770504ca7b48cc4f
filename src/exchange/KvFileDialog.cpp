#include "exchange/KvFileDialog.h"

KvFileDialog::KvFileDialog(KvFileRequest::Kind kind, const QString &filter, const QString &defaultExt)
{
    Request.kind = kind;
    Request.filter = filter;
    Request.defaultExt = defaultExt;
}

bool KvFileDialog::Execute()
{
    KvFileRequest request = Request;
    request.fileName = FileName;
    if (!Prompts().fileDialog(request))
        return false;
    FileName = request.fileName;
    Request.filterIndex = request.filterIndex;
    return true;
}
