#include "components/kvHHComp.h"
#include "app/KvShell.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

bool TKVHHComp::ShowContents()
{
    QFile builtIn(QStringLiteral(":/help/jotwell-help.html"));
    if (HelpFile.isEmpty() || !builtIn.open(QIODevice::ReadOnly))
        return false;
    const QByteArray page = builtIn.readAll();
    QFile current(HelpFile);
    const bool upToDate = current.open(QIODevice::ReadOnly) && current.readAll() == page;
    current.close();
    if (!upToDate) {
        QDir().mkpath(QFileInfo(HelpFile).absolutePath());
        QSaveFile file(HelpFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(page) != page.size() || !file.commit())
            return false;
    }
    return Shell().openUrl(QUrl::fromLocalFile(HelpFile));
}
