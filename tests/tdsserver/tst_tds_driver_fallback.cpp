// The order of drivers through the real driver manager: a preferred driver
// that cannot be loaded gives way to the next, a refusal by the server does
// not, and DATADICT_ODBC_DRIVER names the only driver tried.
#include "data/connection.h"
#include "data/error.h"
#include "data/statements.h"
#include "tds_server_process.h"
#include "test_folder.h"
#include <QTemporaryDir>
#include <QTest>

using namespace tdstest;

class TestTdsDriverFallback : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup() { qunsetenv("DATADICT_ODBC_DRIVER"); }
    void aDriverThatCannotLoadGivesWay_data();
    void aDriverThatCannotLoadGivesWay();

private:
    QTemporaryDir odbcConfig_;
    ddtest::DictionaryFolder folder_;
    std::unique_ptr<TdsServerProcess> server_;
};

void TestTdsDriverFallback::initTestCase()
{
    // The driver manager reads this machine's drivers from here: ODBC
    // Driver 18 listed but not installed, and FreeTDS. (Under wine the
    // host's driver manager reads the host's list, where Driver 18 is not
    // listed at all: the same outcome.)
    QFile ini(odbcConfig_.filePath("odbcinst.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[ODBC Driver 18 for SQL Server]\nDriver=/nonexistent/libmsodbcsql-18.so\n\n"
              "[FreeTDS]\nDriver=libtdsodbc.so\n");
    ini.close();
    qputenv("ODBCSYSINI", QFile::encodeName(odbcConfig_.path()));
    qputenv("ODBCINSTINI", "odbcinst.ini");
    folder_.accounts({{"001", "演示账套", {2009}}});
    server_ = std::make_unique<TdsServerProcess>(ServerSettings{folder_.path()});
    QString error;
    QVERIFY2(server_->start(&error), qPrintable(error));
}

void TestTdsDriverFallback::aDriverThatCannotLoadGivesWay_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("rightPassword");
    QTest::addColumn<QString>("message");  // empty: connected
    QTest::newRow("next driver connects") << "" << true << "";
    QTest::newRow("next driver's refusal") << "" << false << "Login failed for user 'sa'.";
    QTest::newRow("chosen driver only")
        << "ODBC Driver 18 for SQL Server" << true
        << "Can't open lib '/nonexistent/libmsodbcsql-18.so' : file not found";
    QTest::newRow("chosen FreeTDS") << "FreeTDS" << true << "";
}

void TestTdsDriverFallback::aDriverThatCannotLoadGivesWay()
{
    QFETCH(QString, chosen);
    QFETCH(bool, rightPassword);
    QFETCH(QString, message);
    if (!chosen.isEmpty())
        qputenv("DATADICT_ODBC_DRIVER", chosen.toUtf8());
    server_->clearLog();
    dd::Connection cn;
    QString failure;
    try {
        cn.Open(dd::sql::systemConnectionString(server_->dataSource()), "sa",
                rightPassword ? server_->password() : QStringLiteral("wrong"));
        QCOMPARE(cn.Execute(dd::sql::accountQuery()).rowCount(), 1);
    } catch (const dd::Error &e) {
        failure = e.Description();
    }
#ifdef Q_OS_WIN
    // Windows' driver manager words a driver it cannot load its own way (and
    // wine's hands the driver's name, not its file, to the host's).
    if (message.startsWith(QLatin1String("Can't open lib")))
        QVERIFY2(!failure.isEmpty(), "the chosen driver cannot load: no other may be tried");
    else
#endif
        QCOMPARE(failure, message);
    // Only FreeTDS reaches the server: it is never tried when not chosen.
    const bool freeTdsTried = chosen != QLatin1String("ODBC Driver 18 for SQL Server");
    QCOMPARE(!server_->log().entries().isEmpty(), freeTdsTried);
}

QTEST_MAIN(TestTdsDriverFallback)
#include "tst_tds_driver_fallback.moc"
