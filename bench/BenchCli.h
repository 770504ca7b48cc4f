// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

class Program;

// jotwell-cli run on the folder as a whole process, in milliseconds; a run that fails is told.
double cliMs(const QString &folder, const QStringList &arguments);

// jotwell-cli as whole processes on the loaded program's folder: backup (beside the program's
// own backup of the same rows, measured in the same run) and list. Each figure is the best of
// three runs, so that one hiccup of a busy machine does not decide it.
void runCliBenchmarks(Program &program, const QString &folder, int count, const QStringList &names);
