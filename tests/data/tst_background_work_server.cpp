// The one way reads run off the window thread: a cancel reaches the
// statement the server is still working on, and a cancelled or released
// work hands nothing back.
#include "data/background_work.h"
#include "data/dictionary_reader.h"
#include "data/statements.h"
#include "tds_server_process.h"
#include "test_folder.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <cstdio>

using namespace dd;

namespace {

// The child of exitWhileAWorkWaitsInTheDriver: a work waits on the silent
// server named by the variable, and the program ends.
int exitingChild(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    static struct Tidy {
        ~Tidy() { std::puts("static destructors ran"); }
    } tidy;
    const auto target = sql::accountYearConnectionString("svdata_001_2020", qEnvironmentVariable("DD_EXIT_CHILD"));
    BackgroundWork::start(nullptr, [target](BackgroundWork &w) { DictionaryReader::read(target, "sa", "pw", w.token()); });
    std::puts("reading");
    std::fflush(stdout);
    std::getchar();   // until the parent saw the statement arrive
    return BackgroundWork::shutdown(7);
}

}  // namespace

class TestBackgroundWork : public QObject {
    Q_OBJECT
    ddtest::DictionaryFolder folder;

private slots:
    void initTestCase()
    {
        folder.accounts({{"001", "Main", {2020}}});
        folder.catalog("svdata_001_2020", {ddtest::table("01", "总账", "GL_a", "甲表", 3)});
    }

    // A server that answers each request only after 3 s: the cancel is
    // answered at once, so the read ends long before the answer was due.
    void cancelReachesTheRunningStatement()
    {
        tdstest::TdsServerProcess server({folder.path(), "pw", {"--delay-ms", "3000"}});
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        const ConnectionString target = sql::accountYearConnectionString("svdata_001_2020", server.dataSource());
        QObject receiver;
        int delivered = 0, failed = 0;
        std::optional<BackgroundWork::Outcome> ended;
        auto work = BackgroundWork::start(
            &receiver,
            [target](BackgroundWork &w) {
                DictionaryReader::read(target, "sa", "pw", w.token());
                w.deliver([] { QFAIL("delivered after the cancel"); });
            },
            {[&](const Error &) { ++failed; }, [&](const BackgroundWork::Outcome &o) { ended = o; }});
        QTRY_VERIFY_WITH_TIMEOUT(server.log().statements().size() == 1, 20000);   // logged in, statement sent
        QElapsedTimer cancelling;
        cancelling.start();
        work->cancel();
        QVERIFY(work->wait(2000));
        QVERIFY2(cancelling.elapsed() < 2000, qPrintable(QString::number(cancelling.elapsed())));
        QTRY_VERIFY(ended.has_value());
        QVERIFY(ended->cancelled && ended->failed);
        QCOMPARE(failed + delivered, 0);
        bool attention = false;
        const tdstest::StatementLog log = server.log();
        for (const auto &e : log.entries())
            attention = attention || e.request == "attention";
        QVERIFY(attention);
    }

    // The program ends while a work waits inside the driver: within about
    // a second, with its status, and without static destructors taking the
    // data layer apart under the worker.
    void exitWhileAWorkWaitsInTheDriver()
    {
        tdstest::TdsServerProcess server({folder.path(), "pw", {"--hang-after-login"}});
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DD_EXIT_CHILD", server.dataSource());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(server.log().statements().size() == 1, 20000);
        QElapsedTimer ending;
        ending.start();
        child.write("\n");
        QVERIFY(child.waitForFinished(10000));
        QVERIFY2(ending.elapsed() < 2500, qPrintable(QString::number(ending.elapsed())));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 7);
        QCOMPARE(child.readAllStandardOutput(), QByteArray("reading\n"));
    }

    // The owner lets go: nothing more reaches it, not even the end.
    void releasedWorkHandsNothingBack()
    {
        QObject receiver;
        int calls = 0;
        auto work = BackgroundWork::start(
            &receiver,
            [](BackgroundWork &w) {
                while (!w.isCancelled())
                    QThread::msleep(5);
                w.deliver([] {});
                throw Error(1, "x");
            },
            {[&](const Error &) { ++calls; }, [&](const BackgroundWork::Outcome &) { ++calls; }});
        work->release();
        QVERIFY(BackgroundWork::waitForAll(1000));
        QTest::qWait(50);
        QCOMPARE(calls, 0);
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("DD_EXIT_CHILD"))
        return exitingChild(argc, argv);
    QCoreApplication app(argc, argv);
    TestBackgroundWork test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_background_work_server.moc"
