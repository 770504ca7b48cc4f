// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

// Sync between two installations through one folder: the first round of an empty installation
// that takes in all the memos of another (beside jotwell-cli import of the same memos), and one
// changed memo from one installation's commit to the other's database (both rounds, our own
// work without an engine's delay).
void runSyncBenchmarks(const QString &folder, int count, const QStringList &names);
