// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/memos/MemoCommands.h"
#include <QCoreApplication>
#include <functional>
#include <vector>

class ExpandStates;
class MemoHistory;
class MemoTree;

// The steps of the memo commands: what a command recorded, and the tree side of taking a
// step back and again (the database side has been stored by then).
class MemoSteps {
    Q_DECLARE_TR_FUNCTIONS(MemoSteps)

public:
    // refilter: the search filter again after memos came or went.
    MemoSteps(MemoTree &tree, MemoStore &store, MemoHistory &history, ExpandStates &expandStates,
              std::function<void()> refilter);

    // Where the tables end before an import: the rows after them are the import's.
    struct RowMarks {
        qint64 memos = 0;
        qint64 tasks = 0;
    };

    void record(const QString &name, MemoRows before, MemoRows after);
    void recordImport(const RowMarks &marks);

    // target's memos shown in their places and selected where they come back, other's memos
    // that target lacks gone.
    void showRows(const MemoRows &target, const MemoRows &other);
    void showExpanded(const std::vector<QString> &mids, bool expanded);

private:
    MemoTree &m_tree;
    MemoStore &m_store;
    MemoHistory &m_history;
    ExpandStates &m_expandStates;
    std::function<void()> m_refilter;
};
