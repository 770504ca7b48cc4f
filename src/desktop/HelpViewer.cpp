// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/HelpViewer.h"
#include "desktop/DesktopShell.h"
#include "core/SaveFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <stdexcept>

bool HelpViewer::showContents()
{
    QFile builtIn(QStringLiteral(":/help/jotwell-help.html"));
    if (helpFile.isEmpty() || !builtIn.open(QIODevice::ReadOnly))
        return false;
    const QByteArray page = builtIn.readAll();
    QFile current(helpFile);
    const bool upToDate = current.open(QIODevice::ReadOnly) && current.readAll() == page;
    current.close();
    // A viewer opened on a cut-off or missing page would show nothing and say nothing.
    if (!upToDate && !(QDir().mkpath(QFileInfo(helpFile).absolutePath()) && writeWholeFile(helpFile, page)))
        throw std::runtime_error(
            tr("The help cannot be shown: unable to write the help page to %1").arg(helpFile).toStdString());
    return shell().openUrl(QUrl::fromLocalFile(helpFile));
}
