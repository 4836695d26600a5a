// `datadict check ...` and `datadict export ... --physical` as a user runs
// them over a dictionary folder whose database drifts from its dictionary:
// exit statuses, standard output and error, the report's rows.
#include "awkward_dictionary.h"
#include "test_folder.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include "program_run.h"

using exporttest::binaryDir;

namespace {

const QString Catalog = QStringLiteral("svdata_001_2011");

struct Run {
    int status = -1;
    QString out, err;
};

Run datadict(const QStringList &args)
{
    const ddtest::ProgramRun run = ddtest::runWithoutTerminal(binaryDir() + "/datadict", args);
    return {run.status, QString::fromUtf8(run.out).remove(QChar(0xFEFF)), QString::fromUtf8(run.err)};
}

QStringList on(const QString &command, const QString &server, const QStringList &more)
{
    return QStringList{command, "--server", server, "--account", "001", "--year", "2011"} + more;
}

QStringList lines(const QString &text)
{
    return text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

}  // namespace

class CliCheck : public QObject {
    Q_OBJECT
    ddtest::DictionaryFolder folder;
    QTemporaryDir out;

private slots:
    void initTestCase();
    void findingsAndExitStatus();
    void exportWithThePhysicalColumns();
};

// 总账 GL_a: F2 documented int but decimal, F3 missing, cExtra undocumented;
// 应收 AR_ok agrees with its table; ZZ_log is documented nowhere.
void CliCheck::initTestCase()
{
    folder.accounts({{"001", "Main", {2011}}});
    folder.catalog(Catalog, {{"01", "总账", "GL_a", "甲表",
                              {{"F1", "编码", "nvarchar(20)"}, {"F2", "金额", "int"}, {"F3", "备注", "nvarchar(60)"}}},
                             {"02", "应收", "AR_ok", "乙表", {{"cCode", "编码", "nvarchar(20)"}}}});
    folder.execute(Catalog, "create table GL_a (F1 nvarchar(20) not null primary key, F2 decimal(18,4), cExtra int)");
    folder.execute(Catalog, "insert into GL_a values ('a', 1, null)");
    folder.execute(Catalog, "create table AR_ok (cCode nvarchar(20))");
    folder.execute(Catalog, "create table ZZ_log (id int)");
}

void CliCheck::findingsAndExitStatus()
{
    // Errors found: the whole report first, then exit 1.
    const Run all = datadict(on("check", folder.path(), {"--format", "csv", "--output", "-"}));
    QCOMPARE(all.status, 1);
    QCOMPARE(lines(all.out), (QStringList{"级别,数据表,中文表名,字段名称,问题,字典类型,实际类型",
                                          "错误,GL_a,甲表,F3,数据库中没有此字段,nvarchar(60),",
                                          "警告,GL_a,甲表,F2,类型不一致,int,\"decimal(18,4)\"",
                                          "警告,GL_a,甲表,cExtra,字典中没有此字段,,int",
                                          "提示,ZZ_log,,,字典中没有此表,,"}));

    // One module that agrees: an empty report, exit 0.
    const QString json = out.filePath("check.json");
    const Run clean = datadict(on("check", folder.path(), {"--module", "应收", "--format", "json", "--output", json}));
    QCOMPARE(clean.status, 0);
    QFile f(json);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QJsonObject report = QJsonDocument::fromJson(f.readAll()).object();
    QCOMPARE(report["summary"].toString(), QStringLiteral("共0处：错误0处，警告0处，提示0处"));
    QCOMPARE(report["rows"].toArray().size(), 0);

    // Markdown of the other module to standard output: its findings only.
    const Run md = datadict(on("check", folder.path(), {"--module", "总账", "--format", "md", "--output", "-"}));
    QCOMPARE(md.status, 1);
    QVERIFY(md.out.contains(QStringLiteral("共3处：错误1处，警告2处，提示0处")));
    QVERIFY(md.out.contains(QStringLiteral("| 错误 | GL\\_a |")) || md.out.contains(QStringLiteral("| 错误 | GL_a |")));

    // No report: an unknown year (3); a wrong command line (2).
    const Run noYear = datadict({"check", "--server", folder.path(), "--account", "001", "--year", "1999",
                                 "--format", "csv", "--output", "-"});
    QCOMPARE(noYear.status, 3);
    QVERIFY(noYear.out.isEmpty());
    QVERIFY2(noYear.err.contains("1999"), qPrintable(noYear.err));
    QCOMPARE(datadict(on("check", folder.path(), {"--format", "pdf", "--output", "-"})).status, 2);
}

void CliCheck::exportWithThePhysicalColumns()
{
    const Run plain = datadict(on("export", folder.path(), {"--format", "csv", "--output", "-"}));
    QCOMPARE(plain.status, 0);
    QCOMPARE(lines(plain.out).value(0), QStringLiteral("数据表,中文表名,所属模块,序号,字段名称,字段含义,字段类型"));

    const Run physical = datadict(on("export", folder.path(), {"--physical", "--format", "csv", "--output", "-"}));
    QCOMPARE(physical.status, 0);
    const QStringList rows = lines(physical.out);
    QCOMPARE(rows.value(0), lines(plain.out).value(0) + QStringLiteral(",实际类型,允许空,键,核对"));
    QCOMPARE(rows.mid(1), (QStringList{"GL_a,甲表,总账,1,F1,编码,nvarchar(20),nvarchar(20),否,主键,",
                                       "GL_a,甲表,总账,2,F2,金额,int,\"decimal(18,4)\",是,,类型不一致",
                                       "GL_a,甲表,总账,3,F3,备注,nvarchar(60),,,,数据库中没有此字段",
                                       "AR_ok,乙表,应收,1,cCode,编码,nvarchar(20),nvarchar(20),是,,"}));
    // Without the switch, every byte as the plain export's.
    QCOMPARE(lines(plain.out).mid(1).size(), 4);
}

QTEST_MAIN(CliCheck)
#include "tst_cli_check.moc"
