// A large dictionary through the server: 10,000 tables in ten modules and
// one table of 2,000 fields. Every row arrives and every way of choosing a
// table still works; nothing here measures time.
#include "browser_driver.h"
#include "fault_session.h"
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

using namespace brtest;

namespace {

constexpr int Tables = 10000;
constexpr int Modules = 10;
constexpr int BigFields = 2000;
const QString Catalog = QStringLiteral("svdata_001_2011");

QString caption(const QString &table, int count)
{
    return table + QStringLiteral("表字段说明:(此表共") + QString::number(count) + QStringLiteral("个字段)");
}
QString fieldsOf(const QString &table)
{
    return QStringLiteral("Select FieldName as 字段名称,FieldDef as 字段含义,FieldType as 字段类型 From RPT_ItmDEF "
                          "where TableName='")
           + table + QStringLiteral("' order by FieldID");
}
const QString TableColumns = QStringLiteral(
    "select Tablename as 数据表,Tabledefine as 中文表名,SystemName as 所属模块 from   RPT_GRPDEF");

QString moduleName(int m) { return QStringLiteral("模块%1").arg(m, 2, 10, QLatin1Char('0')); }

}  // namespace

class FaultsSize : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { endProgram(); }
    void tenThousandTablesAndTwoThousandFields();
};

void FaultsSize::tenThousandTablesAndTwoThousandFields()
{
    faulttest::ServedDictionary d;
    d.folder().accounts({{"001", "Main", {2011}}});
    // Module m holds tables M<m>_T<n>, in systemid order; the big table is
    // in the middle of module 07.
    QVector<dictgen::TableRow> tables;
    QStringList names;
    const QString big = QStringLiteral("M07_BIG");
    for (int i = 0; i < Tables; ++i) {
        const int m = i / (Tables / Modules) + 1;
        const QString id = QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0'));
        const QString name = i == 6500 ? big : QStringLiteral("M%1_T%2").arg(id).arg(i + 1, 5, 10, QLatin1Char('0'));
        tables << ddtest::table(id, moduleName(m), name, QStringLiteral("表%1").arg(i + 1), i == 6500 ? BigFields : 1);
        names << name;
    }
    d.folder().catalog(Catalog, tables);
    QVERIFY(d.start());
    faulttest::Session session;
    startProgram();
    logIn(d.dataSource(), d.password());
    d.sent();
    QElapsedTimer timer;
    timer.start();
    clickOk();
    browser::Form2 *b = ::Form2.loaded();
    QVERIFY(b && b->Visible());
    qInfo("start-up with %d tables: %lld ms", Tables, timer.elapsed());
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【共加载10000个表】"));
    QCOMPARE(b->DataGrid1.RowCount(), Tables);
    QCOMPARE(entries(b->Combo1), names);
    QCOMPARE(column(b->DataGrid1, 0), names);
    QCOMPARE(column(b->DataGrid1, 1).last(), QStringLiteral("表10000"));
    QCOMPARE(column(b->DataGrid1, 2).last(), moduleName(Modules));
    QCOMPARE(b->Combo2.ListCount(), 1 + Modules);
    QCOMPARE(b->Label1.Caption(), caption(names.first(), 1));

    // The big table, by typing its name, and the last table, by a click.
    QLineEdit *edit = b->Combo1.comboBox()->lineEdit();
    edit->selectAll();
    timer.restart();
    QTest::keyClicks(edit, big);
    qInfo("typing %d characters: %lld ms", int(big.size()), timer.elapsed());
    QCOMPARE(b->Label1.Caption(), caption(big, BigFields));
    QCOMPARE(b->DataGrid2.RowCount(), BigFields);
    const QStringList fieldNames = column(b->DataGrid2, 0);
    QCOMPARE(fieldNames.first(), QStringLiteral("F1"));
    QCOMPARE(fieldNames.last(), QStringLiteral("F2000"));
    QCOMPARE(fieldNames.size(), BigFields);
    QCOMPARE(highlightedRows(b->DataGrid1), QList<int>{6500});
    clickRow(b->DataGrid1, Tables - 1);
    QCOMPARE(b->Label1.Caption(), caption(names.last(), 1));
    QCOMPARE(highlightedRows(b->DataGrid1), QList<int>{Tables - 1});

    // A module, then all of them again.
    QComboBox *modules = b->Combo2.comboBox();
    timer.restart();
    pickFromList(modules, modules->findText(moduleName(7)));
    qInfo("module reload: %lld ms", timer.elapsed());
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【模块07】模块共加载了1000个表"));
    QCOMPARE(entries(b->Combo1), names.mid(6000, 1000));
    pickFromList(b->Combo1.comboBox(), 500);
    QCOMPARE(b->Label1.Caption(), caption(big, BigFields));
    timer.restart();
    pickFromList(modules, 0);
    qInfo("reload of every table: %lld ms", timer.elapsed());
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【共加载10000个表】"));
    QCOMPARE(entries(b->Combo1), names);
    QCOMPARE(b->Label1.Caption(), caption(names.first(), 1));
    QVERIFY(session.calls().isEmpty());

    // M, M0, M07 and M07_ find the first table of module 01 or 07 on the
    // way; M07_B finds the big one.
    QStringList typed;
    for (const QString prefix : {"M", "M0", "M07", "M07_"})
        typed << fieldsOf(prefix == QLatin1String("M07") || prefix == QLatin1String("M07_") ? names[6000] : names[0]);
    typed << fieldsOf(big) << fieldsOf(big) << fieldsOf(big);
    const QString all = TableColumns + QStringLiteral("  order by systemid");
    const QStringList expected =
        QStringList{all, QStringLiteral("select distinct systemid ,systemname from rpt_GRPDEF"), all,
                    fieldsOf(names[0])}
        + typed
        + QStringList{fieldsOf(names.last()),
                      TableColumns + QStringLiteral(" where SystemName='模块07' order by systemid"),
                      fieldsOf(names[6000]), fieldsOf(big), all, fieldsOf(names[0])};
    QCOMPARE(d.sent(Catalog), expected);
    session.audit(d);
}

QTEST_MAIN(FaultsSize)
#include "tst_faults_size.moc"
