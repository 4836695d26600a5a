// What a user waits for, end to end on the SQL Server path (the windows,
// ODBC, FreeTDS, the TDS test server over loopback), side by side with the
// raw FreeTDS client (tsql) running the same statements on the same server
// in the same run, and for the moves between tables with Qt's own views
// doing the same repaint plainly.
//
//   bench_ui [--sizes 500,2000,10000] [--quick]     the driver: prints the table
//   bench_ui --memory DATASOURCE [KEYS]              child: peak memory, browser open
//   bench_ui --startup | --startup-bare              child: time to the first painted window
//   bench_ui --profile click|key|module|open DATASOURCE [N]
//                                                    repeats one step, for a profiler
//                                                    (BENCH_PAINTS=1: list what the last one painted)
//
// The children and --profile take a running test server (password "bench-pw")
// serving a dictionary with account 001 and year 2009.
//
// Runs on the offscreen platform; message boxes are answered at once and
// counted (none is expected).
#include "bench_server.h"
#include "bench_fixture.h"
#include "bench_timing.h"
#include "browser/captions.h"
#include "browser/form2.h"
#include "data/connection.h"
#include "data/public_ado.h"
#include "data/statements.h"
#include "dictionary_generator.h"
#include "login/form1.h"
#include "ui/form.h"
#include "ui/program_resources.h"
#include "ui/runtime.h"
#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include "browser_driver.h"
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QSet>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <random>
#include <vector>

namespace {

const QString Password = QStringLiteral("bench-pw");
const QString Catalog = QStringLiteral("svdata_001_2009");

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double msSince(qint64 startNs) { return (monotonicNs() - startNs) / 1e6; }

// Quantiles of the runs that worked (a failed run is recorded as -1).
double percentile(std::vector<double> v, double p)
{
    v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
    return bench::quantile(v, p);
}
double median(const std::vector<double> &v) { return percentile(v, 0.5); }

int messageBoxes = 0;
int quietBox(const QString &prompt, int, const QString &title)
{
    ++messageBoxes;
    std::fprintf(stderr, "message box \"%s\": %s\n", qPrintable(title), qPrintable(prompt));
    return ui::vbOK;
}

// ---------------------------------------------------------------------------
// Waiting for what the user sees: the first paint of given widgets.

class PaintWatch : public QObject {
public:
    // When the first of the armed widgets started to paint; 0 until then.
    qint64 firstPaintNs = 0;

    // Widgets whose next paint is waited for.
    void arm(std::initializer_list<QWidget *> widgets)
    {
        pending_.clear();
        firstPaintNs = 0;
        for (QWidget *w : widgets) {
            pending_.insert(w);
            w->installEventFilter(this);
        }
    }
    // Lets the window work run until every armed widget has painted (or
    // timeoutMs passed); false on the time-out.
    bool wait(int timeoutMs = 5000)
    {
        QElapsedTimer t;
        t.start();
        while (!pending_.isEmpty() && t.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        return pending_.isEmpty();
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            if (pending_.contains(o) && firstPaintNs == 0)
                firstPaintNs = monotonicNs();
            pending_.remove(o);
        }
        return false;
    }

private:
    QSet<QObject *> pending_;
};

// The browser's field grid, whatever window holds it, painted for the first time.
class FirstBrowserPaint : public QObject {
public:
    FirstBrowserPaint() { qApp->installEventFilter(this); }
    ~FirstBrowserPaint() override { qApp->removeEventFilter(this); }
    bool wait(int timeoutMs)
    {
        QElapsedTimer t;
        t.start();
        while (!seen_ && t.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        return seen_;
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (!seen_ && e->type() == QEvent::Paint) {
            browser::Form2 *b = ::Form2.loaded();
            if (b && o == b->DataGrid2.tableView()->viewport())
                seen_ = true;
        }
        return false;
    }

private:
    bool seen_ = false;
};

// The same visible work as the browser's for a move, done plainly: Qt's own
// table views over standard item models (default delegate, no caches of
// ours), where the browser has its grids, in their fonts: the table list
// scrolled to the row and the row highlighted, the field list refilled
// with the same rows and texts, and both repainted.
class PlainBrowser {
public:
    explicit PlainBrowser(browser::Form2 &b)
    {
        window_.setAttribute(Qt::WA_ShowWithoutActivating);
        window_.resize(b.widget()->size());
        QTableView *grids[2] = {b.DataGrid1.tableView(), b.DataGrid2.tableView()};
        for (int i = 0; i < 2; ++i) {
            QTableView &v = views_[i];
            v.setParent(&window_);
            v.setModel(&models_[i]);
            v.setFont(grids[i]->font());
            v.horizontalHeader()->setFont(grids[i]->horizontalHeader()->font());
            v.verticalHeader()->setDefaultSectionSize(grids[i]->verticalHeader()->defaultSectionSize());
            v.setSelectionBehavior(QAbstractItemView::SelectRows);
            v.setGeometry(grids[i]->geometry());
        }
        QStringList headers;
        fill(models_[0], rowsOf(grids[0], &headers), headers);
        window_.show();
        if (!QTest::qWaitForWindowExposed(&window_))
            std::fprintf(stderr, "the plain views' window was not exposed\n");
    }
    // The grid's rows and texts now.
    static QVector<QStringList> rowsOf(QTableView *grid, QStringList *headers)
    {
        const QAbstractItemModel *m = grid->model();
        headers->clear();
        for (int c = 0; c < m->columnCount(); ++c)
            *headers << m->headerData(c, Qt::Horizontal).toString();
        QVector<QStringList> rows;
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < m->columnCount(); ++c)
                row << m->index(r, c).data().toString();
            rows << row;
        }
        return rows;
    }
    // Moves to the table row and shows the field rows; the time in ms until
    // the field list painted.
    double move(int tableRow, const QVector<QStringList> &fields, const QStringList &headers)
    {
        PaintWatch watch;
        watch.arm({views_[1].viewport()});
        const qint64 t0 = monotonicNs();
        QTableView &tables = views_[0];
        const QModelIndex index = models_[0].index(tableRow, 0);
        tables.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                            | QItemSelectionModel::Rows);
        tables.scrollTo(index);
        fill(models_[1], fields, headers);
        return watch.wait() ? msSince(t0) : -1;
    }

private:
    static void fill(QStandardItemModel &model, const QVector<QStringList> &rows, const QStringList &headers)
    {
        model.clear();
        model.setHorizontalHeaderLabels(headers);
        for (const QStringList &row : rows) {
            QList<QStandardItem *> items;
            for (const QString &text : row)
                items << new QStandardItem(text);
            model.appendRow(items);
        }
    }

    QWidget window_;
    QTableView views_[2];
    QStandardItemModel models_[2];
};

// ---------------------------------------------------------------------------
// Driving the program as a user does.

// Settling the event loop and ending the program as the browser tests do.
using brtest::endProgram;
using brtest::settle;

// A fresh login window, server and password typed, the account list loaded
// by tabbing into the account box; false when that failed.
bool logIn(const QString &server)
{
    endProgram();
    ::Form1.Load();
    if (!QTest::qWaitForWindowExposed(::Form1->widget()))
        return false;
    brtest::logIn(server, Password);
    settle();
    login::Form1 &f = *::Form1;
    return f.Combo1.ListCount() > 0 && f.Command1.Enabled();
}

// OK, until the browser has painted its field grid; the time in ms, or -1.
double clickOkUntilBrowserPainted(double *handlerMs = nullptr)
{
    FirstBrowserPaint painted;
    const qint64 t0 = monotonicNs();
    QTest::mouseClick(::Form1->Command1.button(), Qt::LeftButton);
    if (handlerMs)
        *handlerMs = msSince(t0);
    const bool ok = painted.wait(20000);
    const double ms = msSince(t0);
    browser::Form2 *b = ::Form2.loaded();
    if (!ok || !b || !b->Visible() || b->Label1.Caption().isEmpty())
        return -1;
    return ms;
}

// ---------------------------------------------------------------------------
// Child processes: start-up and peak memory.

// Prints the monotonic clock once the window has painted, then ends.
int startupChild(int argc, char **argv, bool bare)
{
    QApplication app(argc, argv);
    QWidget *window = nullptr;
    std::unique_ptr<QWidget> plain;
    if (bare) {
        // The toolkit alone: a window of the login window's size with one
        // edit field, so that the font database is loaded as for any text.
        plain = std::make_unique<QWidget>();
        plain->resize(480, 330);
        auto *edit = new QLineEdit(QStringLiteral("(local)"), plain.get());
        edit->move(20, 20);
        plain->show();
        window = plain.get();
    } else {
        // What the program's main does before its event loop.
        QApplication::setApplicationName(QStringLiteral("datadict"));
        QApplication::setApplicationVersion(QStringLiteral("1.00.0001"));
        QApplication::setWindowIcon(ui::programIcon());
        app.setQuitOnLastWindowClosed(false);
        ui::setProgramTitle(QStringLiteral("StravikR2/P5数据字典工具"));
        ::Form1.Load();
        window = ::Form1->widget();
    }
    bench::PaintSeen painted;
    window->installEventFilter(&painted);
    QElapsedTimer guard;
    guard.start();
    while (!painted.seen && guard.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    // The paint has been delivered once processEvents returns.
    std::printf("ready %lld\n", static_cast<long long>(monotonicNs()));
    std::fflush(stdout);
    return painted.seen ? 0 : 1;
}

// Logs in, opens the browser, types a few names; prints the peak resident
// memory before OK and at the end.
int memoryChild(const QString &server, int keys)
{
    ui::setMsgBoxHandler(quietBox);
    if (!logIn(server))
        return 1;
    const double beforeOk = bench::peakResidentMB();
    if (clickOkUntilBrowserPainted() < 0)
        return 1;
    browser::Form2 *b = ::Form2.loaded();
    QLineEdit *edit = b->Combo1.comboBox()->lineEdit();
    const int count = b->Combo1.ListCount();
    for (int i = 0; i < keys && count > 0; ++i) {
        const QString name = b->Combo1.List((i * 7919) % count);
        edit->setText(name.left(name.size() - 1));
        QTest::keyClick(edit, name.back().toLatin1());
    }
    settle();
    const double open = bench::peakResidentMB();
    std::printf("memory %.1f %.1f\n", beforeOk, open);
    std::fflush(stdout);
    endProgram();
    return 0;
}

// For a profiler: opens the browser and repeats one step, printing how the
// time splits between the handler (the event until it returns) and the
// painting that follows.
int profileChild(const QString &step, const QString &server, int count)
{
    ui::setMsgBoxHandler(quietBox);
    if (step == QLatin1String("open")) {
        std::vector<double> handler, painted;
        for (int i = 0; i < count; ++i) {
            double h = 0;
            if (!logIn(server))
                return 1;
            painted.push_back(clickOkUntilBrowserPainted(&h));
            handler.push_back(h);
        }
        std::printf("open x%d: handler median %.3f ms, until painted median %.3f ms\n", count,
                    median(handler), median(painted));
        endProgram();
        return 0;
    }
    if (!logIn(server) || clickOkUntilBrowserPainted() < 0)
        return 1;
    browser::Form2 &b = *::Form2.loaded();
    QLineEdit *edit = b.Combo1.comboBox()->lineEdit();
    QTableView *view = b.DataGrid1.tableView();
    PaintWatch watch;
    std::vector<double> handler, paint, until;
    const int n = b.Combo1.ListCount();
    std::mt19937 random(7);
    for (int i = 0; i < count; ++i) {
        const int row = int(random() % unsigned(n));
        const QString name = b.Combo1.List(row);
        QPoint at;
        if (step == QLatin1String("click")) {
            const QModelIndex index = view->model()->index(row, 0);
            view->scrollTo(index);
            at = view->visualRect(index).center();
        } else {
            edit->setText(name.left(name.size() - 1));
        }
        settle();
        watch.arm({b.DataGrid2.tableView()->viewport()});
        const qint64 t0 = monotonicNs();
        if (step == QLatin1String("click"))
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        else if (step == QLatin1String("key"))
            QTest::keyClick(edit, name.back().toLatin1());
        else if (step == QLatin1String("module"))
            QTest::keyClick(b.Combo2.comboBox(), i % 2 ? Qt::Key_Up : Qt::Key_Down);
        const qint64 t1 = monotonicNs();
        struct Count : QObject {
            QStringList seen;
            bool eventFilter(QObject *o, QEvent *e) override
            {
                if (e->type() == QEvent::Paint) {
                    const QRect r = static_cast<QPaintEvent *>(e)->rect();
                    seen << QStringLiteral("%1/%2 %3x%4").arg(QString::fromLatin1(o->metaObject()->className()),
                        o->parent() ? QString::fromLatin1(o->parent()->metaObject()->className()) : QString())
                        .arg(r.width()).arg(r.height());
                }
                return false;
            }
        } counter;
        if (i == count - 1 && qEnvironmentVariableIsSet("BENCH_PAINTS"))
            qApp->installEventFilter(&counter);
        watch.wait();
        handler.push_back((t1 - t0) / 1e6);
        paint.push_back(msSince(t1));
        until.push_back(watch.firstPaintNs ? (watch.firstPaintNs - t1) / 1e6 : -1);
        for (int k = 0; k < 3; ++k)
            QCoreApplication::processEvents();
        qApp->removeEventFilter(&counter);
        if (!counter.seen.isEmpty())
            std::printf("paints: %s\n", qPrintable(counter.seen.join(QStringLiteral(", "))));
    }
    std::printf("%s x%d: handler median %.3f ms, painting median %.3f ms (of which before the paint starts %.3f ms)\n",
                qPrintable(step), count, median(handler), median(paint), median(until));
    endProgram();
    return 0;
}

// ---------------------------------------------------------------------------
// The driver.

struct Row {
    QString step;
    int size = 0;
    double ours = -1, floor = -1;
    QString unit = QStringLiteral("ms");
    QString target;
};

std::vector<Row> rows;
QStringList notes;

void addRow(const QString &step, int size, double ours, double floor, const QString &target,
            const QString &unit = QStringLiteral("ms"))
{
    rows.push_back({step, size, ours, floor, unit, target});
}

const QStringList Trivial = {QStringLiteral("select 1")};

// The raw client on one server. Every timed run is followed by a run of
// the baseline it is measured against, so that the baselines are taken
// interleaved with everything else; their median is what gets subtracted.
class RawClient {
public:
    explicit RawClient(const bench::TdsServer &server) : server_(server), refused_(bench::refusedPort()) {}

    // tsql logging in and running the statements, then one baseline run:
    // tsql logging in and running 'select 1'.
    double run(const QStringList &statements)
    {
        const double t = ms(server_.port(), statements);
        loggedIn_.push_back(ms(server_.port(), Trivial));
        return t;
    }
    // The same, with tsql started against a port that refuses the
    // connection as the baseline (process start and library set-up only).
    double runWithLogin(const QStringList &statements)
    {
        const double t = ms(server_.port(), statements);
        started_.push_back(ms(refused_, Trivial, true));
        return t;
    }
    double loggedInBase() const { return median(loggedIn_); }
    double startBase() const { return median(started_); }
    int failures() const { return failures_; }

private:
    double ms(quint16 port, const QStringList &statements, bool mayFail = false)
    {
        const bench::TsqlTime t = bench::timeTsql(port, server_.password(), Catalog, statements);
        if (!t.finished || (!mayFail && t.exitCode != 0)) {
            ++failures_;
            return -1;
        }
        return t.ms;
    }

    const bench::TdsServer &server_;
    quint16 refused_;
    std::vector<double> loggedIn_, started_;
    int failures_ = 0;
};

// Whether a logged statement is one of the dictionary statements (the
// rest, if any, are the driver's own).
bool isDictionaryStatement(const QString &s)
{
    using namespace dd::sql;
    static const QString fieldStem = fieldQuery(QString()).section(QLatin1Char('\''), 0, 0);
    static const QString moduleStem = moduleTablesQuery(QString()).section(QLatin1Char('\''), 0, 0);
    return s == allTablesQuery() || s == moduleQuery() || s.startsWith(fieldStem)
           || s.startsWith(moduleStem);
}

QStringList dictionaryStatements(const QStringList &logged, int *others)
{
    QStringList out;
    *others = 0;
    for (const QString &s : logged) {
        if (isDictionaryStatement(s))
            out << s;
        else
            ++*others;
    }
    return out;
}

QString shortList(const QStringList &statements)
{
    QStringList s;
    for (const QString &t : statements)
        s << t.left(22) + QStringLiteral("...");
    return s.join(QStringLiteral("; "));
}

// 1. From OK to the painted browser.
void benchOpen(bench::TdsServer &server, RawClient &raw, int size, int runs)
{
    std::vector<double> ours, handler, full;
    QStringList statements;
    int others = 0;
    for (int r = -1; r < runs; ++r) {  // run -1 warms up both sides
        if (!logIn(server.dataSource())) {
            notes << QStringLiteral("open %1: login failed").arg(size);
            return;
        }
        server.clearLog();
        double clickMs = 0;
        const double ms = clickOkUntilBrowserPainted(&clickMs);
        if (ms < 0) {
            notes << QStringLiteral("open %1: the browser did not show its fields").arg(size);
            return;
        }
        if (statements.isEmpty()) {
            statements = dictionaryStatements(server.statements(Catalog), &others);
            if (size == 10000 || others > 0)
                notes << QStringLiteral("open %1: the floor runs the %2 dictionary statements the open sent "
                                        "(%3; the all-tables query twice: once by the load, once by "
                                        "selecting 全部模块); %4 other statements")
                             .arg(size).arg(statements.size()).arg(shortList(statements)).arg(others);
        }
        endProgram();
        const double f = raw.runWithLogin(statements);
        if (r < 0)
            continue;
        ours.push_back(ms);
        handler.push_back(clickMs);
        full.push_back(f);
    }
    const double floor = median(full) - raw.startBase();
    addRow(QStringLiteral("browser open, until painted (median)"), size, median(ours), floor, QStringLiteral("<= 1.3x"));
    addRow(QStringLiteral("browser open, OK handler only (median)"), size, median(handler), floor, QString());
}

// The table-name list dropped down, until its entries are painted: first
// in this window (the list sizes itself then), and again.
void benchDropDown(browser::Form2 &b, int size)
{
    QComboBox *box = b.Combo1.comboBox();
    double ms[2] = {-1, -1};
    for (double &m : ms) {
        settle();
        PaintWatch watch;
        watch.arm({box->view()->viewport()});
        const qint64 t0 = monotonicNs();
        box->showPopup();
        if (watch.wait())
            m = (watch.firstPaintNs - t0) / 1e6;
        box->hidePopup();
    }
    addRow(QStringLiteral("table list dropped down, first time"), size, ms[0], -1, QString());
    addRow(QStringLiteral("table list dropped down, again"), size, ms[1], -1, QString());
}

struct Move {
    QString prefix;  // box text before the keystroke
    QChar key;       // the keystroke
    QString table;   // the table it moves to
};

// Keystrokes that each move to another table: for a target table, the
// shortest prefix whose first match (in list order, letter case ignored) is
// that table; the box holds that prefix less its last character, and the
// keystroke types that character. Targets are spread over the whole list.
std::vector<Move> keystrokes(const QStringList &names, int wanted)
{
    std::vector<int> order(names.size());
    for (int i = 0; i < names.size(); ++i)
        order[i] = i;
    std::mt19937 random(20111);
    std::shuffle(order.begin(), order.end(), random);
    std::vector<Move> moves;
    for (int i : order) {
        if (int(moves.size()) >= wanted)
            break;
        const QString name = names[i].toLower();
        int longest = 0;
        for (int j = 0; j < i && longest < name.size(); ++j) {
            const QString other = names[j].toLower();
            int k = 0;
            const int n = std::min(other.size(), name.size());
            while (k < n && other[k] == name[k])
                ++k;
            longest = std::max(longest, k);
        }
        const int length = longest + 1;
        if (length > name.size() || names[i][length - 1].unicode() > 126)
            continue;
        moves.push_back({names[i].left(length - 1), names[i][length - 1], names[i]});
    }
    return moves;
}

// One kind of move (keystroke, click), timed until it returned and until
// the field grid painted, and the raw client's field queries for it.
struct MoveFigures {
    std::vector<double> painted, handler, plain;
    std::vector<std::pair<double, int>> blocks;  // tsql time, queries in it
    int wrong = 0, unpainted = 0, extraStatements = 0;
    QStringList blockTables;

    void record(double paintedMs, double handlerMs, bool paintedOk, bool right, long statements,
                const QString &table)
    {
        painted.push_back(paintedMs);
        handler.push_back(handlerMs);
        unpainted += paintedOk ? 0 : 1;
        wrong += right ? 0 : 1;
        extraStatements += statements == 1 ? 0 : 1;
        blockTables << table;
    }
    // The raw client runs the block's field queries, one batch each.
    void flush(RawClient &raw)
    {
        if (blockTables.isEmpty())
            return;
        QStringList statements;
        for (const QString &t : blockTables)
            statements << dd::sql::fieldQuery(t);
        blocks.push_back({raw.run(statements), int(blockTables.size())});
        blockTables.clear();
    }
    double floorPerQuery(const RawClient &raw) const
    {
        std::vector<double> perQuery;
        for (const auto &b : blocks)
            if (b.first >= 0)
                perQuery.push_back((b.first - raw.loggedInBase()) / b.second);
        return median(perQuery);
    }
};

// The floor of a move: the raw client's field query plus the plain view
// showing the same rows, each at the same quantile.
void report(const QString &what, int size, const MoveFigures &f, const RawClient &raw)
{
    const double query = f.floorPerQuery(raw);
    addRow(what + QStringLiteral(", until painted (p95)"), size, percentile(f.painted, 0.95),
           query + percentile(f.plain, 0.95), QStringLiteral("<= 1.5x"));
    addRow(what + QStringLiteral(", until painted (median)"), size, median(f.painted),
           query + median(f.plain), QString());
    addRow(what + QStringLiteral(", until painted (p99)"), size, percentile(f.painted, 0.99), -1, QString());
    addRow(what + QStringLiteral(", handler only (p95)"), size, percentile(f.handler, 0.95), query, QString());
    notes << QStringLiteral("%1 %2: floor = field query %3 ms + plain views p95 %4 / median %5 ms")
                 .arg(what).arg(size).arg(query, 0, 'f', 2).arg(percentile(f.plain, 0.95), 0, 'f', 2)
                 .arg(median(f.plain), 0, 'f', 2);
    if (f.wrong || f.unpainted || f.extraStatements)
        notes << QStringLiteral("%1 %2: %3 wrong caption, %4 not painted, %5 with other than one statement")
                     .arg(what).arg(size).arg(f.wrong).arg(f.unpainted).arg(f.extraStatements);
}

QString captionOf(const QString &table, browser::Form2 &b)
{
    return browser::fieldCaption(table, b.DataGrid2.RowCount());
}

// The plain browser doing what the browser's move just did.
double timePlain(PlainBrowser &plain, browser::Form2 &b)
{
    QStringList headers;
    const QVector<QStringList> rows = PlainBrowser::rowsOf(b.DataGrid2.tableView(), &headers);
    const double ms = plain.move(b.rsTable.currentRow(), rows, headers);
    settle();
    return ms;
}

// After each timed move the plain views do what it did, and every 25 moves
// the raw client runs their field queries.
void followMove(MoveFigures &f, RawClient &raw, PlainBrowser &plain, browser::Form2 &b)
{
    f.plain.push_back(timePlain(plain, b));
    if (f.blockTables.size() == 25)
        f.flush(raw);
}

// 2. One keystroke in the table-name box.
void benchKeystrokes(RawClient &raw, browser::Form2 &b, int size, int count)
{
    PlainBrowser plain(b);
    QStringList names;
    for (int i = 0; i < b.Combo1.ListCount(); ++i)
        names << b.Combo1.List(i);
    const std::vector<Move> moves = keystrokes(names, count + 1);
    QLineEdit *edit = b.Combo1.comboBox()->lineEdit();
    QWidget *fieldView = b.DataGrid2.tableView()->viewport();
    PaintWatch watch;
    MoveFigures f;
    for (size_t i = 0; i < moves.size(); ++i) {
        const Move &m = moves[i];
        edit->setText(m.prefix);  // by code: no search
        settle();
        watch.arm({fieldView});
        const long before = dd::Connection::statementsRun();
        const qint64 t0 = monotonicNs();
        QTest::keyClick(edit, m.key.toLatin1());
        const double handlerMs = msSince(t0);
        const bool painted = watch.wait();
        const double ms = msSince(t0);
        if (i == 0)
            continue;  // warm-up
        f.record(ms, handlerMs, painted, b.Label1.Caption() == captionOf(m.table, b),
                 dd::Connection::statementsRun() - before, m.table);
        followMove(f, raw, plain, b);
    }
    f.flush(raw);
    if (int(f.painted.size()) < count)
        notes << QStringLiteral("keystroke %1: only %2 keystrokes found").arg(size).arg(f.painted.size());
    report(QStringLiteral("keystroke"), size, f, raw);
}

// 3. A click on a row of the table grid.
void benchClicks(RawClient &raw, browser::Form2 &b, int size, int count)
{
    PlainBrowser plain(b);
    QTableView *view = b.DataGrid1.tableView();
    QWidget *fieldView = b.DataGrid2.tableView()->viewport();
    const int n = b.DataGrid1.RowCount();
    std::mt19937 random(7);
    PaintWatch watch;
    MoveFigures f;
    for (int i = 0; i <= count; ++i) {
        int row = int(random() % unsigned(n));
        if (row == b.rsTable.currentRow())
            row = (row + 1) % n;
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        settle();
        const QString table = index.data().toString();
        const QPoint at = view->visualRect(index).center();
        watch.arm({fieldView});
        const long before = dd::Connection::statementsRun();
        const qint64 t0 = monotonicNs();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        const double handlerMs = msSince(t0);
        const bool painted = watch.wait();
        const double ms = msSince(t0);
        if (i == 0)
            continue;
        f.record(ms, handlerMs, painted,
                 b.Label1.Caption() == captionOf(table, b) && b.rsTable.currentRow() == row,
                 dd::Connection::statementsRun() - before, table);
        followMove(f, raw, plain, b);
    }
    f.flush(raw);
    report(QStringLiteral("row click"), size, f, raw);
}

// 4. A module picked in the module box, and back to "全部模块".
void benchModules(bench::TdsServer &server, RawClient &raw, browser::Form2 &b, int size, int cycles)
{
    QComboBox *box = b.Combo2.comboBox();
    QWidget *tableView = b.DataGrid1.tableView()->viewport();
    QWidget *fieldView = b.DataGrid2.tableView()->viewport();
    PaintWatch watch;
    std::vector<double> ours[2], handler[2], tsql[2];
    QStringList statements[2];
    int others = 0, wrong = 0;
    for (int c = -1; c < cycles; ++c) {
        for (int all = 0; all < 2; ++all) {
            settle();
            server.clearLog();
            watch.arm({tableView, fieldView});
            const qint64 t0 = monotonicNs();
            QTest::keyClick(box, all ? Qt::Key_Up : Qt::Key_Down);
            const double handlerMs = msSince(t0);
            watch.wait();
            const double ms = msSince(t0);
            wrong += (b.Combo2.ListIndex() == (all ? 0 : 1) && !b.Label1.Caption().isEmpty()) ? 0 : 1;
            if (statements[all].isEmpty()) {
                int o = 0;
                statements[all] = dictionaryStatements(server.statements(Catalog), &o);
                others += o;
            }
            if (c < 0)
                continue;
            ours[all].push_back(ms);
            handler[all].push_back(handlerMs);
            tsql[all].push_back(raw.run(statements[all]));
        }
    }
    const char *names[2] = {"module reload, one module", "module reload, back to all"};
    for (int all = 0; all < 2; ++all) {
        const double floor = median(tsql[all]) - raw.loggedInBase();
        addRow(QString::fromLatin1(names[all]) + QStringLiteral(", until painted (median)"), size,
               median(ours[all]), floor, QString());
        addRow(QString::fromLatin1(names[all]) + QStringLiteral(", handler only (median)"), size,
               median(handler[all]), floor, QString());
    }
    if (wrong || others)
        notes << QStringLiteral("modules %1: %2 wrong end states, %3 other statements").arg(size).arg(wrong).arg(others);
    if (size == 10000)
        notes << QStringLiteral("module reload %1: %2 / %3 statements (%4 / %5)").arg(size)
                     .arg(statements[0].size()).arg(statements[1].size())
                     .arg(shortList(statements[0]), shortList(statements[1]));
}

// 5. Peak memory of a fresh process with the dictionary open.
void benchMemory(const bench::TdsServer &server, int size)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--memory"), server.dataSource(), QStringLiteral("20")});
    if (!child.waitForFinished(60000) || child.exitCode() != 0) {
        child.kill();
        child.waitForFinished(2000);
        notes << QStringLiteral("memory %1: the child failed").arg(size);
        return;
    }
    const QStringList parts = QString::fromUtf8(child.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    if (parts.size() != 3)
        return;
    addRow(QStringLiteral("peak memory (VmHWM), browser open"), size, parts[2].toDouble(),
           parts[1].toDouble(), QStringLiteral("<= 80 MB"), QStringLiteral("MB"));
}

// 6. Process start until the first window has painted.
void benchStartup(int runs)
{
    auto once = [](bool bare) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const qint64 t0 = monotonicNs();
        child.start(QCoreApplication::applicationFilePath(),
                    {bare ? QStringLiteral("--startup-bare") : QStringLiteral("--startup")});
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            child.kill();
            child.waitForFinished(2000);
            return -1.0;
        }
        const QString out = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
        return (out.section(QLatin1Char(' '), 1).toLongLong() - t0) / 1e6;
    };
    std::vector<double> ours, bare;
    once(false);
    once(true);
    for (int i = 0; i < runs; ++i) {
        ours.push_back(once(false));
        bare.push_back(once(true));
    }
    addRow(QStringLiteral("start-up until the login window painted"), 0, median(ours), median(bare),
           QStringLiteral("<= 1.5x"));
}

bool benchSize(int size, bool quick)
{
    QTemporaryDir dir;
    QString error;
    if (!dir.isValid() || !bench::makeDictionary(dir.path(), size, &error)) {
        std::fprintf(stderr, "fixture %d: %s\n", size, qPrintable(error));
        return false;
    }
    bench::TdsServer server(dir.path(), Password);
    if (!server.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    RawClient raw(server);
    std::fprintf(stderr, "  %d tables: browser open\n", size);
    benchOpen(server, raw, size, quick ? 3 : (size >= 10000 ? 15 : 21));

    if (!logIn(server.dataSource()) || clickOkUntilBrowserPainted() < 0) {
        notes << QStringLiteral("%1: the browser did not open").arg(size);
        return false;
    }
    browser::Form2 &b = *::Form2.loaded();
    benchDropDown(b, size);
    std::fprintf(stderr, "  %d tables: keystrokes\n", size);
    benchKeystrokes(raw, b, size, quick ? 50 : 300);
    std::fprintf(stderr, "  %d tables: clicks\n", size);
    benchClicks(raw, b, size, quick ? 50 : 300);
    std::fprintf(stderr, "  %d tables: module reloads\n", size);
    benchModules(server, raw, b, size, quick ? 3 : 20);
    endProgram();
    std::fprintf(stderr, "  %d tables: memory\n", size);
    benchMemory(server, size);
    if (raw.failures())
        notes << QStringLiteral("%1: %2 tsql runs failed").arg(size).arg(raw.failures());
    notes << QStringLiteral("%1: tsql baselines, median: process start %2 ms, login + 'select 1' %3 ms")
                 .arg(size).arg(raw.startBase(), 0, 'f', 2).arg(raw.loggedInBase(), 0, 'f', 2);
    return true;
}

QString machine()
{
    QFile f(QStringLiteral("/proc/cpuinfo"));
    QString model;
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith("model name")) {
                model = QString::fromUtf8(line.mid(line.indexOf(':') + 1)).trimmed();
                break;
            }
    }
    return QStringLiteral("%1 cores, %2").arg(QThread::idealThreadCount()).arg(model);
}

void printTable()
{
    std::printf("\nend to end on the SQL Server path (ODBC + FreeTDS + test server over loopback), "
                "30 fields per table; %s\n", qPrintable(machine()));
    std::printf("%-52s %6s %11s %11s %7s %9s\n", "step", "tables", "ours", "floor", "ratio", "target");
    for (const Row &r : rows) {
        const QString size = r.size ? QString::number(r.size) : QStringLiteral("-");
        if (r.floor < 0) {  // nothing to compare with
            std::printf("%-52s %6s %8.2f %-2s %11s %7s %9s\n", qPrintable(r.step), qPrintable(size), r.ours,
                        qPrintable(r.unit), "-", "-", qPrintable(r.target));
            continue;
        }
        const double ratio = r.floor > 0 ? r.ours / r.floor : 0;
        std::printf("%-52s %6s %8.2f %-2s %8.2f %-2s %6.2fx %9s\n", qPrintable(r.step), qPrintable(size),
                    r.ours, qPrintable(r.unit), r.floor, qPrintable(r.unit), ratio, qPrintable(r.target));
    }

    // Growth from the smallest to the largest dictionary, against the data's.
    std::map<QString, std::map<int, const Row *>> bySize;
    for (const Row &r : rows)
        if (r.size)
            bySize[r.step][r.size] = &r;
    std::printf("\ngrowth with the dictionary: largest / smallest size measured\n");
    std::printf("%-52s %9s %9s %9s\n", "step", "ours", "floor", "tables");
    for (const Row &r : rows) {
        const auto &m = bySize[r.step];
        if (m.size() < 2 || m.begin()->second != &r)
            continue;
        const Row *small = m.begin()->second, *large = m.rbegin()->second;
        if (small->floor < 0)
            std::printf("%-52s %8.2fx %9s %8.1fx\n", qPrintable(r.step), large->ours / small->ours, "-",
                        double(large->size) / small->size);
        else
            std::printf("%-52s %8.2fx %8.2fx %8.1fx\n", qPrintable(r.step), large->ours / small->ours,
                        large->floor / small->floor, double(large->size) / small->size);
    }

    std::printf(
        "\nhow it is measured\n"
        "  ours: the real windows on the offscreen platform, driven with QTest (click on OK, key\n"
        "    in the table-name box, click on a table row, arrow key in the module box); 'until\n"
        "    painted' ends when the field grid (and for a reload the table grid) has painted,\n"
        "    'handler only' when the event returned (the data is in the grids, nothing drawn).\n"
        "    The table list dropped down: from showing the list until its entries start to paint\n"
        "      (no floor: tsql has no list).\n"
        "  floor: the raw FreeTDS client, tsql -o q, output to /dev/null, each statement its own\n"
        "    batch, on the same server in the same run, interleaved with ours:\n"
        "    browser open: tsql logging in to the account-year database and running the dictionary\n"
        "      statements the server logged during our open, less the median of tsql runs against\n"
        "      a port that refuses the connection (process start and library set-up, no login).\n"
        "    keystroke, row click: per block of 25 moves, tsql running those 25 field queries, less\n"
        "      the median of tsql runs of a login and 'select 1', divided by 25; median of blocks.\n"
        "      Plus the same visible work done plainly, after each of our moves: Qt's own table\n"
        "      views over standard item models (default delegate, no caches of ours) where the\n"
        "      browser's grids are, in their fonts, moving to the same table row and refilling the\n"
        "      field list with the same rows and texts, until painted; its p95 for the p95 row,\n"
        "      its median for the median row. The p99 rows have no floor: about one frame at\n"
        "      60 Hz (16.7 ms) is what a user notices.\n"
        "    module reload: tsql running the statements the reload sent, less login + 'select 1'.\n"
        "    peak memory: the same process before OK (login window only); start-up: a window with\n"
        "      one edit field in the same executable (the toolkit alone, font database included).\n");
    if (!notes.isEmpty())
        std::printf("\nnotes\n  %s\n", qPrintable(notes.join(QStringLiteral("\n  "))));
    if (messageBoxes)
        std::printf("  %d message boxes were shown (none expected)\n", messageBoxes);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && (!qstrcmp(argv[1], "--startup") || !qstrcmp(argv[1], "--startup-bare")))
        return startupChild(argc, argv, !qstrcmp(argv[1], "--startup-bare"));

    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("--memory"))
        return memoryChild(args[2], args.value(3, QStringLiteral("20")).toInt());
    if (args.size() >= 4 && args[1] == QLatin1String("--profile"))
        return profileChild(args[2], args[3], args.value(4, QStringLiteral("200")).toInt());

    QList<int> sizes = {500, 2000, 10000};
    bool quick = false;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--quick"))
            quick = true;
        else if (args[i] == QLatin1String("--sizes") && i + 1 < args.size()) {
            sizes.clear();
            for (const QString &s : args[++i].split(QLatin1Char(',')))
                sizes << s.toInt();
        }
    }
    ui::setMsgBoxHandler(quietBox);
    std::fprintf(stderr, "bench_ui: start-up\n");
    benchStartup(quick ? 3 : 21);
    for (int size : sizes) {
        if (!benchSize(size, quick))
            return 1;
    }
    printTable();
    return 0;
}
