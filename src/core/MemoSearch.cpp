#include "core/MemoSearch.h"
#include "core/MemoText.h"

QString searchTextOf(const QString &typed)
{
    qsizetype start = 0;
    while (start < typed.size() && typed.at(start).unicode() < 33)
        ++start;
    return trimRightControls(typed.mid(start));
}

bool isShownBySearch(const Memo &memo, const Memo *parent, const QString &searchText, bool wide)
{
    const auto matches = [&searchText](const Memo &candidate) {
        return candidate.content.contains(searchText, Qt::CaseSensitive);
    };
    return matches(memo) || (parent && wide && matches(*parent));
}
