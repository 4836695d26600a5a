// The database's own structure in the browser over SQL Server (the TDS test
// server as SQL Server 2000 and as 2012 and later, with the real ODBC
// driver), on a server that refuses the row counts: columns and keys still
// come, the counts show "?" and the reason is told once.
#include "browser_driver.h"
#include "test_folder.h"
#include <QCheckBox>
#include <QTest>
#if __has_include("tds_server_process.h")
#include "tds_server_process.h"
#define HAVE_TDS_SERVER 1
#endif

using namespace brtest;

class BrowserPhysicalServer : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { endProgram(); }
    void refusedCountsShowAQuestionMark_data();
    void refusedCountsShowAQuestionMark();
};

void BrowserPhysicalServer::refusedCountsShowAQuestionMark_data()
{
    QTest::addColumn<QString>("tdsVersion");
    QTest::newRow("SQL Server 2000") << "7.1";
    QTest::newRow("SQL Server 2012+") << "7.4";
}

#ifdef HAVE_TDS_SERVER
void BrowserPhysicalServer::refusedCountsShowAQuestionMark()
{
    QFETCH(QString, tdsVersion);
    const QString catalog = QStringLiteral("svdata_001_2011");
    ddtest::DictionaryFolder folder;
    folder.accounts({{"001", "Main", {2011}}});
    folder.catalog(catalog, {{"01", "总账", "GL_a", "甲表", {{"F1", "编码", "nvarchar(20)"}, {"F2", "金额", "int"}}},
                             {"02", "应收", "AR_x", "丙表", {{"cCode", "编码", "nvarchar(20)"}}}});
    folder.execute(catalog, "create table GL_a (F1 nvarchar(20) not null primary key, F2 decimal(18,4))");
    folder.execute(catalog, "insert into GL_a values ('a', 1)");
    tdstest::TdsServerProcess server({folder.path(), "pw", {"--tds-version", tdsVersion, "--refuse-row-counts"}});
    QString error;
    QVERIFY2(server.start(&error), qPrintable(error));

    startProgram();
    logIn(server.dataSource(), server.password());
    clickOk();
    QVERIFY(::Form2.isLoaded());
    browser::Form2 &b = *::Form2;
    ui::ScopedMsgBoxHandler boxes;
    QTest::mouseClick(b.Check1.checkBox(), Qt::LeftButton, {}, QPoint(6, b.Check1.checkBox()->height() / 2));
    QTRY_COMPARE_WITH_TIMEOUT(headers(b.DataGrid1).size(), 4, 20000);
    QCOMPARE(column(b.DataGrid1, 3), (QStringList{"?", ""}));   // AR_x is missing
    QCOMPARE(b.DataGrid2.rowTexts(0).join('|'), QStringLiteral("F1|编码|nvarchar(20)|nvarchar(20)|否|主键|"));
    QCOMPARE(b.DataGrid2.rowTexts(1).join('|'), QStringLiteral("F2|金额|int|decimal(18,4)|是||类型不一致"));
    QCOMPARE(boxes.calls().size(), 1);
    QVERIFY2(boxes.calls()[0].prompt.startsWith(QStringLiteral("无法读取约行数：")), qPrintable(boxes.calls()[0].prompt));

    // Hiding empty tables cannot tell empty from full: the missing one goes, nothing is told again.
    QTest::mouseClick(b.Check2.checkBox(), Qt::LeftButton, {}, QPoint(6, b.Check2.checkBox()->height() / 2));
    QCOMPARE(column(b.DataGrid1, 0), QStringList{"GL_a"});
    QCOMPARE(boxes.calls().size(), 1);
}
#else
void BrowserPhysicalServer::refusedCountsShowAQuestionMark() { QSKIP("the TDS test server is not built"); }
#endif

QTEST_MAIN(BrowserPhysicalServer)
#include "tst_browser_physical_server.moc"
