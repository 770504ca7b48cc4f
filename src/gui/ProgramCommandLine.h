// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>
#include <optional>

// The program's command line: --data-dir DIR, --help and --version. Answers --help and
// --version, or tells of a wrong command line, on the terminal and returns the exit status
// (2 for a wrong one); returns nothing when the program is to start, with programFolder set.
// Needs an application object for the translations, but no display.
std::optional<int> answerCommandLine(const QStringList &arguments, QString &programFolder);
