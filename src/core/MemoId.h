// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

// A fresh id for a memo or task: a new GUID, braced, upper-case, 38 characters.
QString newMemoId();
// The same as the UTF-8 the database stores, for the import's hundreds of thousands.
QByteArray newMemoIdUtf8();
