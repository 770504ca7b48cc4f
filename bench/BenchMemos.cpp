// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchMemos.h"
#include "BenchSupport.h"
#include "gui/MainWindow.h"
#include "gui/MemoPaneWatch.h"
#include "core/Database.h"
#include "core/MemoId.h"
#include "gui/Program.h"
#include "gui/Prompts.h"
#include "gui/MemoPane.h"
#include "gui/memos/MemoOutput.h"
#include "gui/memos/MemoNode.h"
#include "treeview/MemoTree.h"
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace {

Figures untilPainted(MemoTree *tree, const std::function<void()> &work)
{
    NextPaint paint(tree->viewport());
    return measure([&] {
        work();
        paint.wait();
    });
}

double timeUntilPainted(MemoTree *tree, const std::function<void()> &work)
{
    return untilPainted(tree, work).wallMs;
}

} // namespace

void runMemoBenchmarks(Program &program, int count, const QStringList &names)
{
    MemoPane &frame = *program.mainWindow().memoPane();
    MemoTree *tree = frame.tree();
    auto *listView = frame.findChild<QAction *>(QStringLiteral("listView"));
    auto *searchBox = frame.findChild<QLineEdit *>(QStringLiteral("searchBox"));
    auto *mainMoveToMenu = frame.findChild<QMenu *>(QStringLiteral("mainMoveToMenu"));

    if (wanted(names, "outside-add")) {
        // One memo added by another connection, as jotwell-cli adds it, taken in by the watch's
        // next look until the list has painted it; "-cpu" is the interface thread's share.
        Database other;
        other.open(program.mainWindow().connection().path());
        const QString mid = newMemoId();
        other.execute(QStringLiteral("insert into memos (mid, pid, content, expandFlag, assignTime, createTime, editTime)"
                                     " values ('%1', 'root', 'added from outside', 0, 46000, 46000, 46000)")
                          .arg(mid));
        // The look runs on a thread of its own: the interface thread sleeps until its end.
        MemoPaneWatch &watch = program.paneWatch();
        const Figures added = untilPainted(tree, [&] {
            QEventLoop loop;
            QObject::connect(&watch, &MemoPaneWatch::outsideChangeReloaded, &loop, &QEventLoop::quit);
            QTimer::singleShot(10000, &loop, &QEventLoop::quit);
            watch.check();
            loop.exec();
        });
        const auto shown = [&] {
            for (int i = 0; i < tree->topLevelCount(); ++i) {
                if (memoOf(tree->topLevelNode(i)).mid == mid)
                    return true;
            }
            return false;
        };
        report("outside-add", count, shown() ? added : Figures{-1, -1});
    }

    if (wanted(names, "listview")) {
        report("listview", count, timeUntilPainted(tree, [&] { listView->trigger(); }), "ms");
        timeUntilPainted(tree, [&] { listView->trigger(); });
    }

    if (wanted(names, "scroll")) {
        // Page down until the first thousand rows have gone by.
        QScrollBar *bar = tree->verticalScrollBar();
        bar->setValue(0);
        int pages = 0;
        QElapsedTimer timer;
        timer.start();
        while (tree->nodeAt(QPoint(5, 1)) && bar->value() < bar->maximum()) {
            TreeNode *top = tree->nodeAt(QPoint(5, 1));
            int row = 0;
            for (TreeNode *node = tree->firstNode(); node && node != top; node = tree->nextNode(node))
                row += tree->isEffectivelyVisible(node) ? 1 : 0;
            if (row >= 1000)
                break;
            timeUntilPainted(tree, [&] { bar->triggerAction(QAbstractSlider::SliderPageStepAdd); });
            ++pages;
        }
        report("scroll", count, pages ? elapsedMs(timer) / pages : 0, "ms");
        bar->setValue(0);
    }

    if (wanted(names, "filter")) {
        // One keystroke each: a text about 1 % of the memos hold, and one none holds.
        // The search box takes the focus, as a click into it would.
        QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(searchBox, &focusIn);
        Figures slowest;
        for (const char *text : {"needle", "no such text"}) {
            const Figures one = untilPainted(tree, [&] { searchBox->setText(QLatin1String(text)); });
            slowest = one.wallMs > slowest.wallMs ? one : slowest;
            timeUntilPainted(tree, [&] { searchBox->setText(QString()); });
        }
        frame.findChild<QToolButton *>(QStringLiteral("searchButton"))->click();
        report("filter", count, slowest);
    }

    if (wanted(names, "expand-all")) {
        // Every memo's state changes and is stored, in both directions.
        frame.controller().collapseAll();
        report("expand-all", count, timeUntilPainted(tree, [&] { frame.controller().expandAll(); }), "ms");
        report("collapse-all", count, timeUntilPainted(tree, [&] { frame.controller().collapseAll(); }), "ms");
    }

    if (wanted(names, "moveto-menu")) {
        // A sub-memo is offered every top-level memo: open the menu and then the way down to
        // the last of them, as a user looking for it would.
        for (TreeNode *node = tree->firstNode(); node; node = tree->nextNode(node)) {
            if (node->level() > 0) {
                tree->clearSelection();
                tree->setSelected(node, true);
                break;
            }
        }
        QElapsedTimer timer;
        timer.start();
        QMenu *menu = mainMoveToMenu;
        while (menu) {
            NextPaint paint(menu);
            menu->popup(QPoint(0, 0));
            paint.wait();
            QAction *last = menu->actions().isEmpty() ? nullptr : menu->actions().constLast();
            menu = last ? last->menu() : nullptr;
        }
        report("moveto-menu", count, elapsedMs(timer), "ms");
        mainMoveToMenu->hide();
    }

    if (wanted(names, "report")) {
        // Save all of every memo, in both forms.
        QTemporaryDir dir;
        report("report-html", count,
               measure([&] { frame.output().writeHtmlReport(true, dir.filePath(QStringLiteral("all.html"))); }));
        report("report-text", count,
               measure([&] { frame.output().writeTextReport(true, dir.filePath(QStringLiteral("all.txt"))); }));
    }

    const bool undoDelete = wanted(names, "undo-delete");
    if ((wanted(names, "delete") || undoDelete) && count == 100000) {
        BenchPrompts answers;
        tree->clearSelection();
        for (int i = 0; i < 1000 && i < tree->topLevelCount(); ++i)
            tree->setSelected(tree->topLevelNode(i), true);
        const double deleteMs = timeUntilPainted(tree, [&] { frame.controller().deleteMemos(); });
        if (wanted(names, "delete"))
            report("delete", 1000, deleteMs, "ms");
        // The 1,000 memos and their sub-memos come back in their places.
        if (undoDelete)
            report("undo-delete", 1000, timeUntilPainted(tree, [&] { frame.controller().undoStep(); }), "ms");
    }
}
