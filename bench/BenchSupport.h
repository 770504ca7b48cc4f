#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QWidget>
#include "app/Prompts.h"
#include <cstdio>

// Prints one measurement as "BENCH <name> <N> <value> <unit>".
inline void Report(const char *name, int count, double value, const char *unit)
{
    std::printf("BENCH %s %d %.0f %s\n", name, count, value, unit);
    std::fflush(stdout);
}

// Whether a measurement was asked for; all are when none is named.
inline bool Wanted(const QStringList &names, const char *name)
{
    return names.isEmpty() || names.contains(QLatin1String(name));
}

inline double ElapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Runs events until the widget has painted once more.
class NextPaint : public QObject {
public:
    explicit NextPaint(QWidget *widget) : FWidget(widget) { widget->installEventFilter(this); }
    ~NextPaint() override { FWidget->removeEventFilter(this); }
    void wait()
    {
        FWidget->update();
        while (!FPainted)
            QCoreApplication::processEvents();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            FPainted = true;
        return false;
    }

private:
    QWidget *FWidget;
    bool FPainted = false;
};

// Answers every question with OK, every file dialog with one file and every replace question
// with All; anything the program says is printed, since a benchmark run should say nothing.
class BenchPrompts final : public KvPromptHandler {
public:
    explicit BenchPrompts(const QString &fileName = {}) : FFileName(fileName) { SetPromptHandler(this); }
    ~BenchPrompts() override { SetPromptHandler(nullptr); }
    int messageBox(const QString &caption, const QString &text, int, KvBoxIcon) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        return IDOK;
    }
    bool fileDialog(KvFileRequest &request) override
    {
        request.fileName = FFileName;
        return true;
    }
    int execDialog(QDialog &) override
    {
        ++questions;
        return 10; // All
    }
    bool printDialog(QPrinter &) override { return false; }
    int questions = 0;

private:
    QString FFileName;
};
