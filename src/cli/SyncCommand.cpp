// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SyncCommand.h"
#include "cli/CliFailure.h"
#include "core/SettingsFile.h"
#include "core/sync/SyncRound.h"
#include "core/SettingsKeys.h"
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", line.toLocal8Bit().constData());
}

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toLocalTime().toString(Qt::ISODate) : QCoreApplication::translate("Cli", "never");
}

int showStatus(Database &database, const QString &folder)
{
    const SyncStatus status = syncStatus(database);
    say(QCoreApplication::translate("Cli", "Sync folder: %1")
            .arg(folder.isEmpty() ? QCoreApplication::translate("Cli", "none") : QDir::toNativeSeparators(folder)));
    if (!status.enabled) {
        say(QCoreApplication::translate("Cli", "This database has never synced."));
        return 0;
    }
    say(QCoreApplication::translate("Cli", "Installation: %1").arg(status.installation));
    say(QCoreApplication::translate("Cli", "Last round: %1").arg(timeText(status.lastRound)));
    if (status.lastFailed.isValid() && (!status.lastRound.isValid() || status.lastFailed > status.lastRound))
        say(QCoreApplication::translate("Cli", "Last round failed at %1: %2").arg(timeText(status.lastFailed), status.lastFailure));
    say(QCoreApplication::translate("Cli", "Other computers: %1").arg(status.peers.size()));
    say(QCoreApplication::translate("Cli", "Changes not yet in the folder: %1").arg(status.unsent));
    return 0;
}

} // namespace

int runSyncCommand(Database &database, const SettingsFile &settings, const QString &folder, bool status)
{
    const QString chosen = folder.isEmpty() ? kSyncFolder.read(settings) : folder;
    if (status)
        return showStatus(database, chosen);
    if (chosen.isEmpty())
        throw CliFailure(QCoreApplication::translate("Cli", "No sync folder: give --folder DIR or set syncFolder in the [option] section of %1")
                             .arg(QDir::toNativeSeparators(settings.path())));
    const SyncRoundResult result = runSyncRound(database, chosen);
    say(QCoreApplication::translate("Cli", "Sent %1 changes, received %2.").arg(result.sent).arg(result.received));
    for (const QString &peer : result.damaged)
        std::fprintf(stderr, "jotwell-cli: %s\n",
                     QCoreApplication::translate("Cli", "The files of installation %1 hold a damaged record; its changes after it are not read.")
                         .arg(peer).toLocal8Bit().constData());
    return result.damaged.isEmpty() ? 0 : 1;
}
