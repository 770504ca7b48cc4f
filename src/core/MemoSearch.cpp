#include "core/MemoSearch.h"
#include "core/MemoText.h"

QString searchTextOf(const QString &typed)
{
    qsizetype start = 0;
    while (start < typed.size() && typed.at(start).unicode() < 33)
        ++start;
    return trimRightControls(typed.mid(start));
}

MemoSearch::MemoSearch(const QString &searchText, bool wide) : m_matcher(searchText, Qt::CaseSensitive), m_wide(wide)
{
}
