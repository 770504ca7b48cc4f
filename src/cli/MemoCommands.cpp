// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that list and change memos: add, edit, delete, move, list.
#include "cli/CliCommands.h"
#include "cli/CliCommandLine.h"
#include "cli/CliDataFolder.h"
#include "cli/CliFailure.h"
#include "cli/MemoListing.h"
#include "core/ExchangeFile.h"
#include "core/MemoLevels.h"
#include "core/NewMemo.h"
#include "core/MemoText.h"
#include <QCoreApplication>
#include <QFile>
#include <optional>

namespace {

// The text typed or piped in, as the program's editor stores it: CR LF line breaks,
// right-trimmed. An empty one is refused: it is far more often a slip than a wish.
QString typedContent(const QString &argument)
{
    QString typed = argument;
    if (argument == QLatin1String("-")) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            throw CliFailure(QCoreApplication::translate("Cli", "Unable to read standard input."));
        typed = QString::fromUtf8(in.readAll());
    }
    const QString content = trimRightControls(Exchange::contentFromFile(typed));
    if (content.isEmpty())
        throw CliFailure(QCoreApplication::translate("Cli", "The memo is empty; nothing was stored."));
    return content;
}

// A memo the program shows: top-level, or a sub-memo of a top-level memo.
Memo shownMemo(MemoStore &store, const QString &id)
{
    const std::optional<Memo> memo = store.findMemo(id);
    if (!memo)
        throw CliFailure(QCoreApplication::translate("Cli", "No memo has the id %1.").arg(id));
    if (MemoLevels::isTopLevel(*memo))
        return *memo;
    const std::optional<Memo> parent = store.findMemo(memo->pid);
    if (!parent || !MemoLevels::isTopLevel(*parent))
        throw CliFailure(QCoreApplication::translate("Cli", "The memo %1 is out of the program's sight; see the check command.").arg(id));
    return *memo;
}

// The top-level memo that id names, or the one a named sub-memo belongs to: the program adds
// beside a selected sub-memo and drops on a sub-memo's memo.
Memo topLevelMemo(MemoStore &store, const QString &id)
{
    const Memo memo = shownMemo(store, id);
    return MemoLevels::isTopLevel(memo) ? memo : *store.findMemo(memo.pid);
}

} // namespace

int addMemo(CliDataFolder &folder, const CliCommandLine &line)
{
    const QString content = typedContent(line.argument(0));
    Transaction writing(folder.database(), Transaction::Lock::Immediate);
    const QString under = line.value(QStringLiteral("under"));
    const Memo memo = newMemo(under.isEmpty() ? MemoLevels::kTopLevelParent : topLevelMemo(folder.store(), under).mid, content);
    folder.store().insert(memo);
    writing.commit();
    writeOut(memo.mid.toUtf8() + '\n');
    return 0;
}

int editMemo(CliDataFolder &folder, const CliCommandLine &line)
{
    const QString content = typedContent(line.argument(1));
    Transaction writing(folder.database(), Transaction::Lock::Immediate);
    const Memo memo = shownMemo(folder.store(), line.argument(0));
    // As in the program, an edit that changes nothing stores nothing, not even its time.
    if (memo.content != content) {
        folder.store().updateText(memo.mid, content, memoClockNow());
        writing.commit();
    }
    return 0;
}

int deleteMemo(CliDataFolder &folder, const CliCommandLine &line)
{
    Transaction writing(folder.database(), Transaction::Lock::Immediate);
    folder.store().removeWithSubMemos(shownMemo(folder.store(), line.argument(0)).mid);
    writing.commit();
    return 0;
}

int moveMemo(CliDataFolder &folder, const CliCommandLine &line)
{
    Transaction writing(folder.database(), Transaction::Lock::Immediate);
    MemoStore &store = folder.store();
    const Memo memo = shownMemo(store, line.argument(0));
    if (line.isSet(QStringLiteral("top"))) {
        if (!MemoLevels::isTopLevel(memo))
            store.move(memo.mid, MemoLevels::kTopLevelParent);
        writing.commit();
        return 0;
    }
    const Memo target = topLevelMemo(store, line.value(QStringLiteral("under")));
    // A memo moved into itself (or one of its own sub-memos) stays where it is.
    if (target.mid == memo.mid)
        return 0;
    // Two levels: a memo that goes into another takes its sub-memos along as the target's,
    // and the target opens, as after a move in the program.
    if (MemoLevels::isTopLevel(memo)) {
        for (const Memo &subMemo : store.children(memo.mid))
            store.move(subMemo.mid, target.mid);
    }
    store.move(memo.mid, target.mid);
    if (!target.expandFlag)
        store.setExpanded(target.mid, true);
    writing.commit();
    return 0;
}

int listMemos(CliDataFolder &folder, const CliCommandLine &line)
{
    const MemoListing listing = filteredListing(folder, line);
    writeOut(line.isSet(QStringLiteral("json")) ? listing.json() : listing.text(line.isSet(QStringLiteral("ids"))));
    return 0;
}

void checkMoveTarget(const CliCommandLine &line)
{
    if (line.isSet(QStringLiteral("top")) == line.isSet(QStringLiteral("under")))
        throw UsageError(QCoreApplication::translate("Cli", "move needs --under ID or --top"));
}
