// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/TimeStamp.h"
#include "core/Memo.h"
#include "core/MemoStore.h"
#include "core/Task.h"
#include "core/Transaction.h"
#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <variant>

class XmlNavigator;
namespace Exchange {
struct RecordKind;
class FileRecord;
}

// Stores the records of a loaded exchange file: restore keeps the file's ids and asks before
// replacing a stored record; import gives every record a fresh id. Both throw on failure.
// However a run ends, what it stored stays stored, and no memo is left where the tree cannot
// show it (under a missing memo, under itself or under a sub-memo).
class ExchangeReader {
public:
    // What a run may do with a record whose id is already stored.
    enum class ReplaceAnswer {
        Yes,   // replace this one
        No,    // keep the stored one
        All,   // replace this one and every one that follows without asking
        Abort, // keep this one and stop the run; what was stored stays
    };

    // The caller's side of a run: it decides about replacements (a dialog, or a policy for a
    // script) and hears of progress.
    class Listener {
    public:
        virtual ~Listener() = default;
        // The stored record's content and edit time first, then the file's.
        virtual ReplaceAnswer askReplace(const Exchange::RecordKind &kind, const QString &storedContent,
                                         TimeStamp storedEditTime, const QString &fileContent,
                                         TimeStamp fileEditTime) = 0;
        // Called before each record with the number of records handled so far.
        virtual void progress(qint64 done) { Q_UNUSED(done); }
    };

    ExchangeReader(MemoStore &store, XmlNavigator &xml, Listener &listener);

    void restore();
    void import();

    // Throws the mismatch message unless the file says it holds the sibling application's data.
    static void checkApp(XmlNavigator &xml);

    // The records stored. After a failure, those that reached the disk: within a batch of the
    // caller's, what the caller's batch holds.
    int StoredMemos = 0;
    int StoredTasks = 0;
    // Runs work (restore or import) inside batch, the caller's transaction around the whole
    // run, and commits it. As after any failure, what the run stored before it failed is kept;
    // when the disk refuses that commit too, nothing is stored and the counts say so.
    void runWhole(Transaction &batch, const std::function<void()> &work);
    // What a failed run tells of what it stored, after a blank line.
    QString storedSoFar() const;

    // An id no record may keep: empty, "root" (the parent id of top-level memos), or holding
    // a character that the file could not carry.
    static bool isUsableId(QByteArrayView id);

private:
    class Writes;
    void run(const std::function<void(Writes &)> &body);
    void restoreKind(const Exchange::RecordKind &kind, Writes &writes, ReplaceAnswer &answer);
    void importKind(const Exchange::RecordKind &kind);
    using Record = std::variant<MemoBytes, TaskBytes>;
    Record read(const Exchange::RecordKind &kind, Exchange::FileRecord &record, QByteArrayView id, QByteArrayView pid);
    // Replace stores over a record with the same id; OnlyNew leaves it and returns false.
    enum class Storing { Replace, OnlyNew };
    bool store(const Record &record, Storing how);
    void liftHiddenMemos();
    std::optional<std::pair<QString, TimeStamp>> findStored(const Exchange::RecordKind &kind, const QString &id);

    MemoStore &m_store;
    XmlNavigator &m_xml;
    Listener &m_listener;
    int m_bias;
    qint64 m_done = 0;
};
