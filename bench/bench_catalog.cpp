// The physical catalog at 10,000 tables of 30 fields with their database
// tables, on the SQL Server path (ODBC, FreeTDS, the TDS test server over
// loopback): the catalog read against the raw FreeTDS client (tsql) running
// the same statements in the same run, comparing the dictionary with the
// catalog, and the memory both add to a process that holds the dictionary.
//
//   bench_catalog [--tables N] [--quick]
#include "bench_fixture.h"
#include "bench_server.h"
#include "bench_timing.h"
#include "catalog/catalog_reader.h"
#include "catalog/drift.h"
#include "catalog/server_catalog.h"
#include "data/dictionary_reader.h"
#include "data/error.h"
#include "data/sql_session.h"
#include "data/statements.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <malloc.h>
#include <ctime>
#include <vector>

namespace {

const QString Password = QStringLiteral("bench-pw");
const QString Catalog = QStringLiteral("svdata_001_2009");

double median(std::vector<double> v) { return bench::quantile(v, 0.5); }

// CPU time of the calling thread, in ms: on a machine shared with other
// work, what the comparison itself costs.
double threadCpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Resident memory of this process now (VmRSS), in MB; -1 when unreadable.
double residentMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}
double p95(std::vector<double> v) { return bench::quantile(v, 0.95); }

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    int tables = 10000;
    const int i = int(args.indexOf(QStringLiteral("--tables")));
    if (i > 0 && i + 1 < args.size())
        tables = args.at(i + 1).toInt();
    const int runs = args.contains(QStringLiteral("--quick")) ? 3 : 7;

    QTemporaryDir dir;
    QString error;
    std::fprintf(stderr, "bench_catalog: making %d tables of 30 fields with their database tables\n", tables);
    if (!dir.isValid() || !bench::makeDictionary(dir.path(), tables, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    bench::TdsServer server(dir.path(), Password);
    if (!server.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const dd::ConnectionString target = dd::sql::accountYearConnectionString(Catalog, server.dataSource());
    try {
        // The server makes its own catalog at the first statement that
        // names it: a tsql run goes first.
        bench::timeTsql(server.port(), Password, Catalog, dd::catalog::serverCatalogStatements(false));

        // Memory, in a process that holds nothing else yet: the read's peak,
        // what the catalog then holds, and what the comparison adds to a
        // process holding the catalog and the whole dictionary. Freed heap
        // is given back before each resident figure.
        // The driver's libraries are loaded first, as in a program that is
        // already connected.
        dd::SqlSession::open(target, QStringLiteral("sa"), Password)->run(QStringLiteral("select 1"));
        malloc_trim(0);
        double peak = bench::peakResidentMB(), resident = residentMB();
        dd::catalog::Catalog catalog = dd::catalog::CatalogReader::read(target, QStringLiteral("sa"), Password);
        const double readPeak = bench::peakResidentMB() - peak;
        malloc_trim(0);
        const double catalogHeld = residentMB() - resident;
        const dd::Dictionary dictionary = dd::DictionaryReader::read(target, QStringLiteral("sa"), Password);
        malloc_trim(0);
        peak = bench::peakResidentMB();
        resident = residentMB();
        dd::catalog::Comparison comparison = dd::catalog::compare(dictionary, catalog);
        const double comparePeak = bench::peakResidentMB() - peak;
        malloc_trim(0);
        const double comparisonHeld = residentMB() - resident;

        std::vector<double> reads, compares, compareCpu;
        for (int r = 0; r < runs; ++r) {
            std::fprintf(stderr, "bench_catalog: read %d of %d\n", r + 1, runs);
            QElapsedTimer t;
            t.start();
            catalog = dd::catalog::CatalogReader::read(target, QStringLiteral("sa"), Password);
            reads.push_back(t.nsecsElapsed() / 1e6);
            t.restart();
            const double cpu = threadCpuMs();
            comparison = dd::catalog::compare(dictionary, catalog);
            compares.push_back(t.nsecsElapsed() / 1e6);
            compareCpu.push_back(threadCpuMs() - cpu);
        }

        std::fprintf(stderr, "bench_catalog: tsql floor\n");
        std::vector<double> full, started;
        const quint16 refused = bench::refusedPort();
        for (int r = 0; r < runs; ++r) {
            const bench::TsqlTime t =
                bench::timeTsql(server.port(), Password, Catalog, dd::catalog::serverCatalogStatements(false));
            const bench::TsqlTime s = bench::timeTsql(refused, Password, Catalog, {QStringLiteral("select 1")});
            if (!t.finished || t.exitCode != 0 || !s.finished)
                continue;
            full.push_back(t.ms);
            started.push_back(s.ms);
        }
        const double start = median(started);
        const double floor = median(full) - start;

        int columns = 0, counted = 0;
        for (const dd::catalog::Table &t : catalog.tables) {
            columns += int(t.columns.size());
            counted += t.rowCount > 0 ? 1 : 0;
        }
        std::printf("\nphysical catalog, %d tables x 30 fields, SQL Server path (ODBC + FreeTDS + test server)\n",
                    tables);
        std::printf("%-58s %10s %10s %7s %10s\n", "step", "ours", "floor", "ratio", "target");
        std::printf("%-58s %7.1f ms %7.1f ms %6.2fx %10s\n", "catalog read (median)", median(reads), floor,
                    median(reads) / floor, "<= 1.5x");
        std::printf("%-58s %7.1f ms %10s %7s %10s\n", "comparing dictionary and catalog (median)", median(compares),
                    "", "", "<= 200 ms");
        std::printf("%-58s %7.1f ms %10s %7s %10s\n", "comparing dictionary and catalog (p95)", p95(compares), "", "",
                    "<= 200 ms");
        std::printf("%-58s %7.1f ms %10s %7s %10s\n", "comparing, CPU time of its thread (median)",
                    median(compareCpu), "", "", "<= 200 ms");
        std::printf("%-58s %7.1f MB %10s %7s %10s\n", "memory held by the catalog and the comparison",
                    catalogHeld + comparisonHeld, "", "", "<= 40 MB");
        std::printf("  memory: the read's peak +%.1f MB, the catalog then holds %.1f MB (%d bytes a column); "
                    "comparing peaks at +%.1f MB and holds %.1f MB\n",
                    readPeak, catalogHeld, int(sizeof(dd::catalog::Column)), comparePeak, comparisonHeld);
        std::printf("  floor: tsql logging in and running the reader's six statements, less tsql's process start "
                    "(%.1f ms, median)\n", start);
        std::printf("  catalog: %d tables and views, %d columns, %d tables with rows; %d findings\n",
                    int(catalog.tables.size()), columns, counted, int(comparison.findings.size()));
    } catch (const dd::Error &e) {
        std::fprintf(stderr, "bench_catalog: %s\n", qPrintable(e.Description()));
        return 1;
    }
    return 0;
}
