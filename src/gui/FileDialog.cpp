// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/FileDialog.h"

FileDialog::FileDialog(FileRequest::Kind kind, const QStringList &nameFilters, const QString &defaultExt)
{
    m_request.kind = kind;
    m_request.nameFilters = nameFilters;
    m_request.defaultExt = defaultExt;
}

bool FileDialog::execute()
{
    FileRequest request = m_request;
    if (!prompts().fileDialog(request))
        return false;
    m_request.fileName = request.fileName;
    m_request.chosenFilter = request.chosenFilter;
    return true;
}
