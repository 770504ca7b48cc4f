#pragma once
#include "store/DateTime.h"
#include <QString>
#include <functional>

class KvConnection;
class KvQuery;
class Txmltry;
namespace Exchange {
struct RecordKind;
}

// Stores the records of a loaded exchange file: restore keeps the file's ids and asks before
// replacing a stored record; import gives every record a fresh id. Both throw on failure.
// However a run ends, what it stored stays stored, and no memo is left where the tree cannot
// show it (under a missing memo, under itself or under a sub-memo).
class ExchangeReader {
public:
    ExchangeReader(KvConnection &connection, KvQuery &query, Txmltry &xml);

    // The question about replacing a stored record (its content and edit time first, then
    // the file's); the answer is a TReplaceAskDlg result.
    using AskReplace = std::function<int(const Exchange::RecordKind &kind, const QString &storedContent,
                                         TDateTime storedEditTime, const QString &fileContent,
                                         TDateTime fileEditTime)>;
    void Restore(const AskReplace &ask);
    void Import();

    // Throws the mismatch message unless the file says it holds the sibling application's data.
    static void CheckApp(Txmltry &xml);

    // Called before each record with the number of records handled so far.
    std::function<void(qint64 done)> OnRecord;
    int StoredMemos = 0;
    int StoredTasks = 0;

    // An id no record may keep: empty, "root" (the parent id of top-level memos), or holding
    // a character that the file could not carry.
    static bool IsUsableId(const QString &id);

private:
    class Writes;
    void Run(const std::function<void(Writes &)> &body);
    void RestoreKind(const Exchange::RecordKind &kind, const AskReplace &ask, Writes &writes, int &answer);
    void ImportKind(const Exchange::RecordKind &kind);
    void Store(const Exchange::RecordKind &kind, const QString &path, const QString &id, const QString &pid);
    void LiftHiddenMemos();

    KvConnection &FConnection;
    KvQuery &FQuery;
    Txmltry &FXml;
    int FBias;
    qint64 FDone = 0;
};
