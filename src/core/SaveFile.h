// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QSaveFile>
#include <QString>

// files the program writes are whole or not there: the new text goes to a temporary file that
// replaces the old one only when every byte reached the disk. QSaveFile alone is not enough:
// a write that fails inside its buffer (a full disk) can still let commit() succeed.

// Opens a file for writing as a whole, unbuffered, so that a failed write shows at once.
bool openWholeFile(QSaveFile &file);
// Writes all of bytes; false when any of it did not reach the file.
bool writeAll(QSaveFile &file, const QByteArray &bytes);
// Flushes to the disk and puts the file in place of the old one; on any earlier or present
// failure the old file stays untouched and the temporary one is removed.
bool commitWholeFile(QSaveFile &file);
// The three in one, for a file written from memory.
bool writeWholeFile(const QString &fileName, const QByteArray &bytes);
