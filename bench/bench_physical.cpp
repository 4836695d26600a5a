// The database's own structure in the browser, at 10,000 tables of 30
// fields with their physical tables (as the generator makes them: a few
// holding rows, a little drift), on the local source: the window thread's longest stall while "显示实际结构" reads
// the catalog and compares it with the dictionary (from the click until the
// columns are shown), then turning the box on (and off) once loaded, until
// both grids have painted.
//
//   bench_physical [--tables N] [--quick]
#include "bench_fixture.h"
#include "bench_timing.h"
#include "browser_driver.h"
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

int quietBox(const QString &prompt, int, const QString &title)
{
    std::fprintf(stderr, "message box \"%s\": %s\n", qPrintable(title), qPrintable(prompt));
    return ui::vbOK;
}

bool openBrowserOn(const QString &folder)
{
    brtest::startProgram();
    ui::setMsgBoxHandler(quietBox);
    brtest::logIn(folder);
    brtest::clickOk();
    return ::Form2.isLoaded() && ::Form2->Visible() && QTest::qWaitForWindowActive(::Form2->widget());
}

void click(ui::CheckBox &box)
{
    QTest::mouseClick(box.checkBox(), Qt::LeftButton, {}, QPoint(6, box.checkBox()->height() / 2));
}

// The window thread's own processor time, apart from the time the system
// gave to other threads (on a busy machine a gap between two timer ticks
// is mostly other processes' turn).
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// From the click until the extra columns show, with the longest gap
// between two runs of the event loop (a 2 ms precise timer), and the most
// processor time the window thread spent within one such gap.
struct Load {
    double ms = -1, worstGapMs = -1, worstBusyMs = -1;
};

Load timeLoad(browser::Form2 &b)
{
    Load f;
    QElapsedTimer load, gap;
    double worst = 0, worstBusy = 0, cpu = threadCpuMs();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        worst = std::max(worst, gap.nsecsElapsed() / 1e6);
        const double now = threadCpuMs();
        worstBusy = std::max(worstBusy, now - cpu);
        cpu = now;
        gap.restart();
    });
    load.start();
    gap.start();
    tick.start();
    click(b.Check1);
    while (b.DataGrid1.ColumnCount() < 4 && load.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    tick.stop();
    if (b.DataGrid1.ColumnCount() < 4)
        return f;
    f.ms = load.nsecsElapsed() / 1e6;
    f.worstGapMs = worst;
    f.worstBusyMs = worstBusy;
    return f;
}

// The floor: the longest gap between two ticks while two threads of this
// process keep two cores busy (as the two reads do) and the window thread
// does nothing else, for as long as a load takes: what the system's
// scheduling alone costs the window thread on this machine now.
double busyMachineGapMs(double forMs)
{
    std::atomic<bool> stop{false};
    auto spin = [&stop] {
        volatile unsigned long n = 0;
        while (!stop.load())
            n = n + 1;
    };
    QThread *a = QThread::create(spin), *b = QThread::create(spin);
    a->start();
    b->start();
    QElapsedTimer all, gap;
    double worst = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        worst = std::max(worst, gap.nsecsElapsed() / 1e6);
        gap.restart();
    });
    all.start();
    gap.start();
    tick.start();
    while (all.elapsed() < forMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    tick.stop();
    stop = true;
    a->wait();
    b->wait();
    delete a;
    delete b;
    return worst;
}

// One click of the box, until both grids have painted.
double timeToggle(browser::Form2 &b)
{
    bench::PaintSeen tables, fields;
    b.DataGrid1.tableView()->viewport()->installEventFilter(&tables);
    b.DataGrid2.tableView()->viewport()->installEventFilter(&fields);
    QElapsedTimer t;
    t.start();
    click(b.Check1);
    while (!(tables.seen && fields.seen) && t.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    const double ms = tables.seen && fields.seen ? t.nsecsElapsed() / 1e6 : -1;
    b.DataGrid1.tableView()->viewport()->removeEventFilter(&tables);
    b.DataGrid2.tableView()->viewport()->removeEventFilter(&fields);
    return ms;
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    int tables = 10000;
    const int i = int(args.indexOf(QStringLiteral("--tables")));
    if (i > 0 && i + 1 < args.size())
        tables = args.at(i + 1).toInt();
    const bool quick = args.contains(QStringLiteral("--quick"));
    const int loadRuns = quick ? 2 : 5;
    const int toggles = quick ? 10 : 40;

    QTemporaryDir dir;
    QString error;
    std::fprintf(stderr, "bench_physical: making %d tables of 30 fields, with physical tables\n", tables);
    if (!dir.isValid() || !bench::makeDictionary(dir.path(), tables, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    std::vector<double> loads, gaps, busy, on, off;
    for (int r = 0; r < loadRuns; ++r) {
        std::fprintf(stderr, "bench_physical: load %d of %d\n", r + 1, loadRuns);
        if (!openBrowserOn(dir.path())) {
            std::fprintf(stderr, "the browser did not open\n");
            return 1;
        }
        browser::Form2 &b = *::Form2;
        const Load f = timeLoad(b);
        if (f.ms < 0) {
            std::fprintf(stderr, "the structure did not load\n");
            return 1;
        }
        loads.push_back(f.ms);
        gaps.push_back(f.worstGapMs);
        busy.push_back(f.worstBusyMs);
        if (r == loadRuns - 1) {
            QTest::qWait(100);
            for (int k = 0; k < toggles; ++k) {
                off.push_back(timeToggle(b));
                on.push_back(timeToggle(b));
            }
        }
        brtest::endProgram();
    }

    std::fprintf(stderr, "bench_physical: floor\n");
    std::vector<double> floors;
    for (int r = 0; r < loadRuns; ++r)
        floors.push_back(busyMachineGapMs(bench::quantile(loads, 0.5)));
    const double floor = *std::max_element(floors.begin(), floors.end());
    const double stall = *std::max_element(gaps.begin(), gaps.end());

    std::printf("\nphysical structure in the browser, %d tables x 30 fields, local source\n", tables);
    std::printf("%-62s %10s %10s\n", "step", "ours", "target");
    auto line = [](const char *step, double ms, const char *target) {
        std::printf("%-62s %7.1f ms %10s\n", step, ms, target);
    };
    line("window thread's longest stall during the load (max)", stall, "<= 16 ms");
    line("  of which its own processor time (max)", *std::max_element(busy.begin(), busy.end()), "");
    std::printf("%-62s %7.1f ms  (ours %.2fx)\n", "  floor: the same with two busy threads and no work (max)", floor,
                stall / floor);
    line("\"显示实际结构\" on after the load, until painted (p95)", bench::quantile(on, 0.95), "<= 33 ms");
    line("\"显示实际结构\" off, until painted (p95)", bench::quantile(off, 0.95), "");
    line("click until the columns show, first use (median)", bench::quantile(loads, 0.5), "");
    return 0;
}
