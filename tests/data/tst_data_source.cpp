// Where a Data Source leads, and how its parts reach the ODBC driver: a
// server name or password can never add or change an attribute.
#include "data/data_source.h"
#include "data/error.h"
#include "data/error_text.h"
#include "data/odbc_diagnostics.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace dd;

Q_DECLARE_METATYPE(dd::OdbcDiagnostic)

namespace {

// Splits a DSN-less ODBC string the way a driver does: braces quote; in the
// standard form a doubled closing brace stands for one, while FreeTDS ends a
// braced value at the first "};" (or at the end) and knows no doubling.
QMap<QString, QString> parseOdbc(const QString &s, bool *ok, bool freeTds = false)
{
    QMap<QString, QString> out;
    *ok = true;
    int i = 0;
    while (i < s.size()) {
        const int eq = s.indexOf(QLatin1Char('='), i);
        if (eq < 0) {
            *ok = false;
            return out;
        }
        const QString key = s.mid(i, eq - i).toUpper();
        i = eq + 1;
        QString value;
        if (i < s.size() && s[i] == QLatin1Char('{') && freeTds) {
            const int close = s.indexOf(QLatin1String("};"), i);
            if (close < 0) {
                *ok = false;  // FreeTDS would keep the braces
                return out;
            }
            value = s.mid(i + 1, close - i - 1);
            i = close + 1;
        } else if (i < s.size() && s[i] == QLatin1Char('{')) {
            ++i;
            for (;;) {
                if (i >= s.size()) {
                    *ok = false;
                    return out;
                }
                if (s[i] == QLatin1Char('}')) {
                    if (i + 1 < s.size() && s[i + 1] == QLatin1Char('}')) {
                        value += QLatin1Char('}');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += s[i++];
            }
        } else {
            const int semi = s.indexOf(QLatin1Char(';'), i);
            value = s.mid(i, semi < 0 ? -1 : semi - i);
            i = semi < 0 ? s.size() : semi;
        }
        if (out.contains(key))
            *ok = false;  // a repeated attribute would be an injection
        out.insert(key, value);
        if (i < s.size() && s[i] == QLatin1Char(';'))
            ++i;
    }
    return out;
}

}  // namespace

class TestDataSource : public QObject {
    Q_OBJECT
private slots:
    void serverNames_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("instance");
        QTest::addColumn<int>("port");
        QTest::newRow("(local)") << "(local)" << "127.0.0.1" << "" << 0;
        QTest::newRow("dot") << "." << "127.0.0.1" << "" << 0;
        QTest::newRow("localhost") << "LocalHost" << "127.0.0.1" << "" << 0;
        QTest::newRow("empty") << "" << "127.0.0.1" << "" << 0;
        QTest::newRow("host") << "erp-db01" << "erp-db01" << "" << 0;
        QTest::newRow("instance") << "erp-db01\\SQL2008" << "erp-db01" << "SQL2008" << 0;
        QTest::newRow("local instance") << "(local)\\ERP" << "127.0.0.1" << "ERP" << 0;
        QTest::newRow("port") << "10.1.2.3,1533" << "10.1.2.3" << "" << 1533;
        QTest::newRow("localhost port") << "localhost,4000" << "127.0.0.1" << "" << 4000;
        QTest::newRow("spaces") << "  srv , 1444 " << "srv" << "" << 1444;
    }
    void serverNames()
    {
        QFETCH(QString, source);
        QFETCH(QString, host);
        QFETCH(QString, instance);
        QFETCH(int, port);
        const DataTarget t = resolveDataSource(source);
        QCOMPARE(t.kind, DataTarget::SqlServer);
        QCOMPARE(t.host, host);
        QCOMPARE(t.instance, instance);
        QCOMPARE(t.port, port);
    }

    void badPortsAreErrors_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("letters") << "srv,abc";
        QTest::newRow("zero") << "srv,0";
        QTest::newRow("too big") << "srv,70000";
        QTest::newRow("empty") << "srv,";
    }
    void badPortsAreErrors()
    {
        QFETCH(QString, source);
        QVERIFY_THROWS_EXCEPTION(Error, resolveDataSource(source));
    }

    void aFolderWithTheSystemCatalogIsTheLocalSource()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("HOST/INST") && QDir(dir.path()).mkpath(".\\SQLEXPRESS"));
        // A folder without svsystem.db is no dictionary: the text names a server.
        QCOMPARE(resolveDataSource(dir.path()).kind, DataTarget::SqlServer);
        QFile system(dir.filePath("svsystem.db"));
        QVERIFY(system.open(QIODevice::WriteOnly));
        system.close();
        const DataTarget t = resolveDataSource(dir.path());
        QCOMPARE(t.kind, DataTarget::SqliteFolder);
        QCOMPARE(t.folder, QDir(dir.path()).absolutePath());
        // "." names this machine's server, not the current folder; server
        // names that are also folders stay server names.
        QCOMPARE(resolveDataSource(".").kind, DataTarget::SqlServer);
        QCOMPARE(resolveDataSource(dir.path() + "/nosuch").kind, DataTarget::SqlServer);
        const QString before = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const DataTarget instance = resolveDataSource(".\\SQLEXPRESS");
        const DataTarget hostFolder = resolveDataSource("HOST/INST");
        QDir::setCurrent(before);
        QCOMPARE(instance.kind, DataTarget::SqlServer);
        QCOMPARE(instance.instance, QStringLiteral("SQLEXPRESS"));
        QCOMPARE(hostFolder.kind, DataTarget::SqlServer);
    }

    void partsCannotInjectAttributes_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("password");
        QTest::newRow("plain") << "srv" << "secret";
        QTest::newRow("semicolon password") << "srv" << "a;DATABASE=master";
        QTest::newRow("brace password") << "srv" << "}{;=}}";
        QTest::newRow("leading brace") << "srv" << "{abc}";
        QTest::newRow("trailing brace") << "srv" << "abc}";
        QTest::newRow("spaces") << "srv" << "  two words  ";
        QTest::newRow("empty password") << "srv" << "";
        QTest::newRow("chinese") << "srv" << "密码;UID=x";
        QTest::newRow("server injection") << "srv;PWD=x;DATABASE=master" << "p";
        QTest::newRow("server braces") << "s}rv{" << "p";
    }
    void partsCannotInjectAttributes()
    {
        QFETCH(QString, server);
        QFETCH(QString, password);
        DataTarget t;
        t.kind = DataTarget::SqlServer;
        t.serverText = server;
        t.host = server;
        for (const QString &driver : {QStringLiteral("FreeTDS"), QStringLiteral("ODBC Driver 18 for SQL Server")}) {
            bool ok = false;
            const auto attrs = parseOdbc(odbcConnectionString(driver, t, "svdata_001_2011", "sa", password),
                                         &ok, isFreeTdsDriver(driver));
            QVERIFY(ok);
            QCOMPARE(attrs.value("PWD"), password);
            QCOMPARE(attrs.value("UID"), QStringLiteral("sa"));
            QCOMPARE(attrs.value("DATABASE"), QStringLiteral("svdata_001_2011"));
            QCOMPARE(attrs.value("SERVER"), server);
            QCOMPARE(attrs.value("DRIVER"), driver);
        }
    }

    void aValueFreeTdsCannotTakeIsAClearError()
    {
        const DataTarget t = resolveDataSource("srv");
        try {
            odbcConnectionString("FreeTDS", t, "svsystem", "sa", "a};b");
            QFAIL("a password FreeTDS would cut short was passed on");
        } catch (const Error &e) {
            QVERIFY(e.Description().contains("};"));
        }
        bool ok = false;
        const auto ms = parseOdbc(odbcConnectionString("ODBC Driver 17 for SQL Server", t, "svsystem", "sa", "a};b"), &ok);
        QVERIFY(ok);
        QCOMPARE(ms.value("PWD"), QStringLiteral("a};b"));
    }

    void freeTdsGetsProtocolAndCharset()
    {
        const DataTarget t = resolveDataSource("127.0.0.1,2433");
        bool ok = false;
        const auto attrs = parseOdbc(odbcConnectionString("FreeTDS", t, "svsystem", "sa", "p"), &ok, true);
        QVERIFY(ok);
        QCOMPARE(attrs.value("PORT"), QStringLiteral("2433"));
        QCOMPARE(attrs.value("TDS_VERSION"), QStringLiteral("7.4"));
        QCOMPARE(attrs.value("CLIENTCHARSET"), QStringLiteral("UTF-8"));
        QVERIFY(!attrs.contains("TIMEOUT"));  // the statement attribute sets it
        const auto named = parseOdbc(odbcConnectionString("FreeTDS", resolveDataSource("h\\INST"), "svsystem", "sa", "p"), &ok, true);
        QCOMPARE(named.value("SERVER"), QStringLiteral("h\\INST"));
        QVERIFY(!named.contains("PORT"));  // the instance's port is looked up
        const auto ms = parseOdbc(odbcConnectionString("ODBC Driver 17 for SQL Server", resolveDataSource("(local)"), "svsystem", "sa", "p"), &ok);
        QCOMPARE(ms.value("SERVER"), QStringLiteral("(local)"));
    }

    void microsoftDriversTakeTheServersCertificate_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<bool>("validate");
        QTest::addColumn<QString>("encrypt");
        QTest::addColumn<QString>("trust");
        QTest::newRow("18") << "ODBC Driver 18 for SQL Server" << false << "Optional" << "Yes";
        QTest::newRow("17") << "ODBC Driver 17 for SQL Server" << false << "" << "Yes";
        QTest::newRow("native client") << "SQL Server Native Client 11.0" << false << "" << "Yes";
        QTest::newRow("windows") << "SQL Server" << false << "" << "";
        QTest::newRow("18 in another name") << "ODBC Driver 18 for SQL Server (x64) 2" << false << "" << "";
        QTest::newRow("18, validating") << "ODBC Driver 18 for SQL Server" << true << "Yes" << "No";
        QTest::newRow("17, validating") << "ODBC Driver 17 for SQL Server" << true << "Yes" << "No";
    }
    void microsoftDriversTakeTheServersCertificate()
    {
        QFETCH(QString, driver);
        QFETCH(bool, validate);
        QFETCH(QString, encrypt);
        QFETCH(QString, trust);
        bool ok = false;
        const auto attrs = parseOdbc(
            odbcConnectionString(driver, resolveDataSource("erp\\SQL2000"), "svsystem", "sa", "p", validate), &ok);
        QVERIFY(ok);
        QCOMPARE(attrs.value("SERVER"), QStringLiteral("erp\\SQL2000"));
        QCOMPARE(attrs.value("ENCRYPT"), encrypt);
        QCOMPARE(attrs.value("TRUSTSERVERCERTIFICATE"), trust);
        QVERIFY(!attrs.contains("TDS_VERSION") && !attrs.contains("PORT"));
    }

    void driverOrder_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("order");
        const QStringList all{"SQL Server", "PostgreSQL", "FreeTDS", "ODBC Driver 17 for SQL Server",
                              "SQL Server Native Client 11.0", "ODBC Driver 18 for SQL Server"};
#ifdef Q_OS_WIN
        const QStringList allInOrder{"ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server", "FreeTDS",
                                     "SQL Server Native Client 11.0", "SQL Server"};
#else
        const QStringList allInOrder{"ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server", "FreeTDS"};
#endif
        QTest::newRow("all") << all << "" << allInOrder;
        QTest::newRow("freetds only") << QStringList{"SQLite3", "FreeTDS"} << "" << QStringList{"FreeTDS"};
        QTest::newRow("none") << QStringList{"SQLite3"} << "" << QStringList{};
        QTest::newRow("names are exact") << QStringList{"freetds 1.3", "My ODBC Driver 18 for SQL Server"} << ""
                                         << QStringList{};
        QTest::newRow("chosen, installed or not") << all << " Custom Driver " << QStringList{"Custom Driver"};
    }
    void driverOrder()
    {
        QFETCH(QStringList, installed);
        QFETCH(QString, chosen);
        QFETCH(QStringList, order);
        QCOMPARE(sqlServerDriverOrder(installed, chosen), order);
    }

    void anotherDriverIsTriedOnlyForDriverReasons_data()
    {
        QTest::addColumn<QVector<OdbcDiagnostic>>("records");
        QTest::addColumn<bool>("next");
        const OdbcDiagnostic generic{"08001", 0, "[unixODBC][FreeTDS][SQL Server]Unable to connect to data source"};
        QTest::newRow("wrong password")
            << QVector<OdbcDiagnostic>{{"28000", 18456, "[FreeTDS][SQL Server]Login failed for user 'sa'."}, generic}
            << false;
        QTest::newRow("missing database")
            << QVector<OdbcDiagnostic>{{"08004", 4060, "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]Cannot open database \"x\""}}
            << false;
        QTest::newRow("unreachable") << QVector<OdbcDiagnostic>{{"08S01", 20009, "[FreeTDS][SQL Server]Unable to connect: Adaptive Server is unavailable or does not exist"}, generic}
                                     << false;
        QTest::newRow("time-out") << QVector<OdbcDiagnostic>{{"HYT00", 0, "[Microsoft][ODBC Driver 17 for SQL Server]Login timeout expired"}}
                                  << false;
        QTest::newRow("certificate") << QVector<OdbcDiagnostic>{{"08001", -1, "[Microsoft][ODBC Driver 18 for SQL Server]SSL Provider: [error:0A000086:SSL routines::certificate verify failed:self-signed certificate]"}}
                                     << true;
        QTest::newRow("handshake") << QVector<OdbcDiagnostic>{{"08001", 0, "[Microsoft][ODBC Driver 17 for SQL Server]Client unable to establish connection because an error was encountered during handshakes before login."}}
                                   << true;
        QTest::newRow("missing library") << QVector<OdbcDiagnostic>{{"01000", 0, "[unixODBC][Driver Manager]Can't open lib 'libmsodbcsql-18.so' : file not found"}}
                                         << true;
        QTest::newRow("driver not loaded") << QVector<OdbcDiagnostic>{{"IM002", 0, "[unixODBC][Driver Manager]Data source name not found and no default driver specified"}}
                                           << true;
    }
    void anotherDriverIsTriedOnlyForDriverReasons()
    {
        QFETCH(QVector<OdbcDiagnostic>, records);
        QFETCH(bool, next);
        QCOMPARE(anotherDriverMayHelp(records), next);
    }

    // The records as the driver wrote them, several per failure: the number
    // and text are read from them, whatever a toolkit would make of them.
    void diagnosticRecordsMakeOneError_data()
    {
        QTest::addColumn<QVector<OdbcDiagnostic>>("records");
        QTest::addColumn<long>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("login failed, then the generic line")
            << QVector<OdbcDiagnostic>{{"28000", 18456, "[FreeTDS][SQL Server]Login failed for user 'sa'."},
                                       {"08001", 0, "[FreeTDS][SQL Server]Unable to connect to data source"}}
            << 18456L << "Login failed for user 'sa'.";
        QTest::newRow("network failure explained in Chinese")
            << QVector<OdbcDiagnostic>{{"08001", 0, "[FreeTDS][SQL Server]Unable to connect to data source"},
                                       {"08S01", 20009, "[FreeTDS][SQL Server]Unable to connect: Adaptive Server is unavailable or does not exist"},
                                       {"08S01", 111, "[FreeTDS][SQL Server]Connection refused"}}
            << 20009L << clientFailureText(20009);
        QTest::newRow("missing database")
            << QVector<OdbcDiagnostic>{{"42000", 4060, "[FreeTDS][SQL Server]Cannot open database \"svdata_001_1999\" requested by the login. The login failed."},
                                       {"28000", 18456, "[FreeTDS][SQL Server]Login failed for user 'sa'."}}
            << 4060L << "Cannot open database \"svdata_001_1999\" requested by the login. The login failed.";
        QTest::newRow("time-out without a number")
            << QVector<OdbcDiagnostic>{{"HYT00", 0, "[FreeTDS][SQL Server]Timeout expired"}}
            << errc::ProviderError << "等待服务器响应超时。";
        QTest::newRow("nothing said") << QVector<OdbcDiagnostic>{} << errc::ProviderError << "回退";
    }
    void diagnosticRecordsMakeOneError()
    {
        QFETCH(QVector<OdbcDiagnostic>, records);
        QFETCH(long, number);
        QFETCH(QString, text);
        const Error e = odbcError(records, QStringLiteral("回退"));
        QCOMPARE(e.Number(), number);
        QCOMPARE(e.Description(), text);
    }

    void driverMessagesAreCleaned_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("clean");
        QTest::newRow("login") << "[FreeTDS][SQL Server]Login failed for user 'sa'."
                               << "Login failed for user 'sa'.";
        QTest::newRow("two records")
            << "[FreeTDS][SQL Server]Login failed for user 'sa'. [FreeTDS][SQL Server]Unable to connect to data source"
            << "Login failed for user 'sa'.";
        QTest::newRow("timeout") << "[FreeTDS][SQL Server]Timeout expired\n[FreeTDS][SQL Server]Unable to connect to data source"
                                 << "等待服务器响应超时。";
        QTest::newRow("generic alone") << "[unixODBC]Unable to connect to data source"
                                       << "Unable to connect to data source";
        QTest::newRow("lines and state") << "[unixODBC][FreeTDS][SQL Server]Invalid object name 'X'.\n42S02"
                                         << "Invalid object name 'X'.";
        QTest::newRow("plain") << "Cannot open database \"svdata_001_2011\" requested by the login. The login failed."
                               << "Cannot open database \"svdata_001_2011\" requested by the login. The login failed.";
        QTest::newRow("missing database")
            << "[FreeTDS][SQL Server]Unable to connect to data source [FreeTDS][SQL Server]Login failed for user 'sa'. "
               "[FreeTDS][SQL Server]Cannot open database \"svdata_001_1999\" requested by the login. The login failed."
            << "Cannot open database \"svdata_001_1999\" requested by the login. The login failed.";
        QTest::newRow("link lost") << "[FreeTDS][SQL Server]Communication link failure" << "与服务器的连接已断开。";
        QTest::newRow("duplicates folded") << "[A][B]x\n[A][B]x" << "x";
    }
    void driverMessagesAreCleaned()
    {
        QFETCH(QString, raw);
        QFETCH(QString, clean);
        QCOMPARE(cleanDriverMessage(raw), clean);
    }
};

QTEST_GUILESS_MAIN(TestDataSource)
#include "tst_data_source.moc"
