#pragma once
#include "core/TimeStamp.h"
#include <QString>
#include <functional>

class Database;
class Query;
class XmlNavigator;
namespace Exchange {
struct RecordKind;
}

// Stores the records of a loaded exchange file: restore keeps the file's ids and asks before
// replacing a stored record; import gives every record a fresh id. Both throw on failure.
// However a run ends, what it stored stays stored, and no memo is left where the tree cannot
// show it (under a missing memo, under itself or under a sub-memo).
class ExchangeReader {
public:
    ExchangeReader(Database &connection, Query &query, XmlNavigator &xml);

    // The question about replacing a stored record (its content and edit time first, then
    // the file's); the answer is a ReplaceDialog result.
    using AskReplace = std::function<int(const Exchange::RecordKind &kind, const QString &storedContent,
                                         TimeStamp storedEditTime, const QString &fileContent,
                                         TimeStamp fileEditTime)>;
    void restore(const AskReplace &ask);
    void import();

    // Throws the mismatch message unless the file says it holds the sibling application's data.
    static void checkApp(XmlNavigator &xml);

    // Called before each record with the number of records handled so far.
    std::function<void(qint64 done)> onRecord;
    int StoredMemos = 0;
    int StoredTasks = 0;

    // An id no record may keep: empty, "root" (the parent id of top-level memos), or holding
    // a character that the file could not carry.
    static bool isUsableId(const QString &id);

private:
    class Writes;
    void run(const std::function<void(Writes &)> &body);
    void restoreKind(const Exchange::RecordKind &kind, const AskReplace &ask, Writes &writes, int &answer);
    void importKind(const Exchange::RecordKind &kind);
    void store(const Exchange::RecordKind &kind, const QString &path, const QString &id, const QString &pid);
    void liftHiddenMemos();

    Database &m_connection;
    Query &m_query;
    XmlNavigator &m_xml;
    int m_bias;
    qint64 m_done = 0;
};
