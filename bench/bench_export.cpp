// Export over the SQL Server path (the TDS test server, FreeTDS): CSV and
// xlsx of a whole dictionary against the raw client reading the same rows,
// peak memory of an xlsx export, and copying 2,000 selected field rows.
//
//   bench_export [TABLES]      default 10000 tables of 30 fields
#include "bench_fixture.h"
#include "bench_server.h"
#include "bench_timing.h"
#include "data/dictionary_reader.h"
#include "data/statements.h"
#include "export/clipboard_text.h"
#include "export/export_job.h"
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace dd;
using namespace dd::exporting;

namespace {

const QString Catalog = QStringLiteral("svdata_001_2009");
const QString Password = QStringLiteral("Bench;Pw=1");

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

double timed(const std::function<void()> &fn)
{
    QElapsedTimer t;
    t.start();
    fn();
    return t.nsecsElapsed() / 1e6;
}

// Peak resident memory of the program exporting a workbook, as a child
// process of its own (the largest child so far: the others are tsql).
double xlsxPeakMB(quint16 port, const QString &output)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DATADICT_PASSWORD", Password);
    p.setProcessEnvironment(env);
    p.start(DATADICT_BINARY, {"export", "--server", QStringLiteral("127.0.0.1,%1").arg(port), "--account",
                              "001", "--year", "2009", "--format", "xlsx", "--output", output});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "datadict export failed: %s\n", p.readAllStandardError().constData());
        return -1;
    }
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss / 1024.0;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int tables = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int runs = 3;
    QTemporaryDir dir, out;
    QString error;
    if (!bench::makeDictionary(dir.path(), tables, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    bench::TdsServer server(dir.path(), Password);
    if (!server.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    ExportRequest request;
    request.source = sql::accountYearConnectionString(Catalog, server.dataSource());
    request.user = "sa";
    request.password = Password;
    request.heading = {"[001]bench", "2009", QDateTime::currentDateTime()};
    const Dictionary dictionary = DictionaryReader::read(request.source, "sa", Password);
    ExportContent content{&dictionary, {}, request.heading};
    for (int i = 0; i < int(dictionary.tables.size()); ++i)
        content.tables.push_back(i);

    // Interleaved, so that every figure sees the same machine load.
    std::vector<double> tsql, csv, csvWrite, xlsx;
    for (int r = 0; r < runs; ++r) {
        const bench::TsqlTime raw = bench::timeTsql(server.port(), Password, Catalog,
                                                    {DictionaryReader::tablesStatement(),
                                                     DictionaryReader::fieldsStatement()});
        tsql.push_back(raw.finished && raw.exitCode == 0 ? raw.ms : -1);
        request.format = Format::Csv;
        request.output = out.filePath("d.csv");
        csv.push_back(timed([&] { runExport(request); }));
        csvWrite.push_back(timed([&] { writeExport(content, Format::Csv, out.filePath("w.csv")); }));
        request.format = Format::Xlsx;
        request.output = out.filePath("d.xlsx");
        xlsx.push_back(timed([&] { runExport(request); }));
    }
    const double peak = xlsxPeakMB(server.port(), out.filePath("p.xlsx"));

    // Copying 2,000 selected field rows: the texts and the clipboard.
    CopiedRows rows;
    rows.headers = {"字段名称", "字段含义", "字段类型"};
    for (int i = 0; i < 2000; ++i) {
        const DictionaryField &f = dictionary.fields[size_t(i)];
        rows.rows.push_back({f.name, f.meaning, f.type});
    }
    const bench::Figures copy = bench::measure(20, [&] {
        auto *data = new QMimeData;
        data->setText(tabSeparated(rows, true));
        data->setHtml(htmlTable(rows, true));
        QGuiApplication::clipboard()->setMimeData(data);
    });

    const double floor = median(tsql), csvMs = median(csv), writeMs = median(csvWrite),
                 xlsxMs = median(xlsx);
    const double csvBound = 1.5 * floor + writeMs;
    std::printf("\nExport, %d tables x 30 fields (%zu fields) over the TDS test server (FreeTDS), "
                "median of %d interleaved runs\n",
                tables, dictionary.fields.size(), runs);
    std::printf("| measure | ms / MB | target | ratio | met |\n|---|---|---|---|---|\n");
    std::printf("| tsql reading the same rows (floor) | %.0f ms | | | |\n", floor);
    std::printf("| CSV writing alone (from memory) | %.0f ms | | | |\n", writeMs);
    std::printf("| CSV export (read + write) | %.0f ms | <= 1.5 x tsql + writing = %.0f ms | %.2f | %s |\n",
                csvMs, csvBound, csvMs / csvBound, csvMs <= csvBound ? "yes" : "NO");
    std::printf("| xlsx export (read + write) | %.0f ms | <= 3 x CSV export = %.0f ms | %.2f | %s |\n",
                xlsxMs, 3 * csvMs, xlsxMs / csvMs, xlsxMs <= 3 * csvMs ? "yes" : "NO");
    std::printf("| xlsx export peak memory (datadict export) | %.0f MB | <= 150 MB | %.2f | %s |\n",
                peak, peak / 150, peak >= 0 && peak <= 150 ? "yes" : "NO");
    std::printf("| copy 2,000 field rows (text + HTML to the clipboard) | %.1f ms (p95 %.1f) | <= 100 ms | %.2f | %s |\n",
                copy.median, copy.p95, copy.median / 100, copy.p95 <= 100 ? "yes" : "NO");
    return 0;
}
