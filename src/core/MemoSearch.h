// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Memo.h"
#include <QString>
#include <QStringView>

// The search box's text as the filter takes it: without leading and trailing blanks, tabs
// and line breaks (every character below code 33).
QString searchTextOf(const QString &typed);

// What the filter shows for one search text. A memo is shown when its own text holds the
// text, case and all; a sub-memo also, in a wide search, when its memo's text does. A memo
// whose sub-memo is shown is shown too (the caller's part, since it walks the tree).
class MemoSearch {
public:
    MemoSearch(const QString &searchText, bool wide);

    bool matches(const Memo &memo) const { return holds(memo.content); }
    // memoMatches: matches() of the memo the sub-memo belongs to, found once for all of them.
    bool showsSubMemo(const Memo &subMemo, bool memoMatches) const
    {
        return (m_wide && memoMatches) || matches(subMemo);
    }

    bool holds(QStringView text) const; // the search text occurs in text, or is empty

private:
    bool occursAt(const char16_t *start) const;

    QString m_text;
    bool m_wide;
};
