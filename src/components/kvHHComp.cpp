#include "components/kvHHComp.h"
#include "app/KvShell.h"
#include "components/KvSaveFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <stdexcept>

bool TKVHHComp::ShowContents()
{
    QFile builtIn(QStringLiteral(":/help/jotwell-help.html"));
    if (HelpFile.isEmpty() || !builtIn.open(QIODevice::ReadOnly))
        return false;
    const QByteArray page = builtIn.readAll();
    QFile current(HelpFile);
    const bool upToDate = current.open(QIODevice::ReadOnly) && current.readAll() == page;
    current.close();
    // A viewer opened on a cut-off or missing page would show nothing and say nothing.
    if (!upToDate && !(QDir().mkpath(QFileInfo(HelpFile).absolutePath()) && WriteWholeFile(HelpFile, page)))
        throw std::runtime_error(
            QStringLiteral("The help cannot be shown: unable to write the help page to %1").arg(HelpFile).toStdString());
    return Shell().openUrl(QUrl::fromLocalFile(HelpFile));
}
