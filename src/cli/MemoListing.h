// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Memo.h"
#include "core/MemoSelection.h"
#include <QString>
#include <vector>

class CliCommandLine;
class CliDataFolder;
class MemoStore;

// The memo list as the program's tree holds it: top-level memos, each with its sub-memos,
// sorted as the program sorts at start, and what the search filter shows of it.
class MemoListing {
public:
    struct Entry {
        Memo memo;
        std::vector<Memo> subMemos;
        bool shown = true;
        std::vector<bool> subShown;
        bool expanded = false; // as stored, or opened by the filter for a shown sub-memo
    };

    MemoListing(MemoStore &store, bool ascending);

    // Hides what the program's search box hides for the text (already trimmed).
    void filter(const QString &searchText, bool wide);
    const std::vector<Entry> &entries() const { return m_entries; }

    // Every shown top-level memo with all its sub-memos; when filtered, a sub-memo that is
    // shown while its memo does not match on its own goes alone.
    MemoSelection selection() const;
    // What Save All selects: every memo in sight, each with all its sub-memos, and the shown
    // sub-memos of an expanded memo again on their own after it.
    MemoSelection visibleMemos() const;

    // One memo a line, line breaks as blanks, sub-memos indented; ids first when asked.
    QByteArray text(bool withIds) const;
    // The shown memos with their exact texts and times.
    QByteArray json() const;

private:
    std::vector<Entry> m_entries;
    QString m_searchText;
    bool m_wide = false;
};

// The folder's memos in the user's sort order, filtered by the command's --search and --wide.
MemoListing filteredListing(CliDataFolder &folder, const CliCommandLine &line);
