// The test server as FreeTDS's own command-line client sees it.
#include "tds_server_process.h"
#include "test_folder.h"
#include "tsql_client.h"
#include <QStandardPaths>
#include <QTest>

using namespace tdstest;

class TestTdsTsql : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void readsChineseNamesAndValues();
    void showsServerErrors();
    void refusesAWrongPassword();

private:
    ddtest::DictionaryFolder folder_;
    std::unique_ptr<TdsServerProcess> server_;
};

void TestTdsTsql::initTestCase()
{
    if (QStandardPaths::findExecutable("tsql").isEmpty())
        QSKIP("tsql (freetds-bin) is not installed");
    dictgen::TableRow voucher{"01", "总账", "GL_accvouch", "凭证及明细账", {{"i_id", "自动编号", "int"}, {"cmemo", QString(), "nvarchar(60)"}}};
    folder_.catalog("svdata_001_2009", {voucher});
    server_ = std::make_unique<TdsServerProcess>(ServerSettings{folder_.path()});
    QString error;
    QVERIFY2(server_->start(&error), qPrintable(error));
}

void TestTdsTsql::readsChineseNamesAndValues()
{
    server_->clearLog();
    const QStringList statements = {
        "select Tablename as 数据表,Tabledefine as 中文表名,SystemName as 所属模块 from   RPT_GRPDEF  order by systemid",
        "Select FieldName as 字段名称,FieldDef as 字段含义,FieldType as 字段类型 From RPT_ItmDEF where TableName='GL_accvouch' order by FieldID"};
    const TsqlRun run = runTsql(server_->port(), "sa", server_->password(), "svdata_001_2009", statements);
    QVERIFY2(run.finished, qPrintable(run.output));
    QVERIFY2(run.output.contains("数据表\t中文表名\t所属模块"), qPrintable(run.output));
    QVERIFY(run.output.contains("GL_accvouch\t凭证及明细账\t总账"));
    QVERIFY(run.output.contains("字段名称\t字段含义\t字段类型"));
    QVERIFY(run.output.contains("cmemo\tNULL\tnvarchar(60)"));
    QVERIFY(run.output.contains("(2 rows affected)"));
    // tsql sends nothing of its own.
    QCOMPARE(server_->log().statementTexts(), statements);
}

void TestTdsTsql::showsServerErrors()
{
    const TsqlRun run = runTsql(server_->port(), "sa", server_->password(), "svdata_001_2009",
                                {"select * from RPT_Nothing", "delete from RPT_GRPDEF"});
    QVERIFY2(run.finished, qPrintable(run.output));
    QVERIFY2(run.output.contains("Msg 208 (severity 16, state 1)"), qPrintable(run.output));
    QVERIFY(run.output.contains("Invalid object name 'RPT_Nothing'."));
    QVERIFY(run.output.contains("Msg 3906 (severity 16, state 1)"));
}

void TestTdsTsql::refusesAWrongPassword()
{
    const TsqlRun run = runTsql(server_->port(), "sa", "not it", "svdata_001_2009", {"select 1"});
    QVERIFY2(run.finished, qPrintable(run.output));
    QVERIFY(run.exitCode != 0);
    QVERIFY2(run.output.contains("Msg 18456 (severity 14, state 1)"), qPrintable(run.output));
    QVERIFY(run.output.contains("Login failed for user 'sa'."));
    const TsqlRun missing = runTsql(server_->port(), "sa", server_->password(), "svdata_404_2000", {"select 1"});
    QVERIFY2(missing.output.contains("Cannot open database \"svdata_404_2000\" requested by the login. The login failed."),
             qPrintable(missing.output));
}

QTEST_GUILESS_MAIN(TestTdsTsql)
#include "tst_tds_tsql.moc"
