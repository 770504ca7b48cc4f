// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <stdexcept>
#include <QString>

// Raised by the memo store for every failure of the database engine; its text is the
// engine's own message, ready for the error box.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// Another connection holds the file beyond the wait: the same operation may succeed later.
class DatabaseBusyError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};
