// Where the dictionary is wrong: names as the server compares them, types
// after normalising, and what is never a finding.
#include "catalog/drift.h"
#include <QtTest>

using namespace dd;
using namespace dd::catalog;

namespace {

// "name|type" pairs, for the dictionary's fields and the physical columns.
void addTable(Dictionary &d, const QString &table, const QStringList &fields)
{
    DictionaryTable t;
    t.name = table;
    t.description = QStringLiteral("说明");
    t.firstField = int(d.fields.size());
    t.fieldCount = int(fields.size());
    d.tables.push_back(t);
    for (const QString &f : fields) {
        DictionaryField field;
        field.table = int(d.tables.size()) - 1;
        field.name = f.section(QLatin1Char('|'), 0, 0);
        field.type = f.section(QLatin1Char('|'), 1);
        field.number = int(d.fields.size()) - t.firstField + 1;
        d.fields.push_back(field);
    }
}

Dictionary dictionaryOf(const QString &table, const QStringList &fields)
{
    Dictionary d;
    addTable(d, table, fields);
    return d;
}

Table tableOf(const QString &name, const QStringList &columns, bool view = false)
{
    Table t;
    t.name = name;
    if (name.contains(QLatin1Char('.')))
        t.schema = name.section(QLatin1Char('.'), 0, 0);
    t.isView = view;
    for (const QString &c : columns)
        t.columns.push_back({c.section(QLatin1Char('|'), 0, 0), c.section(QLatin1Char('|'), 1)});
    return t;
}

QStringList describe(const Comparison &c)
{
    QStringList out;
    for (const Finding &f : c.findings)
        out << (QStringList{levelText(f.level), f.table, f.field, f.problem}.filter(QRegularExpression(".")))
                   .join(QLatin1Char(' '));
    return out;
}

}  // namespace

class TestCatalogDrift : public QObject {
    Q_OBJECT

private slots:
    void rules_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("physicalTable");
        QTest::addColumn<bool>("view");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QStringList>("expected");

        const QStringList none;
        QTest::newRow("case and trailing blanks")
            << "Inventory  " << QStringList{"cInvCode  |NVARCHAR (20)"} << "INVENTORY" << false
            << QStringList{"cinvcode|nvarchar(20)"} << none;
        QTest::newRow("numeric is decimal")
            << "T" << QStringList{"a|numeric(18, 4)", "b|dec", "c|DECIMAL(10)"} << "T" << false
            << QStringList{"a|decimal(18,4)", "b|decimal(18,0)", "c|decimal(10,0)"} << none;
        QTest::newRow("other synonyms and implied lengths")
            << "T"
            << QStringList{"a|integer", "b|char varying(10)", "c|sysname", "d|float(53)", "e|float(24)",
                           "f|rowversion", "g|varchar", "h|national character varying(8)", "i|int(4)",
                           "j|[nvarchar](max)", "k|datetime2"}
            << "T" << false
            << QStringList{"a|int", "b|varchar(10)", "c|nvarchar(128)", "d|float", "e|real", "f|timestamp",
                           "g|varchar(1)", "h|nvarchar(8)", "i|int", "j|nvarchar(max)", "k|datetime2(7)"}
            << none;
        QTest::newRow("types that differ")
            << "T" << QStringList{"a|decimal(18,4)", "b|nvarchar(20)", "c|varchar(20)", "d|nvarchar(20)"} << "T"
            << false << QStringList{"a|decimal(18,2)", "b|nvarchar(max)", "c|nvarchar(20)", "d|nvarchar(20)"}
            << QStringList{"警告 T a 类型不一致", "警告 T b 类型不一致", "警告 T c 类型不一致"};
        QTest::newRow("free text and empty types are not compared")
            << "T" << QStringList{"a|字符型", "b|", "c|varchar2(10)", "d|nvarchar(x)"} << "T" << false
            << QStringList{"a|nvarchar(20)", "b|int", "c|int", "d|int"} << none;
        QTest::newRow("missing and undocumented fields")
            << "T" << QStringList{"a|int", "b|int"} << "T" << false << QStringList{"a|int", "c|int"}
            << QStringList{"错误 T b 数据库中没有此字段", "警告 T c 字典中没有此字段"};
        QTest::newRow("missing table, undocumented table")
            << "Ghost" << QStringList{"a|int"} << "Other" << false << QStringList{"a|int"}
            << QStringList{"错误 Ghost 数据库中没有此表", "提示 Other 字典中没有此表"};
        QTest::newRow("a documented view is compared like a table")
            << "V_Stock" << QStringList{"a|int", "b|int"} << "v_stock" << true << QStringList{"a|int"}
            << QStringList{"错误 V_Stock b 数据库中没有此字段"};
        QTest::newRow("an undocumented view is no finding")
            << "T" << QStringList{} << "V_Other" << true << QStringList{"a|int"}
            << QStringList{"错误 T 数据库中没有此表"};
        QTest::newRow("another schema, documented")
            << "Sales.Orders" << QStringList{"a|int"} << "sales.orders" << false << QStringList{"a|int"} << none;
        QTest::newRow("another schema, undocumented")
            << "Orders" << QStringList{} << "sales.Orders" << false << QStringList{"a|int"}
            << QStringList{"错误 Orders 数据库中没有此表"};
        QTest::newRow("the default schema written out")
            << "dbo.Orders" << QStringList{"a|int"} << "Orders" << false << QStringList{"a|int"} << none;
        QTest::newRow("the tools' own tables")
            << "T" << QStringList{} << "sysdiagrams" << false << QStringList{"a|int"}
            << QStringList{"错误 T 数据库中没有此表"};
        QTest::newRow("the dictionary's own tables")
            << "RPT_ItmDEF" << QStringList{"nothing|int"} << "rpt_grpdef" << false << QStringList{"a|int"}
            << QStringList{};
    }

    void rules()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, fields);
        QFETCH(QString, physicalTable);
        QFETCH(bool, view);
        QFETCH(QStringList, columns);
        QFETCH(QStringList, expected);
        Catalog catalog;
        catalog.tables.push_back(tableOf(physicalTable, columns, view));
        const Comparison c = compare(dictionaryOf(table, fields), catalog);
        QCOMPARE(describe(c), expected);
    }

    // The per-row facts the grids show, errors before warnings before hints,
    // and a table the dictionary lists twice reported once.
    void layoutAndOrder()
    {
        Dictionary d = dictionaryOf(QStringLiteral("A"), {"x|int", "gone|int", "y|bit"});
        addTable(d, QStringLiteral("Missing"), {"z|int"});
        addTable(d, QStringLiteral("a"), {"x|int", "gone|int", "y|bit"});
        Catalog catalog;
        catalog.tables.push_back(tableOf(QStringLiteral("A"), {"extra|int", "y|int", "x|int"}));
        catalog.tables.push_back(tableOf(QStringLiteral("Z"), {}));
        const Comparison c = compare(d, catalog);
        QCOMPARE(describe(c), (QStringList{"错误 A gone 数据库中没有此字段", "错误 Missing 数据库中没有此表",
                                           "警告 A y 类型不一致", "警告 A extra 字典中没有此字段",
                                           "提示 Z 字典中没有此表"}));
        QCOMPARE(c.physicalTableOf, (std::vector<int>{0, -1, 0}));
        QCOMPARE(c.physicalColumnOf, (std::vector<int>{2, -1, 1, -1, 2, -1, 1}));
        QCOMPARE(c.undocumentedColumnsOf[0], std::vector<int>{0});
        QCOMPARE(c.undocumentedColumnsOf[2], std::vector<int>{0});
        QCOMPARE(c.fieldProblem(1), QStringLiteral("数据库中没有此字段"));
        QCOMPARE(c.fieldProblem(2), QStringLiteral("类型不一致"));
        QCOMPARE(c.fieldProblem(0), QString());
        QCOMPARE(c.findings[0].dictionaryField, 1);
        QCOMPARE(c.findings[3].dictionaryField, -1);
        QCOMPARE(c.findings[2].physicalType, QStringLiteral("int"));
        QCOMPARE(keyText(PrimaryKey | ForeignKey | IndexKey), QStringLiteral("主键、索引、外键"));
    }
};

QTEST_GUILESS_MAIN(TestCatalogDrift)
#include "tst_catalog_drift.moc"
