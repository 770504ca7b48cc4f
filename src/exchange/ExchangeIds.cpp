#include "exchange/ExchangeIds.h"
#include "store/MemoId.h"

int ExchangeIds::IndexOf(const QString &oldId)
{
    const auto found = FIndex.constFind(oldId);
    if (found != FIndex.constEnd())
        return *found;
    OldIds.append(oldId);
    NewIds.append(NewMemoId());
    FIndex.insert(oldId, int(OldIds.size()) - 1);
    return int(OldIds.size()) - 1;
}

QString ExchangeIds::ForParent(const QString &oldId)
{
    return NewIds.at(IndexOf(oldId));
}

QString ExchangeIds::ForTopLevel(const QString &oldId)
{
    QString id = NewIds.at(IndexOf(oldId));
    if (FStored.contains(id))
        id = NewMemoId();
    FStored.insert(id);
    return id;
}

void ExchangeIds::Clear()
{
    OldIds.clear();
    NewIds.clear();
    FIndex.clear();
    FStored.clear();
}
