// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QSet>

// The import's map from the ids met in a file to the fresh ids given to them, both as the
// UTF-8 the records read and store: an import asks twice per record, so no id is converted.
class ExchangeIds {
public:
    // The fresh id of a top-level record. Its parent id may have been asked for already by a
    // sub-record met earlier; a second record with the same id gets an id of its own, since
    // two records must never share one.
    QByteArray forTopLevel(QByteArrayView oldId);
    // The fresh id of a parent, made now if the parent was not met yet.
    QByteArray forParent(QByteArrayView oldId);

private:
    QHash<QByteArray, QByteArray> m_newIds;
    QSet<QByteArray> m_stored;
};
