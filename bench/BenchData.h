// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Fills folder/kvData.kvb with count memos: a quarter of them top-level, the rest sub-memos,
// three under each memo, with texts of one to five lines and 40 to 300 characters. The same
// count always gives the same data.
void generateMemoFolder(const QString &folder, int count);
