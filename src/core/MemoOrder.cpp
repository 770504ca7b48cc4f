// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MemoOrder.h"
#include <algorithm>

int compareMemoTexts(const QString &a, const QString &b)
{
    const auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const int difference = int(fold(a[i].unicode())) - int(fold(b[i].unicode()));
        if (difference != 0)
            return difference < 0 ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
