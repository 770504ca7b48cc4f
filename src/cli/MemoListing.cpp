// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/MemoListing.h"
#include "cli/CliCommandLine.h"
#include "cli/CliDataFolder.h"
#include "core/IsoTime.h"
#include "core/MemoLevels.h"
#include "core/MemoOrder.h"
#include "core/MemoSearch.h"
#include "core/MemoStore.h"
#include "core/MemoText.h"
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

// A memo may hold control characters pasted from a terminal; written as they are they would
// steer the reader's terminal (colours, the title, the cursor). They are listed as U+FFFD;
// --json gives the exact texts.
QString printable(QString text)
{
    for (QChar &c : text) {
        if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0x7f || (c.unicode() >= 0x80 && c.unicode() < 0xa0))
            c = QChar::ReplacementCharacter;
    }
    return text;
}

template <typename T, typename Key>
void sortStable(std::vector<T> &items, bool ascending, Key key)
{
    std::stable_sort(items.begin(), items.end(), [&](const T &a, const T &b) {
        return ascending ? compareMemoTexts(key(a), key(b)) < 0 : compareMemoTexts(key(b), key(a)) < 0;
    });
}

QJsonObject memoObject(const Memo &memo)
{
    QJsonObject object;
    object.insert(QStringLiteral("id"), memo.mid);
    object.insert(QStringLiteral("text"), memo.content);
    object.insert(QStringLiteral("created"), dateTimeToIso(memo.createTime, true));
    object.insert(QStringLiteral("edited"), dateTimeToIso(memo.editTime, true));
    return object;
}

} // namespace

MemoListing::MemoListing(MemoStore &store, bool ascending)
{
    // One read of the table: the memos under each parent keep the table's order, as the
    // program's per-memo queries give them.
    const Transaction reading = store.transaction();
    std::vector<Memo> all = store.allMemos();
    QHash<QString, std::vector<Memo>> children;
    for (Memo &memo : all) {
        if (MemoLevels::isTopLevel(memo))
            m_entries.push_back(Entry{memo, {}, true, {}, memo.expandFlag});
        else
            children[memo.pid].push_back(std::move(memo));
    }
    for (Entry &entry : m_entries) {
        const auto found = children.find(entry.memo.mid);
        if (found != children.end()) {
            entry.subMemos = std::move(*found);
            sortStable(entry.subMemos, ascending, [](const Memo &memo) -> const QString & { return memo.content; });
        }
        entry.subShown.assign(entry.subMemos.size(), true);
    }
    sortStable(m_entries, ascending, [](const Entry &entry) -> const QString & { return entry.memo.content; });
}

void MemoListing::filter(const QString &searchText, bool wide)
{
    m_searchText = searchText;
    m_wide = wide;
    if (searchText.isEmpty())
        return;
    const MemoSearch search(searchText, wide);
    for (Entry &entry : m_entries) {
        const bool memoMatches = search.matches(entry.memo);
        entry.shown = memoMatches;
        for (size_t i = 0; i < entry.subMemos.size(); ++i) {
            entry.subShown[i] = search.showsSubMemo(entry.subMemos[i], memoMatches);
            entry.shown = entry.shown || entry.subShown[i];
            entry.expanded = entry.expanded || entry.subShown[i];
        }
    }
}

MemoSelection MemoListing::selection() const
{
    MemoSelection selection;
    const MemoSearch search(m_searchText, m_wide);
    for (const Entry &entry : m_entries) {
        if (!entry.shown)
            continue;
        if (m_searchText.isEmpty() || search.matches(entry.memo)) {
            SelectedMemo picked{&entry.memo, true, {}};
            for (const Memo &sub : entry.subMemos)
                picked.subMemos.push_back(&sub);
            selection.push_back(std::move(picked));
            continue;
        }
        for (size_t i = 0; i < entry.subMemos.size(); ++i) {
            if (entry.subShown[i])
                selection.push_back(SelectedMemo{&entry.subMemos[i], false, {}});
        }
    }
    return selection;
}

MemoSelection MemoListing::visibleMemos() const
{
    MemoSelection selection;
    for (const Entry &entry : m_entries) {
        if (!entry.shown)
            continue;
        SelectedMemo picked{&entry.memo, true, {}};
        for (const Memo &sub : entry.subMemos)
            picked.subMemos.push_back(&sub);
        selection.push_back(std::move(picked));
        for (size_t i = 0; entry.expanded && i < entry.subMemos.size(); ++i) {
            if (entry.subShown[i])
                selection.push_back(SelectedMemo{&entry.subMemos[i], false, {}});
        }
    }
    return selection;
}

QByteArray MemoListing::text(bool withIds) const
{
    QString out;
    const auto line = [&out, withIds](const Memo &memo, const QString &indent) {
        out += indent;
        if (withIds)
            out += printable(memo.mid) + QLatin1Char(' ');
        out += printable(flattenLineBreaks(memo.content));
        out += QLatin1Char('\n');
    };
    for (const Entry &entry : m_entries) {
        if (!entry.shown)
            continue;
        line(entry.memo, QString());
        for (size_t i = 0; i < entry.subMemos.size(); ++i) {
            if (entry.subShown[i])
                line(entry.subMemos[i], QStringLiteral("    "));
        }
    }
    return out.toUtf8();
}

QByteArray MemoListing::json() const
{
    QJsonArray memos;
    for (const Entry &entry : m_entries) {
        if (!entry.shown)
            continue;
        QJsonObject object = memoObject(entry.memo);
        QJsonArray subMemos;
        for (size_t i = 0; i < entry.subMemos.size(); ++i) {
            if (entry.subShown[i])
                subMemos.append(memoObject(entry.subMemos[i]));
        }
        object.insert(QStringLiteral("subMemos"), subMemos);
        memos.append(object);
    }
    return QJsonDocument(memos).toJson(QJsonDocument::Indented);
}

MemoListing filteredListing(CliDataFolder &folder, const CliCommandLine &line)
{
    MemoListing listing(folder.store(), folder.ascending());
    if (line.isSet(QStringLiteral("search")))
        listing.filter(searchTextOf(line.value(QStringLiteral("search"))), line.isSet(QStringLiteral("wide")));
    return listing;
}
