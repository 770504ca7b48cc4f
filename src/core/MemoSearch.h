#pragma once
#include "core/Memo.h"
#include <QString>

// The search box's text as the filter takes it: without leading and trailing blanks, tabs
// and line breaks (every character below code 33).
QString searchTextOf(const QString &typed);
// Whether the filter shows a memo for the search text: its own text holds the text, case
// and all, or, in a wide search, the text of the memo it belongs to does. A memo whose
// sub-memo is shown is shown too (the caller's part, since it walks the tree).
bool isShownBySearch(const Memo &memo, const Memo *parent, const QString &searchText, bool wide);
