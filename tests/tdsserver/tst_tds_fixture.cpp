// The server CTest's "tdsserver" fixture keeps running for the whole test
// run, serving the sample dictionary: what other tests connect to.
#include "odbc_client.h"
#include "tds_server_process.h"
#include <QTest>

using namespace tdstest;

class TestTdsFixture : public QObject {
    Q_OBJECT
private slots:
    void servesTheSampleDictionary();
};

void TestTdsFixture::servesTheSampleDictionary()
{
    const quint16 port = fixturePort();
    QVERIFY2(port != 0, "the tdsserver fixture is not running (run through ctest)");
    OdbcClient system(freeTdsConnectionString(port, "svsystem", "sa", fixturePassword()));
    QVERIFY2(system.open(), qPrintable(system.lastError().text()));
    const QueryOutcome accounts = system.query("Select cAcc_id,cAcc_Name from ua_account");
    QVERIFY2(accounts.ok, qPrintable(accounts.error.text()));
    QVERIFY(!accounts.first().rows.isEmpty());
    const QString first = accounts.first().rows[0][0].toString();
    const QueryOutcome years = system.query(
        QStringLiteral("select distinct iyear from UA_Period where cacc_id='%1'").arg(first));
    QVERIFY(!years.first().rows.isEmpty());

    const QString catalog = QStringLiteral("svdata_%1_%2").arg(first).arg(years.first().rows[0][0].toInt());
    OdbcClient year(freeTdsConnectionString(port, catalog, "sa", fixturePassword()));
    QVERIFY2(year.open(), qPrintable(year.lastError().text()));
    const QueryOutcome tables = year.query(
        "select Tablename as 数据表,Tabledefine as 中文表名,SystemName as 所属模块 from   RPT_GRPDEF  order by systemid");
    QVERIFY2(tables.ok, qPrintable(tables.error.text()));
    QVERIFY(tables.first().rows.size() > 100);

    const StatementLog log = StatementLog::read(fixtureLogFile());
    QVERIFY(log.logins().size() >= 2);
    QVERIFY(log.statementTexts().contains("Select cAcc_id,cAcc_Name from ua_account"));
}

QTEST_GUILESS_MAIN(TestTdsFixture)
#include "tst_tds_fixture.moc"
