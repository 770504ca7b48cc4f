// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The text of an error as the default error box shows it: a full stop is added when the
// last character's code is above that of the full stop.
QString errorBoxText(const QString &message);
