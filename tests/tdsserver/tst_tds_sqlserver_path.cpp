// The system's own data layer (dd::Connection, dd::Recordset) on the SQL
// Server path: the real FreeTDS ODBC driver through the driver manager,
// against the test server on loopback.
#include "data/connection.h"
#include "data/error.h"
#include "data/statements.h"
#include "tds_server_process.h"
#include "test_folder.h"
#include <QTcpServer>
#include <QTest>
#include <QThread>
#include <atomic>
#include <functional>

using namespace tdstest;

namespace {

const QString kYear = QStringLiteral("svdata_001_2009");

QVector<dictgen::TableRow> yearTables()
{
    dictgen::TableRow voucher{"01", "总账", "GL_accvouch", "凭证及明细账", {}};
    voucher.fields = {{"i_id", "自动编号", "int"}, {"ccode", "科目编码", "nvarchar(20)"}, {"cmemo", QString(), QString()}};
    dictgen::TableRow sum{"02", "总账", "GL_accsum", QString(), {{"ccode", "科目编码", "nvarchar(20)"}}};
    dictgen::TableRow quoted{"03", "O'Neil 模块", "O'Brien", "带'引号的表", {{"x", "带'引号", "int"}}};
    return {voucher, sum, quoted};
}

QStringList column(const dd::Recordset &rs, int c)
{
    QStringList out;
    for (int r = 0; r < rs.rowCount(); ++r)
        out << rs.cell(r, c).toString();
    return out;
}

// 300 tables whose descriptions run from empty to `longest` characters:
// Chinese, a character outside the basic plane, and plain letters.
QVector<dictgen::TableRow> textsOfLengths(int longest)
{
    QVector<dictgen::TableRow> rows;
    const QString unit = QStringLiteral("账套") + QString::fromUcs4(U"\U00020000") + QStringLiteral("ab");
    for (int i = 0; i < 300; ++i) {
        const int length = i == 299 ? longest : (i * 37) % (longest + 1);
        QString text = unit.repeated(length / unit.size() + 1).left(length);
        if (text.size() && text.back().isHighSurrogate())
            text.back() = QLatin1Char('x');
        rows.append({QStringLiteral("1"), QStringLiteral("模块"), QStringLiteral("T%1").arg(i, 3, 10, QLatin1Char('0')),
                     text, {}});
    }
    return rows;
}

QStringList header(const dd::Recordset &rs)
{
    QStringList out;
    for (int c = 0; c < rs.columnCount(); ++c)
        out << rs.columnName(c);
    return out;
}

// The description of the error `f` throws ("" when it throws none).
QString errorOf(const std::function<void()> &f, long *number = nullptr)
{
    try {
        f();
    } catch (const dd::Error &e) {
        if (number)
            *number = e.Number();
        return e.Description();
    }
    return QString();
}

bool mentionsDriver(const QString &text)
{
    return text.contains("[FreeTDS]") || text.contains("[SQL Server]") || text.contains("QODBC")
           || text.contains("Unable to connect to data source");
}

}  // namespace

class TestTdsSqlServerPath : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void logsInThroughEitherHostName_data();
    void logsInThroughEitherHostName();
    void reachesANamedInstanceThroughTheBrowserService();
    void showsOnlyTheServersTextForAWrongPassword();
    void reportsAMissingAccountYearCatalog();
    void acceptsPasswordsWithSeparators_data();
    void acceptsPasswordsWithSeparators();

    void readsChineseAliasesAndValues();
    void readsChineseFromNarrowColumns();
    void readsNullsAsEmptyText();
    void findsNamesWithApostrophes();
    void readsTenThousandTables();
    void readsTextsOfEveryLengthWhole_data();
    void readsTextsOfEveryLengthWhole();
    void logsOnlyTheSystemsStatements();

    void turnsADroppedConnectionIntoAnError();
    void failsFastWhereNothingListens();
    void doesNotHangOnAServerThatNeverAnswers();

private:
    dd::ConnectionString system() const { return dd::sql::systemConnectionString(server_->dataSource()); }
    dd::ConnectionString year(const QString &catalog = kYear) const
    {
        return dd::sql::accountYearConnectionString(catalog, server_->dataSource());
    }

    ddtest::DictionaryFolder folder_;
    std::unique_ptr<TdsServerProcess> server_;
};

void TestTdsSqlServerPath::initTestCase()
{
    folder_.accounts({{"001", "演示账套", {2009, 2010}}, {"002", "第二账套", {2009}}});
    folder_.catalog(kYear, yearTables());
    QVector<dictgen::TableRow> many;
    many.reserve(10000);
    for (int i = 0; i < 10000; ++i)
        many.append({QStringLiteral("%1").arg(i % 8), QStringLiteral("模块%1").arg(i % 8),
                     QStringLiteral("TB%1").arg(i, 5, 10, QLatin1Char('0')), QStringLiteral("表%1").arg(i), {}});
    folder_.catalog("svdata_002_2009", many);
    folder_.catalog("svdata_003_2009", textsOfLengths(4000));
    folder_.catalog("svdata_004_2009", textsOfLengths(9000));
    server_ = std::make_unique<TdsServerProcess>(ServerSettings{folder_.path()});
    QString error;
    QVERIFY2(server_->start(&error), qPrintable(error));
}

void TestTdsSqlServerPath::init() { server_->clearLog(); }

void TestTdsSqlServerPath::logsInThroughEitherHostName_data()
{
    QTest::addColumn<QString>("host");
    QTest::newRow("address") << "127.0.0.1";
    QTest::newRow("localhost") << "localhost";
}

void TestTdsSqlServerPath::logsInThroughEitherHostName()
{
    QFETCH(QString, host);
    const QString source = QStringLiteral("%1,%2").arg(host).arg(server_->port());
    dd::Connection cn;
    const QString failure = errorOf([&] { cn.Open(dd::sql::systemConnectionString(source), "sa", server_->password()); });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(cn.State(), 1);
    dd::Recordset accounts = cn.Execute(dd::sql::accountQuery());
    QCOMPARE(column(accounts, 0), (QStringList{"001", "002"}));
    QCOMPARE(column(accounts, 1), (QStringList{"演示账套", "第二账套"}));
    dd::Recordset years = cn.Execute(dd::sql::yearQuery("001"));
    QCOMPARE(column(years, 0), (QStringList{"2009", "2010"}));
    cn.Close();
}

// "host\INSTANCE": the driver asks the Browser service on UDP port 1434
// for the instance's port, as it would of a real server.
void TestTdsSqlServerPath::reachesANamedInstanceThroughTheBrowserService()
{
    ServerSettings settings{folder_.path()};
    settings.faults = {"--browser-instance", "ERP2000", "--tds-version", "7.1", "--text-type", "varchar"};
    TdsServerProcess named(settings);
    QString error;
    if (!named.start(&error)) {
        if (error.contains("UDP"))
            QSKIP(qPrintable("the Browser's port is taken on this machine: " + error));
        QFAIL(qPrintable(error));
    }
    dd::Connection cn;
    const QString failure = errorOf([&] {
        cn.Open(dd::sql::systemConnectionString(QStringLiteral("127.0.0.1\\erp2000")), "sa", named.password());
    });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    dd::Recordset accounts = cn.Execute(dd::sql::accountQuery());
    QCOMPARE(column(accounts, 1), (QStringList{"演示账套", "第二账套"}));
}

void TestTdsSqlServerPath::showsOnlyTheServersTextForAWrongPassword()
{
    dd::Connection cn;
    long number = 0;
    const QString text = errorOf([&] { cn.Open(system(), "sa", "not the password"); }, &number);
    QCOMPARE(text, QString("Login failed for user 'sa'."));
    QCOMPARE(number, 18456L);
    QCOMPARE(cn.State(), 0);
}

void TestTdsSqlServerPath::reportsAMissingAccountYearCatalog()
{
    dd::Connection cn;
    long number = 0;
    const QString text = errorOf([&] { cn.Open(year("svdata_001_1999"), "sa", server_->password()); }, &number);
    QCOMPARE(number, 4060L);
    QVERIFY2(!mentionsDriver(text), qPrintable(text));
    // The server sends 4060 and then 18456, as SQL Server does; the local
    // dictionary folder reports the 4060 text alone.
    QCOMPARE(text, QString("Cannot open database \"svdata_001_1999\" requested by the login. The login failed."));
    QVERIFY2(text.contains("Cannot open database \"svdata_001_1999\" requested by the login. The login failed."),
             qPrintable(text));
}

void TestTdsSqlServerPath::acceptsPasswordsWithSeparators_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("semicolon") << "p;w";
    QTest::newRow("equals") << "a=b";
    QTest::newRow("braces") << "{x}}";
    QTest::newRow("all of them, spaces, Chinese") << " {a;b=c} 密码 ";
}

void TestTdsSqlServerPath::acceptsPasswordsWithSeparators()
{
    QFETCH(QString, password);
    ServerSettings settings{folder_.path()};
    settings.password = password;
    TdsServerProcess server(settings);
    QString error;
    QVERIFY2(server.start(&error), qPrintable(error));
    dd::Connection cn;
    const QString failure = errorOf([&] { cn.Open(dd::sql::systemConnectionString(server.dataSource()), "sa", password); });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(cn.Execute(dd::sql::accountQuery()).rowCount(), 2);
    dd::Connection wrong;
    QCOMPARE(errorOf([&] { wrong.Open(dd::sql::systemConnectionString(server.dataSource()), "sa", password + "x"); }),
             QString("Login failed for user 'sa'."));
}

void TestTdsSqlServerPath::readsChineseAliasesAndValues()
{
    dd::Connection cn;
    cn.Open(year(), "sa", server_->password());
    dd::Recordset tables = cn.Execute(dd::sql::allTablesQuery());
    QCOMPARE(header(tables), (QStringList{"数据表", "中文表名", "所属模块"}));
    QCOMPARE(column(tables, 0), (QStringList{"GL_accvouch", "GL_accsum", "O'Brien"}));
    QCOMPARE(column(tables, 2), (QStringList{"总账", "总账", "O'Neil 模块"}));
    dd::Recordset module = cn.Execute(dd::sql::moduleTablesQuery("总账"));
    QCOMPARE(column(module, 1), (QStringList{"凭证及明细账", ""}));
    dd::Recordset fields = cn.Execute(dd::sql::fieldQuery("GL_accvouch"));
    QCOMPARE(header(fields), (QStringList{"字段名称", "字段含义", "字段类型"}));
    QCOMPARE(column(fields, 0), (QStringList{"i_id", "ccode", "cmemo"}));
    QCOMPARE(column(fields, 1), (QStringList{"自动编号", "科目编码", ""}));
    dd::Recordset modules = cn.Execute(dd::sql::moduleQuery());
    QCOMPARE(modules.rowCount(), 3);
}

void TestTdsSqlServerPath::readsChineseFromNarrowColumns()
{
    // A server declares its columns narrow, e.g. nvarchar(6) for six
    // characters; in UTF-8 their text takes up to three times as many bytes.
    ServerSettings settings{folder_.path()};
    settings.faults = {"--fit-text-widths"};
    TdsServerProcess server(settings);
    QString error;
    QVERIFY2(server.start(&error), qPrintable(error));
    dd::Connection cn;
    cn.Open(dd::sql::accountYearConnectionString(kYear, server.dataSource()), "sa", server.password());
    dd::Recordset tables = cn.Execute(dd::sql::allTablesQuery());
    QCOMPARE(column(tables, 0), (QStringList{"GL_accvouch", "GL_accsum", "O'Brien"}));
    QCOMPARE(column(tables, 1), (QStringList{"凭证及明细账", "", "带'引号的表"}));
    QCOMPARE(column(tables, 2), (QStringList{"总账", "总账", "O'Neil 模块"}));
}

void TestTdsSqlServerPath::readsNullsAsEmptyText()
{
    dd::Connection cn;
    cn.Open(year(), "sa", server_->password());
    dd::Recordset fields = cn.Execute(dd::sql::fieldQuery("GL_accvouch"));
    fields.MoveNext();
    fields.MoveNext();
    QCOMPARE(fields.Fields(0).Value().toString(), QString("cmemo"));
    for (int c : {1, 2}) {
        const QVariant v = fields.Fields(c).Value();
        QCOMPARE(v.metaType().id(), int(QMetaType::QString));
        QVERIFY(v.toString().isEmpty());
    }
}

void TestTdsSqlServerPath::findsNamesWithApostrophes()
{
    dd::Connection cn;
    cn.Open(year(), "sa", server_->password());
    dd::Recordset module = cn.Execute(dd::sql::moduleTablesQuery("O'Neil 模块"));
    QCOMPARE(column(module, 0), QStringList{"O'Brien"});
    QCOMPARE(column(module, 1), QStringList{"带'引号的表"});
    dd::Recordset fields = cn.Execute(dd::sql::fieldQuery("O'Brien"));
    QCOMPARE(column(fields, 1), QStringList{"带'引号"});
    QVERIFY(server_->log().statementTexts().contains(
        "Select FieldName as 字段名称,FieldDef as 字段含义,FieldType as 字段类型 From RPT_ItmDEF "
        "where TableName='O''Brien' order by FieldID"));
}

void TestTdsSqlServerPath::readsTenThousandTables()
{
    dd::Connection cn;
    cn.Open(year("svdata_002_2009"), "sa", server_->password());
    dd::Recordset tables = cn.Execute(dd::sql::allTablesQuery());
    QCOMPARE(tables.rowCount(), 10000);
    QStringList names = column(tables, 0);
    names.sort();
    QCOMPARE(names.first(), QString("TB00000"));
    QCOMPARE(names.last(), QString("TB09999"));
    QCOMPARE(names.removeDuplicates(), 0);
    QCOMPARE(tables.RecordCount(), 10000);
}

void TestTdsSqlServerPath::readsTextsOfEveryLengthWhole_data()
{
    QTest::addColumn<QString>("catalog");
    QTest::addColumn<int>("longest");
    QTest::addColumn<bool>("narrow");
    // Up to 4,000 characters a column is declared with its width and read
    // in blocks of rows; longer, it has no width and is read cell by cell.
    QTest::newRow("declared width, wide") << "svdata_003_2009" << 4000 << false;
    QTest::newRow("declared width, narrow") << "svdata_003_2009" << 4000 << true;
    QTest::newRow("no width") << "svdata_004_2009" << 9000 << false;
}

void TestTdsSqlServerPath::readsTextsOfEveryLengthWhole()
{
    QFETCH(QString, catalog);
    QFETCH(int, longest);
    QFETCH(bool, narrow);
    ServerSettings settings{folder_.path()};
    if (narrow)
        settings.faults = {"--fit-text-widths"};
    TdsServerProcess server(settings);
    QString error;
    QVERIFY2(server.start(&error), qPrintable(error));
    dd::Connection cn;
    cn.Open(dd::sql::accountYearConnectionString(catalog, server.dataSource()), "sa", server.password());
    dd::Recordset tables = cn.Execute(dd::sql::allTablesQuery());
    const QVector<dictgen::TableRow> expected = textsOfLengths(longest);
    QCOMPARE(tables.rowCount(), expected.size());
    QMap<QString, QString> read;
    for (int r = 0; r < tables.rowCount(); ++r)
        read.insert(tables.cell(r, 0).toString(), tables.cell(r, 1).toString());
    for (const dictgen::TableRow &t : expected)
        QCOMPARE(read.value(t.name), t.description);
}

void TestTdsSqlServerPath::logsOnlyTheSystemsStatements()
{
    const QStringList sent = {dd::sql::accountQuery(), dd::sql::yearQuery("001"), dd::sql::allTablesQuery(),
                              dd::sql::moduleQuery(), dd::sql::moduleTablesQuery("总账"),
                              dd::sql::fieldQuery("GL_accvouch")};
    {
        dd::Connection sys;
        sys.Open(system(), "sa", server_->password());
        dd::Connection data;
        data.Open(year(), "sa", server_->password());
        sys.Execute(sent[0]);
        sys.Execute(sent[1]);
        for (int i = 2; i < sent.size(); ++i)
            data.Execute(sent[i]);
    }
    const StatementLog log = server_->log();
    QCOMPARE(log.logins().size(), 2);
    QStringList system;
    for (const auto &e : log.statements()) {
        QVERIFY2(!e.refused(), qPrintable(e.text));
        QCOMPARE(e.outcome, QString("ok"));
        const QString text = e.text.trimmed();
        // The driver's and Qt's own housekeeping, once per connection.
        if (text == "sp_datatype_info_100 11" || text == "SET QUOTED_IDENTIFIER ON" || text.startsWith("USE ", Qt::CaseInsensitive)
            || text.startsWith("SET ", Qt::CaseInsensitive))
            continue;
        QCOMPARE(e.request, QString("batch"));
        system << text;
    }
    QCOMPARE(system, sent);
}

void TestTdsSqlServerPath::turnsADroppedConnectionIntoAnError()
{
    ServerSettings settings{folder_.path()};
    settings.faults = {"--drop-after", "4"};
    TdsServerProcess server(settings);
    QString error;
    QVERIFY2(server.start(&error), qPrintable(error));
    dd::Connection cn;
    cn.Open(dd::sql::systemConnectionString(server.dataSource()), "sa", server.password());
    // Statements go through until the server drops the connection (what
    // opening sent by itself counts too).
    QString dropped;
    int answered = 0;
    for (; answered < 5 && dropped.isEmpty(); ++answered)
        dropped = errorOf([&] { QCOMPARE(cn.Execute(dd::sql::accountQuery()).rowCount(), 2); });
    QVERIFY2(!dropped.isEmpty(), "the connection was never dropped");
    QVERIFY2(!mentionsDriver(dropped), qPrintable(dropped));
    QCOMPARE(server.log().statements().last().outcome, QString("dropped"));
    // And so is every later statement on that connection.
    const QString later = errorOf([&] { cn.Execute(dd::sql::accountQuery()); });
    QVERIFY(!later.isEmpty());
    QCOMPARE(later, dropped);
    cn.Close();
}

void TestTdsSqlServerPath::failsFastWhereNothingListens()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();  // nothing listens there now
    for (const QString &host : {QStringLiteral("127.0.0.1"), QStringLiteral("localhost")}) {
        dd::Connection cn;
        const QString text = errorOf([&] {
            cn.Open(dd::sql::systemConnectionString(QStringLiteral("%1,%2").arg(host).arg(port)), "sa", "x");
        });
        QVERIFY(!text.isEmpty());
        QVERIFY2(!mentionsDriver(text), qPrintable(text));
        QCOMPARE(cn.State(), 0);
    }
}

void TestTdsSqlServerPath::doesNotHangOnAServerThatNeverAnswers()
{
    ServerSettings settings{folder_.path()};
    settings.faults = {"--hang-after-login"};
    settings.maxSeconds = 120;
    TdsServerProcess server(settings);
    QString error;
    QVERIFY2(server.start(&error), qPrintable(error));
    // The connection lives and dies in a thread of its own, so that a hang
    // can be waited out here.
    std::atomic<bool> finished{false};
    QString outcome;
    QThread *worker = QThread::create([&] {
        outcome = errorOf([&] {
            dd::Connection cn;
            cn.Open(dd::sql::systemConnectionString(server.dataSource()), "sa", server.password());
            cn.Execute(dd::sql::accountQuery());
        });
        finished = true;
    });
    worker->start();
    // The 30 s statement time-out, then as long again for the server to
    // confirm the cancel (FreeTDS): 60 s at most.
    constexpr int WaitMs = 65000;
    const bool answered = QTest::qWaitFor([&] { return finished.load(); }, WaitMs);
    if (!answered)
        server.stop();  // frees the worker: the driver sees the connection close
    QVERIFY(worker->wait(30000));
    delete worker;
    QVERIFY2(answered, "no answer within 65 s");
    QVERIFY(!outcome.isEmpty());
    QVERIFY2(!mentionsDriver(outcome), qPrintable(outcome));
}

QTEST_MAIN(TestTdsSqlServerPath)
#include "tst_tds_sqlserver_path.moc"
