// The fault switches of the test server, each as a client meets it: refused
// logins, slow answers, dropped and closed connections, a server that never
// answers, and the limits that make it stop by itself.
#include "odbc_client.h"
#include "tds_server_process.h"
#include "test_folder.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTest>

using namespace tdstest;

namespace {
const QString kSystem = QStringLiteral("svsystem");
const QString kAccounts = QStringLiteral("Select cAcc_id,cAcc_Name from ua_account");
}  // namespace

class TestTdsFaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void refusesEveryLogin();
    void delaysEveryAnswer();
    void delayBeyondTheLoginTimeout();
    void dropsTheConnectionAfterNStatements();
    void closesRightAfterAccepting();
    void hangsAfterLogin();
    void survivesMalformedTraffic();
    void stopsByItself_data();
    void stopsByItself();

private:
    std::unique_ptr<TdsServerProcess> start(const QStringList &faults, int maxSeconds = 120);
    QString connection(const TdsServerProcess &s, const QString &extra = QString()) const
    {
        return freeTdsConnectionString(s.port(), kSystem, "sa", s.password(), extra);
    }
    ddtest::DictionaryFolder folder_;
};

void TestTdsFaults::initTestCase() { folder_.accounts({{"001", "演示账套", {2009}}}); }

std::unique_ptr<TdsServerProcess> TestTdsFaults::start(const QStringList &faults, int maxSeconds)
{
    ServerSettings settings{folder_.path()};
    settings.faults = faults;
    settings.maxSeconds = maxSeconds;
    auto server = std::make_unique<TdsServerProcess>(settings);
    QString error;
    if (!server->start(&error))
        qWarning("%s", qPrintable(error));
    return server;
}

void TestTdsFaults::refusesEveryLogin()
{
    auto server = start({"--refuse-logins"});
    QVERIFY(server->isRunning());
    OdbcClient client(connection(*server));
    QVERIFY(!client.open());
    QCOMPARE(client.lastError().nativeErrorCode(), QString("18456"));
    QVERIFY(client.lastError().databaseText().endsWith("Login failed for user 'sa'."));
    QCOMPARE(server->log().logins().value(0).outcome, QString("error 18456"));
}

void TestTdsFaults::delaysEveryAnswer()
{
    auto server = start({"--delay-ms", "300"});
    OdbcClient client(connection(*server));
    QVERIFY2(client.open(), qPrintable(client.lastError().text()));
    QElapsedTimer t;
    t.start();
    const QueryOutcome r = client.query(kAccounts);
    QVERIFY2(r.ok, qPrintable(r.error.text()));
    QCOMPARE(r.first().rows.value(0).value(1).toString(), QString("演示账套"));
    QVERIFY2(t.elapsed() >= 300, qPrintable(QString::number(t.elapsed())));
}

void TestTdsFaults::delayBeyondTheLoginTimeout()
{
    auto server = start({"--delay-ms", "3000"});
    OdbcClient client(connection(*server), "SQL_ATTR_LOGIN_TIMEOUT=1");
    QVERIFY(!client.open());
    QVERIFY2(client.lastError().databaseText().contains("Timeout expired"), qPrintable(client.lastError().text()));
}

void TestTdsFaults::dropsTheConnectionAfterNStatements()
{
    // Opening sends statements of its own; the next one is ours.
    auto server = start({"--drop-after", QString::number(statementsSentOnOpen().size() + 1)});
    OdbcClient client(connection(*server));
    QVERIFY2(client.open(), qPrintable(client.lastError().text()));
    QVERIFY(client.query(kAccounts).ok);
    const QueryOutcome dropped = client.query(kAccounts);
    QVERIFY(!dropped.ok);
    QVERIFY2(dropped.error.databaseText().contains("Unexpected EOF from the server"), qPrintable(dropped.error.text()));
    const QueryOutcome after = client.query(kAccounts);
    QVERIFY(!after.ok);
    QVERIFY2(after.error.databaseText().contains("Communication link failure"), qPrintable(after.error.text()));
    const auto statements = server->log().statements();
    QCOMPARE(statements.size(), statementsSentOnOpen().size() + 2);
    QCOMPARE(statements.last().outcome, QString("dropped"));
    // The count is per session: a new connection works again.
    OdbcClient again(connection(*server));
    QVERIFY2(again.open(), qPrintable(again.lastError().text()));
    QVERIFY(again.query(kAccounts).ok);
}

void TestTdsFaults::closesRightAfterAccepting()
{
    auto server = start({"--close-on-accept"});
    OdbcClient client(connection(*server));
    QVERIFY(!client.open());
    QVERIFY2(client.lastError().databaseText().contains("Adaptive Server connection failed"),
             qPrintable(client.lastError().text()));
    QVERIFY(server->log().entries().isEmpty());
}

void TestTdsFaults::hangsAfterLogin()
{
    // FreeTDS's own query time-out ("Timeout" in the connection string) is
    // what ends the wait: the login time-out does not cover statements.
    auto server = start({"--hang-after-login"});
    OdbcClient client(connection(*server, "Timeout=1"));
    QVERIFY(client.open());  // Qt ignores its own housekeeping statement failing
    const QueryOutcome r = client.query(kAccounts);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.databaseText().contains("Communication link failure"), qPrintable(r.error.text()));
    const StatementLog log = server->log();
    QCOMPARE(log.logins().value(0).outcome, QString("ok"));
    QCOMPARE(log.statements().value(0).outcome, QString("unanswered"));
}

void TestTdsFaults::survivesMalformedTraffic()
{
    auto server = start({});
    auto packet = [](quint8 type, const QByteArray &data, int claimedLength = -1) {
        const int length = claimedLength >= 0 ? claimedLength : int(data.size()) + 8;
        QByteArray p;
        p.append(char(type)).append(char(1)).append(char(length >> 8)).append(char(length & 0xff));
        return p + QByteArray(4, '\0') + data;
    };
    QByteArray login(94, '\0');
    login[0] = 94;
    login[36] = char(0xF0);  // host name far past the end
    login[38] = 50;
    QVector<QByteArray> streams = {
        packet(0x12, QByteArray(3, '\xff')),                        // PRELOGIN without a terminator
        packet(0x10, login),                                         // LOGIN7 pointing outside itself
        packet(0x01, "x"),                                           // a batch before any login
        packet(0x12, QByteArray(), 3),                               // length shorter than the header
        packet(0x12, QByteArray(100, 'a'), 65535),                   // length longer than what comes
        packet(0x10, QByteArray(10, 'z')),                           // LOGIN7 too short
    };
    QRandomGenerator random(20111);
    for (int i = 0; i < 40; ++i) {
        QByteArray noise(int(random.bounded(1, 3000)), '\0');
        for (char &c : noise)
            c = char(random.bounded(256));
        if (i % 2)
            noise.prepend(packet(0x12, QByteArray()).left(8));
        streams << noise;
    }
    for (const QByteArray &bytes : streams) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, server->port());
        QVERIFY(s.waitForConnected(3000));
        s.write(bytes);
        s.waitForBytesWritten(1000);
        s.waitForReadyRead(50);
        s.abort();
    }
    QVERIFY(server->isRunning());
    OdbcClient client(connection(*server));
    QVERIFY2(client.open(), qPrintable(client.lastError().text()));
    QVERIFY(client.query(kAccounts).ok);
}

void TestTdsFaults::stopsByItself_data()
{
    QTest::addColumn<QStringList>("limits");
    QTest::newRow("max seconds") << QStringList{"--max-seconds", "1"};
    QTest::newRow("idle seconds") << QStringList{"--idle-seconds", "1"};
    QTest::newRow("parent gone") << QStringList{"--parent-pid", "PARENT"};
}

void TestTdsFaults::stopsByItself()
{
    QFETCH(QStringList, limits);
    QProcess parent;  // a stand-in parent that ends soon: a server with a limit
    parent.start(TdsServerProcess::binary(),
                 {"--folder", folder_.path(), "--password", "x", "--port", "0", "--max-seconds", "1"});
    QVERIFY(parent.waitForStarted());
    limits.replaceInStrings("PARENT", QString::number(parent.processId()));
    QProcess server;
    server.start(TdsServerProcess::binary(),
                 QStringList{"--folder", folder_.path(), "--password", "x", "--port", "0"} + limits);
    QVERIFY(server.waitForStarted());
    QVERIFY2(server.waitForFinished(10000), "the server did not stop by itself");
    QCOMPARE(server.exitStatus(), QProcess::NormalExit);
    QCOMPARE(server.exitCode(), 0);
    parent.waitForFinished();
}

QTEST_GUILESS_MAIN(TestTdsFaults)
#include "tst_tds_faults.moc"
