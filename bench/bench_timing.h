#pragma once
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QVector>
#include <algorithm>
#include <functional>

namespace bench {

// Notes whether a paint reached the widget it is installed on.
struct PaintSeen : QObject {
    bool seen = false;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            seen = true;
        return false;
    }
};

struct Figures {
    double median = 0, p95 = 0, best = 0;  // milliseconds
};

// The p quantile (0 to 1) of a sample by nearest rank, as measure() reports
// them: p = 0.5 the median, 0.95 the 95th percentile; -1 for no sample.
template <class Sample>
double quantile(Sample ms, double p)
{
    if (ms.empty())
        return -1;
    std::sort(ms.begin(), ms.end());
    return ms[std::min<int>(int(ms.size()) - 1, int(double(ms.size()) * p))];
}

// Runs fn `runs` times (after one warm-up) and summarises the times.
inline Figures measure(int runs, const std::function<void()> &fn)
{
    fn();
    QVector<double> ms;
    ms.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        fn();
        ms.append(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    Figures f;
    f.best = ms.front();
    f.median = ms[ms.size() / 2];
    f.p95 = ms[std::min<int>(ms.size() - 1, int(ms.size() * 0.95))];
    return f;
}

}  // namespace bench
