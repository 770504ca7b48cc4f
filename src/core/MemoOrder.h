// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The order of the memo list: negative, zero or positive as a sorts before, with or after
// b. Only the letters a to z are folded; every other character compares by its code.
int compareMemoTexts(const QString &a, const QString &b);
