// The test server as a client written by other people sees it: the jTDS
// JDBC driver (Debian's) against every release the server can answer as and
// every typing of its text, its values, types and errors compared with the
// SQLite file behind it.
#include "tds_server_process.h"
#include "test_folder.h"
#include "text_typing.h"
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace tdstest;

namespace {

const QString kCatalog = QStringLiteral("svdata_001_2009");
const QString kLongName = QString(9000, QLatin1Char('n'));

struct Served {
    QString version, textType;
    std::unique_ptr<TdsServerProcess> server;
};

// One request a line, as the client reads them; index = request number.
const QStringList kRequests = {
    "query\tselect Tablename, Tabledefine from RPT_GRPDEF order by Tablename",
    "query\tSELECT N'中文😀' AS x, @@version AS v, 'abc' AS y\nSET NOCOUNT ON",
    "unicode\tselect FieldName, FieldDef from RPT_ItmDEF where FieldDef = ?\t科目编码",
    "ansi\tselect FieldName, FieldDef from RPT_ItmDEF where FieldDef = ?\t科目编码",
    "unicode\tselect ? as echo\t中文😀",
    "query\tselect FieldName from RPT_ItmDEF where TableName = 'GL_accsum'",
    "query\tselect FieldName from RPT_ItmDEF order by FieldName",
    "unicode\tdelete from RPT_GRPDEF where Tablename = ?\tGL_accsum",
    "query\tselect * from nosuch",
};

// The first line of @@VERSION, by release.
const QHash<QString, QString> kVersionLines = {
    {"7.1", "Microsoft SQL Server  2000 - 8.00.2039 (Intel X86) "},
    {"7.2", "Microsoft SQL Server 2005 - 9.00.5000.00 (Intel X86) "},
    {"7.3", "Microsoft SQL Server 2008 R2 (SP3) - 10.50.6000.34 (X64) "},
    {"7.4", "Microsoft SQL Server 2019 (RTM) - 15.0.2000.5 (X64) "},
};

}  // namespace

class TestTdsJtds : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void agreesWithTheCatalogEverywhere();

private:
    // The rows the file gives, as the driver's strings; text columns that go
    // out as varchar lose what code page 936 lacks.
    QVector<QStringList> fileRows(const QString &statement, const QVector<bool> &narrow) const;
    QJsonArray reply(int server, int request) const { return replies_.value(server * kRequests.size() + request); }

    ddtest::DictionaryFolder folder_;
    std::vector<Served> servers_;
    QVector<QJsonArray> replies_;  // [server * requests + request] = {results, errors}
};

void TestTdsJtds::initTestCase()
{
    QVERIFY2(QFileInfo::exists(JTDS_JAR) && QFileInfo(JAVA_BINARY).isExecutable(),
             "jTDS or Java is missing: scripts/install-deps installs libjtds-java and default-jdk-headless");
    folder_.catalog(kCatalog, {{"01", "总账", "GL_accvouch", "凭证及明细账 😀",
                                {{"ccode", "科目编码", "nvarchar(20)"}, {kLongName, "长名", "int"}}},
                               {"02", "总账", "GL_accsum", "科目总账", {{"ccode", "科目编码", "nvarchar(20)"}}}});
    QStringList ports;
    for (const char *version : {"7.1", "7.2", "7.3", "7.4"})
        for (const char *textType : {"nvarchar", "varchar", "mixed"}) {
            ServerSettings settings{folder_.path()};
            settings.faults = {"--tds-version", version, "--text-type", textType};
            Served s{version, textType, std::make_unique<TdsServerProcess>(settings)};
            QString error;
            QVERIFY2(s.server->start(&error), qPrintable(error));
            ports << QString::number(s.server->port());
            servers_.push_back(std::move(s));
        }
    QProcess java;
    java.start(JAVA_BINARY, QStringList{"-cp", JTDS_JAR, JTDS_CLIENT_SOURCE, servers_.front().server->password(), kCatalog}
                                + ports);
    QVERIFY(java.waitForStarted());
    QStringList requests = kRequests;
    for (QString &r : requests)
        r.replace(QLatin1Char('\n'), QLatin1Char(' '));  // one request a line
    java.write(requests.join(QLatin1Char('\n')).toUtf8() + '\n');
    java.closeWriteChannel();
    QVERIFY2(java.waitForFinished(90000), "the client did not finish");
    QVERIFY2(java.exitCode() == 0, java.readAllStandardError().constData());
    replies_.resize(int(servers_.size()) * kRequests.size());
    for (const QByteArray &line : java.readAllStandardOutput().split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        QVERIFY2(!o.contains("login"), line.constData());
        replies_[o["server"].toInt() * kRequests.size() + o["request"].toInt()] =
            QJsonArray{o["results"], o["errors"]};
    }
}

QVector<QStringList> TestTdsJtds::fileRows(const QString &statement, const QVector<bool> &narrow) const
{
    QVector<QStringList> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "file");
        db.setDatabaseName(folder_.path() + "/" + kCatalog + ".db");
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(statement);
            while (q.next()) {
                QStringList row;
                for (int i = 0; i < narrow.size(); ++i) {
                    const QString v = q.value(i).toString();
                    row << (narrow[i] ? tds::decodeCodePage936(tds::encodeCodePage936(v)) : v);
                }
                rows << row;
            }
        }
    }
    QSqlDatabase::removeDatabase("file");
    return rows;
}

namespace {
QStringList typesOf(const QJsonArray &reply)
{
    QStringList types;
    for (const QJsonValue &c : reply[0].toArray().first().toObject()["columns"].toArray())
        types << c.toObject()["type"].toString();
    return types;
}
QVector<QStringList> rowsOf(const QJsonArray &reply)
{
    QVector<QStringList> rows;
    for (const QJsonValue &r : reply[0].toArray().first().toObject()["rows"].toArray()) {
        QStringList row;
        for (const QJsonValue &v : r.toArray())
            row << v.toString();
        rows << row;
    }
    return rows;
}
QStringList errorsOf(const QJsonArray &reply)
{
    QStringList errors;
    for (const QJsonValue &e : reply[1].toArray())
        errors << QStringLiteral("%1 %2").arg(e.toObject()["number"].toInt()).arg(e.toObject()["message"].toString());
    return errors;
}
}  // namespace

void TestTdsJtds::agreesWithTheCatalogEverywhere()
{
    for (int s = 0; s < int(servers_.size()); ++s) {
        const Served &served = servers_[s];
        const QString where = QStringLiteral("TDS %1, %2").arg(served.version, served.textType);
        const bool varchar = served.textType == QLatin1String("varchar");
        const bool nvarchar = served.textType == QLatin1String("nvarchar");
        // Names are varchar but in the nvarchar typing; descriptions only in the varchar typing.
        const QString name = nvarchar ? "nvarchar" : "varchar";
        const QString description = varchar ? "varchar" : "nvarchar";
        for (int r = 0; r < kRequests.size(); ++r)
            if (r != 7 && r != 8)
                QVERIFY2(errorsOf(reply(s, r)).isEmpty(),
                         qPrintable(where + ": " + kRequests[r] + ": " + errorsOf(reply(s, r)).join("; ")));

        QCOMPARE(typesOf(reply(s, 0)), (QStringList{name, description}));
        QCOMPARE(rowsOf(reply(s, 0)), fileRows("select Tablename, Tabledefine from RPT_GRPDEF order by Tablename",
                                               {!nvarchar, varchar}));
        // Expressions are typed by what they are, whatever the typing of columns.
        QCOMPARE(typesOf(reply(s, 1)), (QStringList{"nvarchar", "nvarchar", nvarchar ? "nvarchar" : "varchar"}));
        const QStringList expressions = rowsOf(reply(s, 1)).value(0);
        QCOMPARE(expressions.value(0), QStringLiteral("中文😀"));
        QVERIFY2(expressions.value(1).startsWith(kVersionLines.value(served.version) + "\n"),
                 qPrintable(where + ": " + expressions.value(1)));
        QCOMPARE(expressions.value(2), QStringLiteral("abc"));
        // A parameter matches as nvarchar and as varchar in code page 936.
        const QVector<QStringList> meaning =
            fileRows("select FieldName, FieldDef from RPT_ItmDEF where FieldDef = '科目编码'", {!nvarchar, varchar});
        QCOMPARE(meaning.size(), 2);
        QCOMPARE(rowsOf(reply(s, 2)), meaning);
        QCOMPARE(rowsOf(reply(s, 3)), meaning);
        QCOMPARE(typesOf(reply(s, 4)), QStringList{"nvarchar"});
        QCOMPARE(rowsOf(reply(s, 4)), QVector<QStringList>{{QStringLiteral("中文😀")}});
        // A column's type does not depend on the rows returned.
        const QStringList longName{nvarchar ? "ntext" : "text"};
        QCOMPARE(typesOf(reply(s, 5)), longName);
        QCOMPARE(typesOf(reply(s, 6)), longName);
        QCOMPARE(rowsOf(reply(s, 6)), fileRows("select FieldName from RPT_ItmDEF order by FieldName", {false}));
        // Each error once, with the server's number and text.
        QCOMPARE(errorsOf(reply(s, 7)),
                 QStringList{"3906 Failed to update database \"" + kCatalog + "\" because the database is read-only."});
        QCOMPARE(errorsOf(reply(s, 8)), QStringList{"208 Invalid object name 'nosuch'."});
    }
}

QTEST_GUILESS_MAIN(TestTdsJtds)
#include "tst_tds_jtds.moc"
