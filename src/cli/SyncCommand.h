// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

class Database;
class SettingsFile;

// jotwell-cli sync: one round through the folder given, else the one in the settings; with
// status, what the last rounds did instead. The exit status.
int runSyncCommand(Database &database, const SettingsFile &settings, const QString &folder, bool status);
