// Which tables join, measured at 10,000 tables of 30 fields (local SQLite
// source; the floor is the program's own dictionary read in the same run,
// which over a real server only takes longer):
//  - building every link against reading that dictionary (target ≤ 0.5×),
//    for the generated dictionary, one whose every table repeats the same
//    30 field names, and the generated one with a catalog of keys;
//  - the memory the links add (target ≤ 30 MB);
//  - the join path and SELECT for 4 tables (target ≤ 50 ms);
//  - in the browser, a newly chosen table until the 关联表 list is painted
//    (target p95 ≤ 33 ms), beside the same click with the list off.
//
//   bench_relations [--tables N] [--quick]
#include "bench_fixture.h"
#include "bench_timing.h"
#include "browser_driver.h"
#include "browser/relations_list.h"
#include "catalog/catalog.h"
#include "data/dictionary_reader.h"
#include "data/statements.h"
#include "erp_sample.h"
#include "relations/join_path.h"
#include "relations/join_statement.h"
#include "relations/relations.h"
#include "ui/recordset_table_model.h"
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <malloc.h>

using namespace dd::relations;

namespace {

const QString Catalog = QStringLiteral("svdata_001_2009");

// What the heap holds now (glibc), in MB.
double heapMB()
{
    return double(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

double msOf(const std::function<void()> &fn)
{
    QElapsedTimer t;
    t.start();
    fn();
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v) { return bench::quantile(v, 0.5); }

std::shared_ptr<const dd::Dictionary> readDictionary(const QString &folder, double *ms)
{
    std::shared_ptr<const dd::Dictionary> d;
    *ms = msOf([&] {
        d = std::make_shared<const dd::Dictionary>(dd::DictionaryReader::read(
            dd::sql::accountYearConnectionString(Catalog, folder), QStringLiteral("sa"), QStringLiteral("pw")));
    });
    return d;
}

// Every table the same 30 fields: the worst case for names shared by all.
bool makeRepeatedNames(const QString &folder, int tables, QString *error)
{
    const QVector<dictgen::FieldRow> fields{
        {"AutoID", "自动编号", "int"}, {"ID", "单据ID", "int"}, {"cCode", "单据编号", "nvarchar(30)"},
        {"dDate", "单据日期", "datetime"}, {"cMaker", "制单人", "nvarchar(20)"}, {"iRowNo", "行号", "int"},
        {"cInvCode", "存货编码", "nvarchar(20)"}, {"cCusCode", "客户编码", "nvarchar(20)"},
        {"cVenCode", "供应商编码", "nvarchar(20)"}, {"cDepCode", "部门编码", "nvarchar(12)"},
        {"cPersonCode", "职员编码", "nvarchar(20)"}, {"cWhCode", "仓库编码", "nvarchar(10)"},
        {"iQuantity", "数量", "decimal(18,6)"}, {"iUnitPrice", "单价", "decimal(18,6)"},
        {"iMoney", "金额", "decimal(18,2)"}, {"iTax", "税额", "decimal(18,2)"}, {"iSum", "价税合计", "decimal(18,2)"},
        {"cMemo", "备注", "nvarchar(255)"}, {"cVerifier", "审核人", "nvarchar(20)"},
        {"dVerifyDate", "审核日期", "datetime"}, {"cBatch", "批号", "nvarchar(60)"},
        {"cItemCode", "项目编码", "nvarchar(20)"}, {"iPeriod", "会计期间", "tinyint"},
        {"iYear", "会计年度", "smallint"}, {"cDigest", "摘要", "nvarchar(120)"},
        {"cCurrency", "币种", "nvarchar(8)"}, {"iExchRate", "汇率", "decimal(18,8)"},
        {"cSSCode", "结算方式编码", "nvarchar(3)"}, {"bFlag", "标志", "bit"}, {"ufts", "时间戳", "timestamp"}};
    QVector<dictgen::TableRow> rows;
    rows.reserve(tables);
    for (int i = 0; i < tables; ++i)
        rows.append({QStringLiteral("01"), QStringLiteral("总账"), QStringLiteral("T_%1").arg(i),
                     QStringLiteral("单据%1").arg(i), fields});
    return dictgen::writeSystemCatalog(folder, {{"001", "Main", {2009}}}, error)
           && dictgen::writeDataCatalog(folder, Catalog, rows, error);
}

// The database's keys: each table's first field.
std::shared_ptr<const dd::catalog::Catalog> keysOf(const dd::Dictionary &d)
{
    auto c = std::make_shared<dd::catalog::Catalog>();
    for (const dd::DictionaryTable &t : d.tables) {
        dd::catalog::Table table;
        table.name = t.name;
        table.rowCount = 1;
        for (int f = t.firstField; f < t.firstField + t.fieldCount; ++f)
        {
            dd::catalog::Column column;
            column.name = d.fields[size_t(f)].name;
            column.type = d.fields[size_t(f)].type;
            table.columns.push_back(column);
        }
        if (!table.columns.empty()) {
            table.columns.front().keys = dd::catalog::PrimaryKey;
            table.keys.push_back({dd::catalog::Key::Primary, {table.columns.front().name}});
        }
        c->tables.push_back(std::move(table));
    }
    return c;
}

struct BuildRow {
    QString name;
    double readMs, buildMs, addedMB;
    size_t links;
};

BuildRow measureBuild(const QString &name, const QString &folder, bool withKeys, int runs)
{
    std::vector<double> reads, builds;
    std::shared_ptr<const dd::Dictionary> d;
    for (int i = 0; i < runs; ++i) {
        double ms = 0;
        d = readDictionary(folder, &ms);
        reads.push_back(ms);
    }
    const auto catalog = withKeys ? keysOf(*d) : nullptr;
    std::shared_ptr<const Relations> r;
    double before = 0, after = 0;
    for (int i = 0; i < runs; ++i) {
        r.reset();
        before = heapMB();
        builds.push_back(msOf([&] { r = Relations::build(d, catalog); }));
        after = heapMB();
    }
    return {name, median(reads), median(builds), after - before, r->links().size()};
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int tables = 10000;
    bool quick = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--tables") && i + 1 < args.size())
            tables = args[++i].toInt();
        else if (args[i] == QLatin1String("--quick"))
            quick = true;
    }
    const int runs = quick ? 1 : 3;
    QTemporaryDir generated, repeated;
    QString error;
    dictgen::Options o;
    o.accounts = 1;
    o.yearsPerAccount = 1;
    o.tables = tables;
    o.fieldsMin = o.fieldsMax = 30;
    o.erpSample = true;
    if (!dictgen::generate(o, generated.path(), &error) || !makeRepeatedNames(repeated.path(), tables, &error)) {
        std::fprintf(stderr, "bench_relations: %s\n", qPrintable(error));
        return 1;
    }

    std::printf("\nWhich tables join: %d tables of 30 fields (+ the ERP-shaped set in the generated one)\n", tables);
    std::printf("%-44s %10s %10s %8s %8s %10s  %s\n", "links built from", "read ms", "build ms", "ratio",
                "+MB", "links", "target");
    for (const BuildRow &row : {measureBuild("generated dictionary", generated.path(), false, runs),
                                measureBuild("every table the same 30 names", repeated.path(), false, runs),
                                measureBuild("generated, with every table's key", generated.path(), true, runs)})
        std::printf("%-44s %10.1f %10.1f %8.3f %8.1f %10zu  ≤ 0.5×, ≤ 30 MB\n", qPrintable(row.name), row.readMs,
                    row.buildMs, row.buildMs / row.readMs, row.addedMB, row.links);

    // The join of four tables: four of the set, and four generated ones
    // (mostly without a path: every hop of three is searched).
    double ignored = 0;
    const auto d = readDictionary(generated.path(), &ignored);
    const auto r = Relations::build(d);
    auto plan4 = [&](const QStringList &names) {
        std::vector<int> chosen;
        for (const QString &n : names)
            chosen.push_back(r->tableNamed(n));
        std::vector<double> ms;
        QString sql;
        for (int i = 0; i < (quick ? 5 : 50); ++i)
            ms.push_back(msOf([&] { sql = joinStatement(*r, planJoin(*r, chosen)); }));
        return std::make_pair(bench::quantile(ms, 0.95), sql.count(QStringLiteral("left join")));
    };
    const auto erp = plan4({"BD_Customer", "BD_Inventory", "BD_Department", "WH_Barcode"});
    QStringList someGenerated;
    for (int i = 0; i < 4; ++i)
        someGenerated << d->tables[size_t(i * (tables / 4))].name;
    const auto random = plan4(someGenerated);
    std::printf("%-44s %10s %10.2f %8s %8s %10d  ≤ 50 ms\n", "join path + SELECT, 4 tables of the set (p95)", "",
                erp.first, "", "", int(erp.second));
    std::printf("%-44s %10s %10.2f %8s %8s %10d  ≤ 50 ms\n", "join path + SELECT, 4 generated tables (p95)", "",
                random.first, "", "", int(random.second));

    // The browser: a click on a table row until the list is painted.
    brtest::startProgram();
    browser::Form2 *b = brtest::openBrowser(generated.path());
    if (!b) {
        std::fprintf(stderr, "bench_relations: the browser did not open\n");
        return 1;
    }
    if (!QTest::qWaitForWindowExposed(b->widget()))
        return 1;
    ui::DataGrid &grid = b->DataGrid1;
    QTableView *view = grid.tableView();
    const int clicks = quick ? 20 : 100;
    auto clickTimes = [&](QWidget *painted) {
        std::vector<double> ms;
        for (int i = 0; i < clicks; ++i) {
            const int row = (i * 97 + 13) % std::min(grid.model()->rowCount(), 80);
            view->scrollTo(grid.model()->index(row, 0));
            QApplication::processEvents();
            const QPoint at = view->visualRect(grid.model()->index(row, 0)).center();
            bench::PaintSeen seen;
            painted->installEventFilter(&seen);
            QElapsedTimer t;
            t.start();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            while (!seen.seen && t.elapsed() < 2000)
                QApplication::processEvents(QEventLoop::AllEvents, 1);
            ms.push_back(t.nsecsElapsed() / 1e6);
            painted->removeEventFilter(&seen);
        }
        return ms;
    };
    const std::vector<double> off = clickTimes(b->DataGrid2.tableView()->viewport());
    QCheckBox *box = b->Check3.checkBox();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    auto *list = b->widget()->findChild<browser::RelationsList *>();
    QElapsedTimer wait;
    wait.start();
    while ((!list || list->statusText().startsWith(QStringLiteral("正在"))) && wait.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    const std::vector<double> on = clickTimes(list->view()->viewport());
    std::printf("%-44s %10s %10.2f %8s %8s %10s  p95 ≤ 33 ms\n", "click → 关联表 list painted (p95)", "",
                bench::quantile(on, 0.95), "", "", "");
    std::printf("%-44s %10s %10.2f %8s %8s %10s\n", "same click, list off → field grid painted (p95)", "",
                bench::quantile(off, 0.95), "", "", "");
    brtest::endProgram();
    return 0;
}
