// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <stdexcept>

// A round that could not read or write the sync folder; its text is ready for the user.
class SyncError : public std::runtime_error {
public:
    explicit SyncError(const QString &message) : std::runtime_error(message.toStdString()) {}
};
