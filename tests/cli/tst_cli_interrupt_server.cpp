// Ctrl+C in the command line: while a statement waits on a server that has
// gone silent, and at the password prompt (the terminal's echo comes back).
#include "awkward_dictionary.h"
#include "tds_server_process.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#ifdef Q_OS_WIN
#include "windows_console.h"
#include <windows.h>
#else
#include <csignal>
#include <unistd.h>
#endif

using namespace exporttest;

namespace {

#ifdef Q_OS_WIN
// On Windows Ctrl+C reaches the programs of a console: the console program
// runs in a console of its own.
using Program = clitest::ConsoleProgram;
const QString kProgram = QStringLiteral("/datadict.com");
#else
// A program in a session of its own, interrupted as a terminal does.
class Program {
public:
    ~Program()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    bool start(const QString &program, const QStringList &args, const QProcessEnvironment &env)
    {
        process_.setProcessEnvironment(env);
        process_.setChildProcessModifier([] { ::setsid(); });
        process_.start(program, args);
        return process_.waitForStarted();
    }
    QProcess &process() { return process_; }
    void interrupt() { ::kill(pid_t(process_.processId()), SIGINT); }

private:
    QProcess process_;
};
const QString kProgram = QStringLiteral("/datadict");
#endif

// An export started against the server; returns once the server holds a
// statement it will never answer.
bool startExport(Program &p, const tdstest::TdsServerProcess &server, const QString &output)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DATADICT_PASSWORD", server.password());
    if (!p.start(binaryDir() + kProgram,
                 {"export", "--server", server.dataSource(), "--account", "001", "--year", "2011",
                  "--format", "csv", "--output", output},
                 env))
        return false;
    return QTest::qWaitFor([&] { return server.holdsUnansweredStatement(); }, 20000);
}

}  // namespace

class TestCliInterrupt : public QObject {
    Q_OBJECT
    ddtest::DictionaryFolder folder;
    QTemporaryDir out;

private slots:
    void initTestCase() { makeAwkwardFolder(folder); }

    // The first Ctrl+C cancels and ends within 2 s however the server
    // behaves; a second one ends at once.
    void interruptEndsAWaitingExport_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<int>("interrupts");
        QTest::addColumn<int>("boundMs");
        QTest::newRow("once") << QStringList{"--hang-after-login"} << 1 << 2000;
        QTest::newRow("twice") << QStringList{"--hang-after-login"} << 2 << 700;
    }
    void interruptEndsAWaitingExport()
    {
        QFETCH(QStringList, faults);
        QFETCH(int, interrupts);
        QFETCH(int, boundMs);
        tdstest::TdsServerProcess server({folder.path(), "pw", faults});
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        const QString output = out.filePath(QString("interrupted%1.csv").arg(interrupts));
        Program program;
        QVERIFY(startExport(program, server, output));
        for (int i = 1; i < interrupts; ++i) {
            program.interrupt();
            QTest::qWait(100);
        }
        QElapsedTimer ending;
        ending.start();
        program.interrupt();
        QProcess &p = program.process();
        QVERIFY(p.waitForFinished(35000));
        QVERIFY2(ending.elapsed() < boundMs, qPrintable(QString::number(ending.elapsed())));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 130);
        QVERIFY(!QFile::exists(output));
    }

    // At the prompt, through a terminal: Ctrl+C ends with 130 and Ctrl+D
    // (end of input) is no password; either way echo is back on after.
    void thePromptGivesTheTerminalBack_data()
    {
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("Ctrl+C") << QByteArray("sec\x03") << 130 << "";
        QTest::newRow("Ctrl+D") << QByteArray("\x04") << 2 << "没有输入密码";
    }
    void thePromptGivesTheTerminalBack()
    {
        QFETCH(QByteArray, typed);
        QFETCH(int, status);
        QFETCH(QString, said);
#ifdef Q_OS_WIN
        QSKIP("Windows has consoles, not terminals: theConsolePromptHidesTheTyping");
#endif
        if (QStandardPaths::findExecutable("script").isEmpty())
            QSKIP("script (util-linux) is not installed");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DATADICT_PASSWORD");
        env.insert("LANG", "C.UTF-8");
        env.insert("SHELL", "/bin/sh");
        p.setProcessEnvironment(env);
        // The shell outlives the program's Ctrl+C (a trap), to report.
        const QString command = "trap true INT; '" + binaryDir() + "/datadict' export --server '" + folder.path()
                                + "' --account 001 --year 2011 --format csv --output '"
                                + out.filePath("never.csv") + "'; echo status=$?; stty -a";
        p.start("script", {"-qec", command, "/dev/null"});
        QVERIFY(p.waitForStarted());
        QByteArray shown;
        QElapsedTimer waited;
        waited.start();
        while (!shown.contains("sa 的密码：") && waited.elapsed() < 20000) {
            p.waitForReadyRead(100);
            shown += p.readAll();
        }
        QVERIFY2(shown.contains("sa 的密码："), shown.constData());
        p.write(typed);
        QTest::qWait(500);
        p.closeWriteChannel();   // script ends only with its input
        QVERIFY(p.state() == QProcess::NotRunning || p.waitForFinished(20000));
        shown += p.readAll();
        const QString text = QString::fromUtf8(shown);
        QVERIFY2(text.contains(QString("status=%1").arg(status)), qPrintable(text));
        QVERIFY2(text.contains(said), qPrintable(text));
        QVERIFY2(text.contains(QRegularExpression("[ ;]echo ")) && !text.contains("-echo "), qPrintable(text));
        QVERIFY(!QFile::exists(out.filePath("never.csv")));
    }

    // The same in a Windows console, typed as keys: nothing typed is shown,
    // Enter answers, Ctrl+C ends with 130, Ctrl+Z is no password, and the
    // console echoes again after.
    void theConsolePromptHidesTheTyping_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("Enter") << "zq7Kx\r" << 0 << "";
        QTest::newRow("Ctrl+C") << "zq7Kx\x03" << 130 << "";
        QTest::newRow("Ctrl+Z") << "\x1a" << 2 << "没有输入密码";
    }
    void theConsolePromptHidesTheTyping()
    {
#ifndef Q_OS_WIN
        QSKIP("a Windows console");
#else
        QFETCH(QString, typed);
        QFETCH(int, status);
        QFETCH(QString, said);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DATADICT_PASSWORD");
        const QString output = out.filePath(QStringLiteral("console %1.csv").arg(status));
        clitest::ConsoleProgram program;
        QVERIFY(program.start(binaryDir() + kProgram,
                              {"export", "--server", folder.path(), "--account", "001", "--year", "2011",
                               "--format", "csv", "--output", output},
                              env));
        QVERIFY2(program.shows("sa 的密码：", 20000), qPrintable(program.screen()));
        program.type(typed);
        QVERIFY(program.process().waitForFinished(20000));
        QCOMPARE(program.process().exitCode(), status);
        const QString screen = program.screen();
        QVERIFY2(!screen.contains("zq7Kx") && screen.contains(said), qPrintable(screen));
        QVERIFY(program.inputMode() & ENABLE_ECHO_INPUT);
        QCOMPARE(QFile::exists(output), status == 0);
#endif
    }
};

QTEST_GUILESS_MAIN(TestCliInterrupt)
#include "tst_cli_interrupt_server.moc"
