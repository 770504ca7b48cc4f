// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QFileInfo>
#include <QString>

// True when a file or folder exists and carries no write permission for anyone. The program
// leaves such a file alone even where the process could write it (as the superuser can), so
// that marking the data read-only always means the same thing.
inline bool isMarkedReadOnly(const QString &path)
{
    const QFileInfo info(path);
    return info.exists()
           && !(info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
}
