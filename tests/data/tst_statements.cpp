// The statement and connection texts, and the name rules, as the server and
// the searches receive them.
#include "data/statements.h"
#include <QTest>

using namespace dd::sql;

class TestStatements : public QObject {
    Q_OBJECT
private slots:
    void fixedTexts()
    {
        QCOMPARE(accountQuery(), QStringLiteral("Select cAcc_id,cAcc_Name from ua_account"));
        QCOMPARE(allTablesQuery(),
                 QStringLiteral("select Tablename as 数据表,Tabledefine as 中文表名,SystemName as 所属模块 "
                                "from   RPT_GRPDEF  order by systemid"));
        QCOMPARE(moduleQuery(), QStringLiteral("select distinct systemid ,systemname from rpt_GRPDEF"));
        QVERIFY(allTablesQuery().contains(QStringLiteral("from   RPT_GRPDEF  order by")));
    }

    void insertedValues_data()
    {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("expected");
        QTest::newRow("year") << yearQuery("001")
                              << "select distinct iyear from UA_Period where cacc_id='001'";
        QTest::newRow("module") << moduleTablesQuery("总账")
                                << "select Tablename as 数据表,Tabledefine as 中文表名,SystemName as 所属模块 "
                                   "from   RPT_GRPDEF where SystemName='总账' order by systemid";
        QTest::newRow("field") << fieldQuery("GL_accvouch")
                               << "Select FieldName as 字段名称,FieldDef as 字段含义,FieldType as 字段类型 "
                                  "From RPT_ItmDEF where TableName='GL_accvouch' order by FieldID";
        QTest::newRow("prefix") << prefixCriterion("GL_") << "数据表 like 'GL_%'";
        QTest::newRow("exact") << exactCriterion("GL_a") << "数据表='GL_a'";
        // An apostrophe is doubled, so the text stays one literal.
        QTest::newRow("year apostrophe") << yearQuery("0'1")
                                         << "select distinct iyear from UA_Period where cacc_id='0''1'";
        QTest::newRow("module apostrophe") << moduleTablesQuery("O'Brien模块")
                                           << "select Tablename as 数据表,Tabledefine as 中文表名,SystemName as 所属模块 "
                                              "from   RPT_GRPDEF where SystemName='O''Brien模块' order by systemid";
        QTest::newRow("field injection") << fieldQuery("x' or '1'='1")
                                         << "Select FieldName as 字段名称,FieldDef as 字段含义,FieldType as 字段类型 "
                                            "From RPT_ItmDEF where TableName='x'' or ''1''=''1' order by FieldID";
        QTest::newRow("prefix apostrophe") << prefixCriterion("it's") << "数据表 like 'it''s%'";
        QTest::newRow("exact apostrophes") << exactCriterion("''") << "数据表=''''''";
    }
    void insertedValues()
    {
        QFETCH(QString, built);
        QFETCH(QString, expected);
        QCOMPARE(built, expected);
    }

    void accountEntriesAndDatabaseNames()
    {
        QCOMPARE(accountEntry("001", "Main"), QStringLiteral("[001]Main"));
        QCOMPARE(accountIdFromEntry("[001]Main"), QStringLiteral("001"));
        // Ids of other lengths come back whole rather than cut at three characters.
        QCOMPARE(accountIdFromEntry("[01]X"), QStringLiteral("01"));
        QCOMPARE(accountIdFromEntry("[0001]Y"), QStringLiteral("0001"));
        QCOMPARE(accountIdFromEntry("[]Z"), QString(""));
        QCOMPARE(accountIdFromEntry("noBracket"), QStringLiteral("oBr"));
        QCOMPARE(accountYearDatabase("002", "2010"), QStringLiteral("svdata_002_2010"));
        QCOMPARE(accountYearDatabase(accountIdFromEntry("[001]Main"), "2011"),
                 QStringLiteral("svdata_001_2011"));
    }

    void connectionStrings()
    {
        const auto sys = systemConnectionString("(local)");
        QCOMPARE(sys.text(), QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=True;"
                                            "Initial Catalog=svsystem;Data Source=(local)"));
        QCOMPARE(sys.catalog(), QStringLiteral("svsystem"));
        QCOMPARE(sys.dataSource(), QStringLiteral("(local)"));
        QVERIFY(systemConnectionString("").text().endsWith("Data Source="));

        const auto data = accountYearConnectionString("svdata_001_2011", "srv\\INST");
        QCOMPARE(data.text(), QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=True;"
                                             "Initial Catalog=svdata_001_2011;Data Source=srv\\INST"));
        // The parts stay separate even when the server name would break the text.
        const auto odd = accountYearConnectionString("svdata_001_2011", "a;Initial Catalog=x");
        QCOMPARE(odd.catalog(), QStringLiteral("svdata_001_2011"));
        QCOMPARE(odd.dataSource(), QStringLiteral("a;Initial Catalog=x"));
    }
};

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
