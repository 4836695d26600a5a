// `datadict export ...` as a user runs it: where the password comes from,
// what the exit status and standard error say, what standard output holds,
// over a dictionary folder and over the SQL Server path (the test server).
#include "awkward_dictionary.h"
#include "tds_server_process.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include "program_run.h"
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace exporttest;

namespace {

using Run = ddtest::ProgramRun;

// Runs the program without a terminal; standard output appended to a file
// when one is named.
Run datadict(const QStringList &args, const QString &password = QString(), bool withPassword = true,
             const QString &appendOutputTo = QString())
{
    const QString given = withPassword ? (password.isNull() ? QStringLiteral("pw") : password) : QString();
    return ddtest::runWithoutTerminal(binaryDir() + "/datadict", args, given, appendOutputTo);
}

QStringList exportArgs(const QString &server, const QStringList &more)
{
    return QStringList{"export", "--server", server, "--account", "001", "--year", "2011"} + more;
}

}  // namespace

class TestCliExport : public QObject {
    Q_OBJECT
    ddtest::DictionaryFolder folder;
    QTemporaryDir out;

private slots:
    void initTestCase() { makeAwkwardFolder(folder); }

    void helpAndVersion()
    {
        const Run version = datadict({"--version"});
        QCOMPARE(version.status, 0);
        QCOMPARE(QString::fromUtf8(version.out), "数据字典工具 1.00.0001\n");
        const Run help = datadict({"--help"});
        QCOMPARE(help.status, 0);
        QVERIFY(QString::fromUtf8(help.out).contains("datadict export --server SERVER --account ID --year YEAR"));
        QVERIFY(help.err.isEmpty() && version.err.isEmpty());
        // The command's own --help, whatever else is on the line.
        for (const QStringList &args : {QStringList{"export", "--help"},
                                        QStringList{"export", "--server", "--help"},
                                        QStringList{"export", "-h", "--format", "pdf"}}) {
            const Run commandHelp = datadict(args);
            QCOMPARE(commandHelp.status, 0);
            QCOMPARE(commandHelp.out, help.out);
            QVERIFY(commandHelp.err.isEmpty());
        }
    }

    // Blanks around the account and the year are dropped before the check,
    // the year query and the database name alike.
    void accountAndYearTrimmed()
    {
        const Run run = datadict({"export", "--server", folder.path(), "--account", " 001 ", "--year", "2011 ",
                                  "--format", "csv", "--output", "-"});
        QVERIFY2(run.status == 0, run.err.constData());
        const Run plain = datadict(exportArgs(folder.path(), {"--format", "csv", "--output", "-"}));
        QCOMPARE(plain.status, 0);
        QCOMPARE(run.out, plain.out);
    }

    void csvAndMarkdownToStandardOutput()
    {
        const Run csv = datadict(exportArgs(folder.path(), {"--format", "csv", "--output", "-"}));
        QCOMPARE(csv.status, 0);
        QVERIFY2(csv.err.isEmpty(), csv.err.constData());   // no terminal: no progress
        QFile f(out.filePath("stdout.csv"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(csv.out);
        f.close();
        const auto rows = rowsOf(readBack("csv", f.fileName())["fields"]);
        QCOMPARE(int(rows.size()), int(expectedFieldRows().size()));
        QCOMPARE(rows[2][5], "扩展B 𠀀𠀁");

        const Run md = datadict(exportArgs(folder.path(), {"--module", "应收<管理>", "--format", "md", "--output", "-"}));
        QCOMPARE(md.status, 0);
        const QString text = QString::fromUtf8(md.out);
        QVERIFY(text.contains("### AR\\_x y") || text.contains("### AR_x y"));
        QVERIFY(!text.contains("GL\\_a"));
    }

    // CSV for spreadsheets unless --csv-raw; standard output that is a file
    // the shell opened to append to is appended to, not replaced; a workbook
    // goes to standard output; a cut cell is reported.
    void outputsThatCannotBeMisread()
    {
        ddtest::DictionaryFolder marks;
        marks.accounts({{"001", "公司", {2011}}});
        marks.catalog("svdata_001_2011", {{"01", "总账", "=T", "-1：红字",
                                           {{"@f", "+x", "int"}, {"long", QString(40000, QChar(0x5b57)), "ntext"}}}});
        const QStringList csv{"--format", "csv", "--output", "-"};
        const Run guarded = datadict(exportArgs(marks.path(), csv));
        QVERIFY2(guarded.status == 0, guarded.err.constData());
        QVERIFY(guarded.out.contains("\r\n'=T,'-1：红字,总账,1,'@f,'+x,int\r\n"));
        const Run raw = datadict(exportArgs(marks.path(), csv + QStringList{"--csv-raw"}));
        QCOMPARE(raw.status, 0);
        QVERIFY(raw.out.contains("\r\n=T,-1：红字,总账,1,@f,+x,int\r\n"));

#ifndef Q_OS_WIN  // a path through /proc to standard output: Linux's
        const QString appended = out.filePath("appended.csv");
        {
            QFile f(appended);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("before\n");
        }
        struct stat before {}, after {};
        QCOMPARE(::stat(QFile::encodeName(appended).constData(), &before), 0);
        const Run toFd = datadict(exportArgs(marks.path(), {"--format", "csv", "--output", "/proc/self/fd/1"}),
                                  QString(), true, appended);
        QVERIFY2(toFd.status == 0, toFd.err.constData());
        QCOMPARE(::stat(QFile::encodeName(appended).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QFile f(appended);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), "before\n" + guarded.out);
#endif

        const Run book = datadict(exportArgs(marks.path(), {"--format", "xlsx", "--output", "-"}));
        QVERIFY2(book.status == 0, book.err.constData());
        QVERIFY2(QString::fromUtf8(book.err).startsWith("有 1 个单元格的文字超过 Excel 单元格的上限"), book.err.constData());
        QFile workbook(out.filePath("stdout.xlsx"));
        QVERIFY(workbook.open(QIODevice::WriteOnly));
        workbook.write(book.out);
        workbook.close();
        const auto fields = rowsOf(readBack("xlsx", workbook.fileName())["fields"]);
        QCOMPARE(int(fields.size()), 2);
        QCOMPARE(fields[1][5].size(), 32767);
        QVERIFY(guarded.err.isEmpty());   // nothing is cut in CSV
    }

    void failuresNameTheirCause_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString server = folder.path();
        auto with = [&](const QStringList &more) {
            return QStringList{"export", "--server", server} + more;
        };
        const QStringList output{"--format", "csv", "--output", out.filePath("never.csv")};
        QTest::newRow("unknown account") << with(QStringList{"--account", "009", "--year", "2011"} + output) << 1 << "服务器上没有账套【009】。";
        QTest::newRow("unknown year") << with(QStringList{"--account", "001", "--year", "1999"} + output) << 1 << "账套【001】没有会计年度【1999】。";
        QTest::newRow("unknown module") << with(QStringList{"--account", "001", "--year", "2011", "--module", "存货"} + output) << 1 << "字典中没有模块【存货】。";
        QTest::newRow("unknown format") << with({"--account", "001", "--year", "2011", "--format", "pdf", "--output", out.filePath("never.csv")}) << 2 << "不认识的格式【pdf】：可用 xlsx、csv、md、html。";
        QTest::newRow("no output") << with({"--account", "001", "--year", "2011", "--format", "csv"}) << 2 << "缺少参数 --output。";
        QTest::newRow("option twice") << with(QStringList{"--account", "001", "--year", "2011", "--year", "2010"} + output) << 2 << "参数 --year 只能给一次。";
        QTest::newRow("password argument") << with(QStringList{"--account", "001", "--year", "2011", "--password", "x"} + output) << 2 << "密码不能写在命令行上：请用环境变量 DATADICT_PASSWORD，或在终端上输入。";
        QTest::newRow("missing folder") << with({"--account", "001", "--year", "2011", "--format", "csv", "--output", out.filePath("missing/never.csv")}) << 1 << QStringLiteral("找不到路径【%1】。").arg(QDir::toNativeSeparators(out.filePath("missing/never.csv")));
    }

    void failuresNameTheirCause()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const Run run = datadict(args);
        QCOMPARE(run.status, status);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(QString::fromUtf8(run.err).split('\n').first(), message);
        QVERIFY(!QFile::exists(out.filePath("never.csv")));
    }

    void passwordFromTheTerminalOnly()
    {
        // Without the variable and without a terminal there is no one to ask.
        const Run none = datadict(exportArgs(folder.path(), {"--format", "csv", "--output", "-"}), QString(), false);
        QCOMPARE(none.status, 2);
        QVERIFY(QString::fromUtf8(none.err).startsWith("没有密码"));

        // On a terminal it is asked for, and not echoed.
        if (QStandardPaths::findExecutable("script").isEmpty())
            QSKIP("script (util-linux) is not installed");
        tdstest::TdsServerProcess server({folder.path()});
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        const QString target = out.filePath("typed.xlsx");
        QStringList args = exportArgs(server.dataSource(), {"--format", "xlsx", "--output", target});
        for (QString &a : args)
            a = "'" + a + "'";
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DATADICT_PASSWORD");
        p.setProcessEnvironment(env);
        p.start("script", {"-qec", binaryDir() + "/datadict " + args.join(' '), "/dev/null"});
        QVERIFY(p.waitForStarted());
        QTest::qWait(500);
        p.write(server.password().toUtf8() + "\n");
        QVERIFY(p.waitForFinished(120000));
        const QString shown = QString::fromUtf8(p.readAll());
        QVERIFY2(p.exitCode() == 0, qPrintable(shown));
        QVERIFY(shown.contains("sa 的密码："));
        QVERIFY(!shown.contains(server.password()));
        QVERIFY(QFile::exists(target));
    }

    void overTheSqlServerPath()
    {
        tdstest::TdsServerProcess server({folder.path()});
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        const Run wrong = datadict(exportArgs(server.dataSource(), {"--format", "csv", "--output", "-"}), "wrong");
        QCOMPARE(wrong.status, 1);
        QVERIFY(wrong.out.isEmpty() && !wrong.err.isEmpty());

        const Run run = datadict(exportArgs(server.dataSource(), {"--module", "应收<管理>", "--format", "csv", "--output", "-"}),
                                 server.password());
        QVERIFY2(run.status == 0, run.err.constData());
        QCOMPARE(QString::fromUtf8(run.out),
                 QString("\uFEFF数据表,中文表名,所属模块,序号,字段名称,字段含义,字段类型\r\n"
                         "AR_x y,应收'单,应收<管理>,1,cCusCode,客户编码,nvarchar(20)\r\n"
                         "AR_x y,应收'单,应收<管理>,2,iSum,金额,money\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestCliExport)
#include "tst_cli_export.moc"
