// The data layer on the local source: reading the table list of a 10,000-table
// dictionary, one field query, and Find over 10,000 names.
#include "bench_fixture.h"
#include "bench_timing.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "data/statements.h"
#include "dictionary_generator.h"
#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

using namespace dd;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int tables = argc > 1 ? atoi(argv[1]) : 10000;
    QTemporaryDir dir;
    QString error;
    if (!bench::makeDictionary(dir.path(), tables, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const auto cs = sql::accountYearConnectionString("svdata_001_2009", dir.path());

    const auto openRead = bench::measure(20, [&] {
        Connection cn;
        cn.Open(cs, "sa", "", -1);
        Recordset rs;
        rs.CursorLocation = sql::adUseClient;
        rs.Open(sql::allTablesQuery(), cn, 1, 1, -1);
        if (rs.RecordCount() != tables)
            std::abort();
    });

    Connection cn;
    cn.Open(cs, "sa", "", -1);
    Recordset rs;
    rs.Open(sql::allTablesQuery(), cn, 1, 1, -1);
    rs.MoveFirst();
    for (int i = 0; i < tables - 1; ++i)
        rs.MoveNext();
    const QString lastName = rs.Fields(0).Value().toString();

    Recordset fields;
    const auto fieldQuery = bench::measure(200, [&] {
        if (fields.State() == 1)
            fields.Close();
        fields.Open(sql::fieldQuery(lastName), cn, 1, 1, -1);
    });
    const QString lastPrefix = sql::prefixCriterion(lastName);
    const auto findLast = bench::measure(500, [&] { rs.Find(lastPrefix, 0, 1, 1); });
    const QString none = sql::prefixCriterion(QStringLiteral("ZZZ_nothing"));
    const auto findNone = bench::measure(500, [&] { rs.Find(none, 0, 1, 1); });
    const QString exact = sql::exactCriterion(lastName);
    const auto findExact = bench::measure(500, [&] { rs.Find(exact, 0, 1, 1); });

    std::printf("local source, %d tables x 30 fields\n", tables);
    std::printf("%-40s %10s %10s %10s\n", "step", "median ms", "p95 ms", "target");
    auto row = [](const char *step, const bench::Figures &f, const char *target) {
        std::printf("%-40s %10.3f %10.3f %10s\n", step, f.median, f.p95, target);
    };
    row("open + read all tables", openRead, "< 50");
    row("one field query (30 rows)", fieldQuery, "");
    row("Find prefix, match at the last row", findLast, "< 1");
    row("Find prefix, no match", findNone, "< 1");
    row("Find exact, match at the last row", findExact, "< 1");
    return 0;
}
