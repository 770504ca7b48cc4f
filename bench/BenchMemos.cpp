#include "BenchMemos.h"
#include "BenchSupport.h"
#include "app/Fm_Main.h"
#include "app/Program.h"
#include "app/Prompts.h"
#include "memos/Fr_kvMemos.h"
#include "tree/KvVirtualTree.h"
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>

namespace {

double TimeUntilPainted(KvVirtualTree *tree, const std::function<void()> &work)
{
    NextPaint paint(tree->viewport());
    QElapsedTimer timer;
    timer.start();
    work();
    paint.wait();
    return ElapsedMs(timer);
}

} // namespace

void RunMemoBenchmarks(TProgram &program, int count, const QStringList &names)
{
    TkvMemosFrame &frame = *program.mainFm().memosFrame();
    KvVirtualTree *tree = frame.VtMemos;

    if (Wanted(names, "listview")) {
        Report("listview", count, TimeUntilPainted(tree, [&] { frame.Action_ViewList->trigger(); }), "ms");
        TimeUntilPainted(tree, [&] { frame.Action_ViewList->trigger(); });
    }

    if (Wanted(names, "scroll")) {
        // Page down until the first thousand rows have gone by.
        QScrollBar *bar = tree->verticalScrollBar();
        bar->setValue(0);
        int pages = 0;
        QElapsedTimer timer;
        timer.start();
        while (tree->nodeAt(QPoint(5, 1)) && bar->value() < bar->maximum()) {
            KvTreeNode *top = tree->nodeAt(QPoint(5, 1));
            int row = 0;
            for (KvTreeNode *node = tree->firstNode(); node && node != top; node = tree->nextNode(node))
                row += tree->isEffectivelyVisible(node) ? 1 : 0;
            if (row >= 1000)
                break;
            TimeUntilPainted(tree, [&] { bar->triggerAction(QAbstractSlider::SliderPageStepAdd); });
            ++pages;
        }
        Report("scroll", count, pages ? ElapsedMs(timer) / pages : 0, "ms");
        bar->setValue(0);
    }

    if (Wanted(names, "filter")) {
        // One keystroke each: a text about 1 % of the memos hold, and one none holds.
        frame.Edt_SearchEnter();
        double slowest = 0;
        for (const char *text : {"needle", "no such text"}) {
            slowest = std::max(slowest, TimeUntilPainted(tree, [&] { frame.Edt_Search->setText(QLatin1String(text)); }));
            TimeUntilPainted(tree, [&] { frame.Edt_Search->setText(QString()); });
        }
        frame.Btn_SearchClick();
        Report("filter", count, slowest, "ms");
    }

    if (Wanted(names, "expand-all")) {
        // Every memo's state changes and is stored, in both directions.
        frame.Action_CollapseAllExecute();
        Report("expand-all", count, TimeUntilPainted(tree, [&] { frame.Action_ExpandAllExecute(); }), "ms");
        Report("collapse-all", count, TimeUntilPainted(tree, [&] { frame.Action_CollapseAllExecute(); }), "ms");
    }

    if (Wanted(names, "moveto-menu")) {
        // A sub-memo is offered every top-level memo: open the menu and then the way down to
        // the last of them, as a user looking for it would.
        for (KvTreeNode *node = tree->firstNode(); node; node = tree->nextNode(node)) {
            if (node->level() > 0) {
                tree->clearSelection();
                tree->setSelected(node, true);
                break;
            }
        }
        QElapsedTimer timer;
        timer.start();
        QMenu *menu = frame.MainMoveto;
        while (menu) {
            NextPaint paint(menu);
            menu->popup(QPoint(0, 0));
            paint.wait();
            QAction *last = menu->actions().isEmpty() ? nullptr : menu->actions().constLast();
            menu = last ? last->menu() : nullptr;
        }
        Report("moveto-menu", count, ElapsedMs(timer), "ms");
        frame.MainMoveto->hide();
    }

    if (Wanted(names, "report")) {
        // Save All of every memo, in both forms.
        QTemporaryDir dir;
        QElapsedTimer timer;
        timer.start();
        frame.WriteHtmlReport(true, dir.filePath(QStringLiteral("all.html")));
        Report("report-html", count, ElapsedMs(timer), "ms");
        timer.restart();
        frame.WriteTextReport(true, dir.filePath(QStringLiteral("all.txt")));
        Report("report-text", count, ElapsedMs(timer), "ms");
    }

    if (Wanted(names, "delete") && count == 100000) {
        BenchPrompts answers;
        tree->clearSelection();
        for (int i = 0; i < 1000 && i < tree->topLevelCount(); ++i)
            tree->setSelected(tree->topLevelNode(i), true);
        Report("delete", 1000, TimeUntilPainted(tree, [&] { frame.Action_MemoDeleteExecute(); }), "ms");
    }
}
