// The browser against a SQL Server (the TDS test server over loopback, with
// the real ODBC driver): start-up and navigation send exactly the
// dictionary statements.
#include "browser_driver.h"
#include "data/connection.h"
#include "data/statements.h"
#include "test_folder.h"
#include <QComboBox>
#include <QTest>
#if __has_include("tds_server_process.h")
#include "tds_server_process.h"
#define HAVE_TDS_SERVER 1
#endif

using namespace brtest;
using namespace dd::sql;

class BrowserSqlServer : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { endProgram(); }
    void startUpAndNavigation();
};

#ifdef HAVE_TDS_SERVER
void BrowserSqlServer::startUpAndNavigation()
{
    const QString catalog = QStringLiteral("svdata_001_2011");
    ddtest::DictionaryFolder folder;
    folder.accounts({{"001", "Main", {2011}}});
    folder.catalog(catalog, {ddtest::table("01", "总账", "GL_a", "甲表", 3),
                             ddtest::table("01", "总账", "GL_b", "乙表", 5),
                             ddtest::table("02", "应收", "AR_x", "丙表", 2)});
    tdstest::TdsServerProcess server({folder.path()});
    QString error;
    QVERIFY2(server.start(&error), qPrintable(error));
    try {
        dd::Connection probe;
        probe.Open(systemConnectionString(server.dataSource()), "sa", server.password());
    } catch (const dd::Error &e) {
        QSKIP(qPrintable("the test server refuses the right password: " + e.Description()));
    }
    // What the browser sent on the account-year database since the last
    // look (the ODBC driver's own SET statements aside).
    auto sent = [&] {
        QStringList texts;
        for (const tdstest::StatementLogEntry &e : server.log().statements())
            if (e.catalog.compare(catalog, Qt::CaseInsensitive) == 0
                && !e.text.trimmed().startsWith("SET ", Qt::CaseInsensitive))
                texts << e.text.trimmed();
        server.clearLog();
        return texts;
    };

    startProgram();
    logIn(server.dataSource(), server.password());
    clickOk();
    QVERIFY(::Form2.isLoaded());
    browser::Form2 &b = *::Form2;
    QCOMPARE(b.Label3.Caption(), QStringLiteral("【共加载3个表】"));
    QCOMPARE(entries(b.Combo2), (QStringList{"全部模块", "总账", "应收"}));
    QCOMPARE(headers(b.DataGrid2), (QStringList{"字段名称", "字段含义", "字段类型"}));
    QCOMPARE(b.Label1.Caption(), QStringLiteral("GL_a表字段说明:(此表共3个字段)"));
    QCOMPARE(sent(), (QStringList{allTablesQuery(), moduleQuery(), allTablesQuery(), fieldQuery("GL_a")}));

    clickRow(b.DataGrid1, 2);
    eraseTableName();  // GL_, GL and G each find GL_a
    pickFromList(b.Combo2.comboBox(), 2);
    QCOMPARE(b.Label3.Caption(), QStringLiteral("【应收】模块共加载了1个表"));
    QCOMPARE(b.Label1.Caption(), QStringLiteral("AR_x表字段说明:(此表共2个字段)"));
    const QString a = fieldQuery("GL_a");
    QCOMPARE(sent(), (QStringList{fieldQuery("AR_x"), a, a, a, moduleTablesQuery("应收"), fieldQuery("AR_x")}));
}
#else
void BrowserSqlServer::startUpAndNavigation() { QSKIP("the TDS test server is not built"); }
#endif

QTEST_MAIN(BrowserSqlServer)
#include "tst_browser_sqlserver.moc"
