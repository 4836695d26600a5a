// The local source end to end: a generated dictionary folder read through the
// same connection and recordset operations the windows use, and left exactly
// as it was.
#include "data/connection.h"
#include "data/public_ado.h"
#include "data/recordset.h"
#include "data/statements.h"
#include "test_folder.h"
#include <QDir>
#include <QTest>

using namespace dd;

class TestSqliteSource : public QObject {
    Q_OBJECT
    ddtest::DictionaryFolder folder;
    QMap<QString, QByteArray> before;

private slots:
    void initTestCase()
    {
        dictgen::Options o;
        o.tables = 700;
        folder.generate(o);
        using ddtest::table;
        folder.catalog("svdata_009_2020",
                       {table("01", "O'Brien模块", "T'QUOTE", "撇号表", 3),
                        table("02", QString(), "NULLS", QString(), 0),
                        {"03", "总账", "TYPES", "类型", {{"a", QString(), QString()}, {"b", "金额", "decimal(18,2)"}}}});
        folder.emptyCatalog("svdata_009_2021");
        before = folder.fingerprint();
    }

    void loginFlowReadsAccountsAndYears()
    {
        Connection &cn = PublicADO::cnSys();
        PublicADO::sSysConn() = sql::systemConnectionString(folder.path());
        cn.Open(PublicADO::sSysConn(), "sa", "any password", -1);
        QCOMPARE(cn.State(), 1);
        Recordset &acc = PublicADO::rsAcc();
        acc.CursorLocation = sql::adUseServer;
        acc.Open(sql::accountQuery(), cn, sql::adOpenKeyset, sql::adLockUnspecified, -1);
        QStringList entries;
        while (!acc.EOF_()) {
            entries << sql::accountEntry(acc.Fields(0).Value().toString(), acc.Fields(1).Value().toString());
            acc.MoveNext();
        }
        QCOMPARE(entries, QStringList({"[001]示范制造有限公司", "[002]华东商贸有限公司", "[003]远航物流股份有限公司"}));
        Recordset &years = PublicADO::rsYear();
        years.Open(sql::yearQuery(sql::accountIdFromEntry(entries[0])), cn, 1, -1, -1);
        QStringList list;
        while (!years.EOF_()) {
            list << years.Fields(0).Value().toString();
            years.MoveNext();
        }
        QCOMPARE(list, QStringList({"2009", "2010", "2011"}));
        acc.Close();
        cn.Close();
        QCOMPARE(years.State(), 0);  // closing the connection closed it
    }

    void accountYearDatabaseReadsTablesModulesAndFields()
    {
        Connection cn;
        cn.Open(sql::accountYearConnectionString(sql::accountYearDatabase("001", "2011"), folder.path()),
                "sa", "", -1);
        Recordset tables;
        tables.CursorLocation = sql::adUseClient;
        tables.Open(sql::allTablesQuery(), cn, 1, 1, -1);
        QCOMPARE(tables.RecordCount(), 700);
        QCOMPARE(tables.Fields(0).Name(), QStringLiteral("数据表"));
        QCOMPARE(tables.Fields(1).Name(), QStringLiteral("中文表名"));
        QString previous;
        const QString firstName = tables.Fields(0).Value().toString();
        Recordset modules;
        modules = cn.Execute(sql::moduleQuery(), -1);
        QCOMPARE(modules.Fields(1).Value().toString(), QStringLiteral("总账"));
        Recordset fields;
        fields.Open(sql::fieldQuery(firstName), cn, 1, 1, -1);
        QVERIFY(fields.RecordCount() >= 5 && fields.RecordCount() <= 40);
        QCOMPARE(fields.Fields(0).Name(), QStringLiteral("字段名称"));
        QCOMPARE(fields.Fields(2).Name(), QStringLiteral("字段类型"));
        // Names compare without regard to case, as on the servers.
        Recordset upper;
        upper.Open(sql::fieldQuery(firstName.toUpper()), cn, 1, 1, -1);
        QCOMPARE(upper.RecordCount(), fields.RecordCount());
    }

    void apostrophesAndNulls()
    {
        Connection cn;
        cn.Open(sql::accountYearConnectionString("svdata_009_2020", folder.path()), "sa", "", -1);
        Recordset rs;
        rs.Open(sql::moduleTablesQuery("O'Brien模块"), cn, 1, 1, -1);
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs.Fields(0).Value().toString(), QStringLiteral("T'QUOTE"));
        Recordset fields;
        fields.Open(sql::fieldQuery("T'QUOTE"), cn, 1, 1, -1);
        QCOMPARE(fields.RecordCount(), 3);
        fields.Close();
        fields.Open(sql::fieldQuery("TYPES"), cn, 1, 1, -1);
        QCOMPARE(fields.Fields(1).Value().toString(), QString(""));
        QCOMPARE(fields.Fields(2).Value().toString(), QString(""));
        rs.Close();
        rs.Open(sql::allTablesQuery(), cn, 1, 1, -1);
        rs.MoveNext();
        QCOMPARE(rs.Fields(1).Value().toString(), QString(""));
        QCOMPARE(rs.Fields(2).Value().toString(), QString(""));
    }

    void failuresAreErrorsWithReadableTexts()
    {
        Connection cn;
        try {
            cn.Open(sql::accountYearConnectionString("svdata_001_1999", folder.path()), "sa", "", -1);
            QFAIL("a missing catalog opened");
        } catch (const Error &e) {
            QCOMPARE(e.Number(), 4060L);
            QCOMPARE(e.Description(), QStringLiteral("Cannot open database \"svdata_001_1999\" requested by the login. The login failed."));
        }
        QCOMPARE(cn.State(), 0);
        for (const QString &catalog : {QStringLiteral("../svsystem"), QStringLiteral("..")}) {
            QVERIFY_THROWS_EXCEPTION(Error, cn.Open(sql::accountYearConnectionString(catalog, folder.path()), "sa", "", -1));
        }
        // A database without the dictionary tables.
        cn.Open(sql::accountYearConnectionString("svdata_009_2021", folder.path()), "sa", "", -1);
        Recordset rs;
        QVERIFY_THROWS_EXCEPTION(Error, rs.Open(sql::allTablesQuery(), cn, 1, 1, -1));
        QCOMPARE(rs.State(), 0);
        // The source is read-only: a write is refused.
        QVERIFY_THROWS_EXCEPTION(Error, cn.Execute("delete from placeholder", -1));
        QVERIFY_THROWS_EXCEPTION(Error, cn.Execute("create table t (x int)", -1));
    }

    void cleanupTestCase()
    {
        // Every file byte for byte as before, and no file added or removed.
        QCOMPARE(folder.fingerprint(), before);
    }
};

QTEST_GUILESS_MAIN(TestSqliteSource)
#include "tst_sqlite_source.moc"
