// The one way reads run off the window thread: a cancel reaches the
// statement the server is still working on, and a cancelled or released
// work hands nothing back.
#include "data/background_work.h"
#include "data/dictionary_reader.h"
#include "data/statements.h"
#include "tds_server_process.h"
#include "test_folder.h"
#include <QElapsedTimer>
#include <QTest>

using namespace dd;

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

QTEST_GUILESS_MAIN(TestBackgroundWork)
#include "tst_background_work_server.moc"
