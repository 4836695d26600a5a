// The whole-dictionary reader: how tables and fields are laid out, and a
// read stopped by its caller. Reads over the test server, failing or left
// mid-way, are tried by the search and export tests that use it.
#include "data/connection_string.h"
#include "data/dictionary_reader.h"
#include "data/error.h"
#include "data/statements.h"
#include "test_folder.h"
#include <QTest>

using namespace dd;
using ddtest::table;

namespace {

QStringList fieldNames(const Dictionary &d, int t)
{
    QStringList names;
    const DictionaryTable &table = d.tables[size_t(t)];
    for (int i = table.firstField; i < table.firstField + table.fieldCount; ++i)
        names << d.fields[size_t(i)].name;
    return names;
}

}  // namespace

class TestDictionaryReader : public QObject {
    Q_OBJECT
    ddtest::DictionaryFolder folder;

    ConnectionString target(const QString &server, const QString &catalog = "svdata_001_2020")
    {
        return sql::accountYearConnectionString(catalog, server);
    }

private slots:
    void initTestCase()
    {
        folder.accounts({{"001", "Main", {2020}}});  // a dictionary folder holds svsystem.db
        folder.catalog("svdata_001_2020",
                       {table("02", "销售管理", "SO_SOMain", "销售订单主表", 3),
                        table("01", "总账", "GL_accvouch", "凭证", 2),
                        table("03", QString(), "EMPTY", QString(), 0),
                        table("04", "库存管理", "GL_accvouch", "凭证(再列)", 0)});
        // Field rows naming their table in another case or with trailing
        // blanks (the server takes both as the same name), one with NULLs,
        // and one of a table the list does not have.
        folder.execute("svdata_001_2020", "insert into RPT_ItmDEF values('gl_ACCVOUCH', 9, 'iLast', '最后', 'int')");
        folder.execute("svdata_001_2020", "insert into RPT_ItmDEF values('SO_SOMain  ', 9, 'iPad', '补空格', 'int')");
        folder.execute("svdata_001_2020", "insert into RPT_ItmDEF values(' SO_SOMain', 9, 'xLead', '前空格', 'int')");
        folder.execute("svdata_001_2020", "insert into RPT_ItmDEF values('SO_SOMain', 0, NULL, NULL, NULL)");
        folder.execute("svdata_001_2020", "insert into RPT_ItmDEF values('ORPHAN', 1, 'x', 'y', 'z')");
    }

    void laysFieldsUnderTablesInListOrder()
    {
        const Dictionary d = DictionaryReader::read(target(folder.path()), "sa", "pw");
        QCOMPARE(int(d.tables.size()), 4);
        QCOMPARE(d.tables[0].name, QString("GL_accvouch"));
        QCOMPARE(d.tables[1].name, QString("SO_SOMain"));
        QVERIFY(d.tables[2].module.isEmpty() && d.tables[2].description.isEmpty());
        QCOMPARE(fieldNames(d, 0), QStringList({"F1", "F2", "iLast"}));
        QCOMPARE(fieldNames(d, 1), QStringList({"", "F1", "F2", "F3", "iPad"}));   // leading blanks count
        QCOMPARE(fieldNames(d, 2), QStringList());
        // Listed twice: the same fields under both listings.
        QCOMPARE(fieldNames(d, 3), fieldNames(d, 0));
        QCOMPARE(int(d.fields.size()), 3 + 5 + 3);
        for (int t = 0; t < 4; ++t)
            for (int i = 0; i < d.tables[size_t(t)].fieldCount; ++i) {
                const DictionaryField &f = d.fields[size_t(d.tables[size_t(t)].firstField + i)];
                QCOMPARE(f.table, t);
                QCOMPARE(f.number, i + 1);
            }
    }

    void progressCanStopTheRead()
    {
        int calls = 0;
        try {
            DictionaryReader::read(target(folder.path()), "sa", "pw", [&](int) { return ++calls < 1; });
            QFAIL("the read went on");
        } catch (const Error &e) {
            QVERIFY(DictionaryReader::isCancelled(e));
        }
        QCOMPARE(calls, 1);
    }
};

QTEST_GUILESS_MAIN(TestDictionaryReader)
#include "tst_dictionary_reader.moc"
