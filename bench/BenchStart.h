// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

// Start-up measured in fresh processes of this benchmark: "start" is the time from starting a
// process to its first painted main window on an empty database, beside "start-bare", a plain
// Qt window started the same way, and "start-bare-widgets", one with a menu bar, a tool bar and
// text (medians of several runs, taken turn about); "rss" and
// "peak-rss" are the resident memory of a program at rest after it painted the count memos
// of folder, and the most it held on the way there.
void runStartBenchmarks(const QString &folder, int count, const QStringList &names);

// The child side: when the arguments ask for a child run, does it and returns true.
bool runStartChild(int argc, char **argv);
