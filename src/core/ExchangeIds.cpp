#include "core/ExchangeIds.h"
#include "core/MemoId.h"

int ExchangeIds::indexOf(const QString &oldId)
{
    const auto found = m_index.constFind(oldId);
    if (found != m_index.constEnd())
        return *found;
    OldIds.append(oldId);
    NewIds.append(newMemoId());
    m_index.insert(oldId, int(OldIds.size()) - 1);
    return int(OldIds.size()) - 1;
}

QString ExchangeIds::forParent(const QString &oldId)
{
    return NewIds.at(indexOf(oldId));
}

QString ExchangeIds::forTopLevel(const QString &oldId)
{
    QString id = NewIds.at(indexOf(oldId));
    if (m_stored.contains(id))
        id = newMemoId();
    m_stored.insert(id);
    return id;
}

void ExchangeIds::clear()
{
    OldIds.clear();
    NewIds.clear();
    m_index.clear();
    m_stored.clear();
}
