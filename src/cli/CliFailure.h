// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <stdexcept>

// A run that failed: its one line goes to standard error and the tool ends with status 1.
class CliFailure : public std::runtime_error {
public:
    explicit CliFailure(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// A command line the tool cannot run: status 2, with the line and a pointer to --help.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString &message) : std::runtime_error(message.toStdString()) {}
};
