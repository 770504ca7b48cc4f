#pragma once
#include <QHash>
#include <QSet>
#include <QStringList>

// The import's map from the ids met in a file to the fresh ids given to them: OldIds[k] was
// given NewIds[k]. A lookup finds the first equal entry, as a scan from the start would.
class ExchangeIds {
public:
    // The fresh id of a top-level record. Its parent id may have been asked for already by a
    // sub-record met earlier; a second record with the same id gets an id of its own, since
    // two records must never share one.
    QString forTopLevel(const QString &oldId);
    // The fresh id of a parent, made now if the parent was not met yet.
    QString forParent(const QString &oldId);
    void clear();

    QStringList OldIds;
    QStringList NewIds;

private:
    int indexOf(const QString &oldId);
    QHash<QString, int> m_index;
    QSet<QString> m_stored;
};
