// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>
#include <QWidget>
#include "gui/MainWindow.h"
#include "gui/MemoPane.h"
#include "gui/Prompts.h"
#include "treeview/MemoTree.h"
#include <cstdio>
#include <ctime>

// Prints one measurement as "BENCH <name> <N> <value> <unit>".
inline void report(const char *name, int count, double value, const char *unit)
{
    std::printf("BENCH %s %d %.0f %s\n", name, count, value, unit);
    std::fflush(stdout);
}

// Whether a measurement was asked for; all are when none is named.
inline bool wanted(const QStringList &names, const char *name)
{
    return names.isEmpty() || names.contains(QLatin1String(name));
}

inline double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// The processor time this thread has used: on a machine shared with other work it varies far
// less than the time on the clock, so "-cpu" figures stand beside the clock's.
inline double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// One run's clock time and this thread's processor time.
struct Figures {
    double wallMs = 0;
    double cpuMs = 0;
};

template <typename Work>
Figures measure(Work work)
{
    const double cpuStart = threadCpuMs();
    QElapsedTimer timer;
    timer.start();
    work();
    return {elapsedMs(timer), threadCpuMs() - cpuStart};
}

// "name" with the clock's time and "name-cpu" with the processor's.
inline void report(const char *name, int count, const Figures &figures)
{
    report(name, count, figures.wallMs, "ms");
    report((QByteArray(name) + "-cpu").constData(), count, figures.cpuMs, "ms");
}

// Runs events until the widget has painted once more.
class NextPaint : public QObject {
public:
    explicit NextPaint(QWidget *widget) : m_widget(widget) { widget->installEventFilter(this); }
    ~NextPaint() override { m_widget->removeEventFilter(this); }
    void wait()
    {
        m_widget->update();
        while (!m_painted)
            QCoreApplication::processEvents();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }

private:
    QWidget *m_widget;
    bool m_painted = false;
};

// Notes the first paint of a memo tree once the list is ready.
class FirstTreePaint : public QObject {
public:
    explicit FirstTreePaint(MainWindow &mainWindow) : m_mainWindow(mainWindow) { qApp->installEventFilter(this); }
    ~FirstTreePaint() override { qApp->removeEventFilter(this); }
    bool seen() const { return m_seen; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        MemoPane *frame = m_mainWindow.memoPane();
        if (event->type() == QEvent::Paint && frame && frame->isReady() && watched == frame->tree()->viewport())
            m_seen = true;
        return false;
    }

private:
    MainWindow &m_mainWindow;
    bool m_seen = false;
};

// Answers every question with OK, every file dialog with one file and every replace question
// with all; anything the program says is printed, since a benchmark run should say nothing.
class BenchPrompts final : public PromptHandler {
public:
    explicit BenchPrompts(const QString &fileName = {}) : m_fileName(fileName) { setPromptHandler(this); }
    ~BenchPrompts() override { setPromptHandler(nullptr); }
    BoxAnswer messageBox(const QString &caption, const QString &text, BoxButtons, BoxIcon) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        return BoxAnswer::Ok;
    }
    bool fileDialog(FileRequest &request) override
    {
        request.fileName = m_fileName;
        return true;
    }
    int execDialog(QDialog &dialog) override
    {
        ++questions;
        if (auto *all = dialog.findChild<QAbstractButton *>(QStringLiteral("all")))
            all->click();
        return dialog.result();
    }
    bool printDialog(QPrinter &) override { return false; }
    int questions = 0;

private:
    QString m_fileName;
};
