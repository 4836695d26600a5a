// What the command line writes, byte for byte, whichever way it is run: to
// a pipe its text is UTF-8 with bare line feeds, CSV to standard output is
// the file's own bytes, and paths with spaces and Chinese (on Windows also
// backslashes and drive letters) name the dictionary and the target. On
// Windows both programs are run, datadict.exe and the console datadict.com,
// and the export is compared with the Linux build's (DD_LINUX_BINARY).
#include "host_tools.h"
#include "program_run.h"
#ifdef Q_OS_WIN
#include "windows_console.h"
#endif
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = ddtest::ProgramRun;

QString binaryDir() { return qEnvironmentVariable("DD_BINARY_DIR"); }

Run run(const QString &program, const QStringList &args)
{
    return ddtest::runWithoutTerminal(program, args);
}

QStringList exportArgs(const QString &server, const QString &output)
{
    return {"export", "--server", server, "--account", "001", "--year", "2011", "--format", "csv",
            "--output", output};
}

}  // namespace

class TestCliConsole : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString sample;  // a copy of the sample dictionary in a folder named awkwardly

private slots:
    void initTestCase()
    {
        sample = dir.filePath(QStringLiteral("样例 字典"));
        QVERIFY(QDir().mkpath(sample));
        const QDir built(binaryDir() + "/sample");
        for (const QString &file : built.entryList({"*.db"}, QDir::Files))
            QVERIFY(QFile::copy(built.filePath(file), sample + "/" + file));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("导出 目录"))));
    }

    void programs_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("datadict") << binaryDir() + "/datadict";
#ifdef Q_OS_WIN
        QTest::newRow("datadict.com") << binaryDir() + "/datadict.com";
#endif
    }

    void textIsUtf8WithBareLineFeeds_data() { programs_data(); }
    void textIsUtf8WithBareLineFeeds()
    {
        QFETCH(QString, program);
        const Run version = run(program, {"--version"});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QStringLiteral("数据字典工具 1.00.0001\n").toUtf8());
        const Run help = run(program, {"--help"});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.contains("datadict export") && !help.out.contains('\r'));
        const Run failed = run(program, {"export", "--server", QDir::toNativeSeparators(sample), "--account", "009",
                                         "--year", "2011", "--format", "csv", "--output", "-"});
        QCOMPARE(failed.status, 1);
        QCOMPARE(failed.err, QStringLiteral("服务器上没有账套【009】。\n").toUtf8());
        QVERIFY(failed.out.isEmpty());
    }

    void standardOutputHoldsTheFilesBytes_data() { programs_data(); }
    void standardOutputHoldsTheFilesBytes()
    {
        QFETCH(QString, program);
        const QString server = QDir::toNativeSeparators(sample);
        const Run piped = run(program, exportArgs(server, "-"));
        QCOMPARE(piped.status, 0);
        QVERIFY(piped.out.startsWith("\xEF\xBB\xBF") && piped.out.contains("\r\n") && !piped.out.contains("\r\r\n"));
        const QString target = QDir::toNativeSeparators(dir.filePath(QStringLiteral("导出 目录/字典.csv")));
        const Run written = run(program, exportArgs(server, target));
        QVERIFY2(written.status == 0, written.err.constData());
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), piped.out);
        QVERIFY(file.remove());
    }

    // Run from cmd.exe: the text shows in its console as written, whatever
    // the console's code page, and cmd.exe waits for the exit status.
    void cmdShowsTheTextAndTheStatus()
    {
#ifndef Q_OS_WIN
        QSKIP("cmd.exe");
#else
        const QString program = QDir::toNativeSeparators(binaryDir() + "/datadict.com");
        const QString failing = QStringLiteral("export --server \"%1\" --account 009 --year 2011 --format csv --output -")
                                    .arg(QDir::toNativeSeparators(sample));
        const QList<QPair<QString, QString>> runs{{"--version", "数据字典工具 1.00.0001\nstatus=0"},
                                                  {failing, "服务器上没有账套【009】。\nstatus=1"}};
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DATADICT_PASSWORD", "pw");
        for (const auto &[args, shown] : runs) {
            clitest::ConsoleProgram cmd;
            // /s: only the outer quotes go; pause keeps the console for reading.
            cmd.process().setNativeArguments(
                QStringLiteral("/v:on /s /c \"\"%1\" %2 & echo status=!errorlevel! & pause >nul\"").arg(program, args));
            QVERIFY(cmd.start(QStringLiteral("cmd.exe"), {}, env));
            QVERIFY2(cmd.shows(shown, 60000), qPrintable(cmd.screen()));
        }
#endif
    }

    // The same sample read by the Linux build gives the same bytes.
    void sameBytesAsTheLinuxBuild()
    {
#ifndef Q_OS_WIN
        QSKIP("compares the Windows build with the Linux one");
#else
        const QString linuxBuild = qEnvironmentVariable("DD_LINUX_BINARY");
        if (linuxBuild.isEmpty())
            QSKIP("DD_LINUX_BINARY names no Linux build of the program");
        const Run windows = run(binaryDir() + "/datadict.com", exportArgs(QDir::toNativeSeparators(sample), "-"));
        QCOMPARE(windows.status, 0);
        const ddtest::HostRun host = ddtest::runHostProgram(
            ddtest::hostProgram("env"),
            QStringList{"DATADICT_PASSWORD=pw", linuxBuild} + exportArgs(ddtest::hostPath(sample), "-"), 120000);
        QVERIFY2(host.finished && host.exitCode == 0, host.err.constData());
        QVERIFY(!host.out.isEmpty());
        QCOMPARE(windows.out, host.out);
#endif
    }
};

QTEST_GUILESS_MAIN(TestCliConsole)
#include "tst_cli_console.moc"
