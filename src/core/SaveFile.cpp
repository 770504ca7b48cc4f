// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SaveFile.h"
#include <unistd.h>

bool openWholeFile(QSaveFile &file)
{
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool writeAll(QSaveFile &file, const QByteArray &bytes)
{
    return file.write(bytes) == bytes.size() && file.error() == QFileDevice::NoError;
}

bool commitWholeFile(QSaveFile &file)
{
    // A backup that is renamed into place before its bytes are on the disk can be lost with
    // the old one at a power cut.
    const bool written = file.flush() && file.error() == QFileDevice::NoError && ::fsync(file.handle()) == 0;
    if (!written) {
        file.cancelWriting(); // the temporary file goes with the object; the old file stays
        return false;
    }
    return file.commit();
}

bool writeWholeFile(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    return openWholeFile(file) && writeAll(file, bytes) && commitWholeFile(file);
}
