#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QWidget>
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
