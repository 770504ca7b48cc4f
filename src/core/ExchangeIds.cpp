// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ExchangeIds.h"
#include "core/MemoId.h"

QByteArray ExchangeIds::forParent(QByteArrayView oldId)
{
    // Looked up in place; only an id met for the first time is copied.
    const auto found = m_newIds.constFind(QByteArray::fromRawData(oldId.data(), oldId.size()));
    if (found != m_newIds.constEnd())
        return *found;
    return *m_newIds.insert(oldId.toByteArray(), newMemoIdUtf8());
}

QByteArray ExchangeIds::forTopLevel(QByteArrayView oldId)
{
    QByteArray id = forParent(oldId);
    if (m_stored.contains(id))
        id = newMemoIdUtf8();
    m_stored.insert(id);
    return id;
}
