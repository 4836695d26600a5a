// `datadict relations` and `datadict join` as a user runs them, over a
// dictionary folder holding the sample's ERP-shaped set: the columns and
// rows written, --table and --min, the SELECT on standard output, and the
// exit statuses of export for what goes wrong.
#include "erp_sample.h"
#include "test_folder.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include "program_run.h"

namespace {

struct Run {
    int status = -1;
    QString out, err;
};

Run datadict(const QStringList &args, bool withPassword = true)
{
    const ddtest::ProgramRun run = ddtest::runWithoutTerminal(qEnvironmentVariable("DD_BINARY_DIR") + "/datadict",
                                                              args, withPassword ? QStringLiteral("pw") : QString());
    return {run.status, QString::fromUtf8(run.out), QString::fromUtf8(run.err)};
}

}  // namespace

class TestCliRelations : public QObject {
    Q_OBJECT
    ddtest::DictionaryFolder folder;

    QStringList on(const QString &command, const QStringList &more) const
    {
        return QStringList{command, "--server", folder.path(), "--account", "001", "--year", "2011"} + more;
    }

private slots:
    void initTestCase()
    {
        folder.accounts({{"001", "Main", {2011}}});
        folder.catalog("svdata_001_2011", dictgen::erpSampleTables());
    }

    void relationsAsCsvAndJson()
    {
        const Run csv = datadict(on("relations", {"--table", "so_orderdetail", "--format", "csv", "--output", "-"}));
        QVERIFY2(csv.status == 0, qPrintable(csv.err));
        QCOMPARE(csv.out, QStringLiteral("子表,子表字段,父表,父表字段,依据,可信度\r\n"
                                         "SO_OrderDetail,ID,SO_Order,ID,同名键+含义相同+主子表,高\r\n"
                                         "SO_OrderDetail,cInvCode,BD_Inventory,cInvCode,同名键+含义相同,高\r\n"));

        // All of them, 中 by default; 低 on request adds the names that mean another thing.
        const Run json = datadict(on("relations", {"--format", "json", "--output", "-"}));
        QVERIFY2(json.status == 0, qPrintable(json.err));
        const QJsonDocument doc = QJsonDocument::fromJson(json.out.toUtf8());
        const QJsonArray rows = doc.isArray() ? doc.array() : doc.object().value("rows").toArray();
        QCOMPARE(rows.size(), 66);
        QCOMPARE(rows.first().toObject().value("可信度").toString(), QStringLiteral("高"));
        const Run low = datadict(on("relations", {"--min", "低", "--format", "md", "--output", "-"}));
        QCOMPARE(low.status, 0);
        QVERIFY2(low.out.contains("| SO\\_Order | cCode | GL\\_Subject | ccode | 同名键 | 低 |"), qPrintable(low.out));
    }

    void joinWritesTheSelect()
    {
        const Run join = datadict(on("join", {"--tables", "BD_Customer,SO_OrderDetail"}));
        QVERIFY2(join.status == 0, qPrintable(join.err));
        QVERIFY2(join.out.startsWith("select a.cCusCode, -- 客户编码\n"), qPrintable(join.out));
        QVERIFY2(join.out.contains("     left join SO_Order b on b.cCusCode = a.cCusCode -- 经由 SO_Order（销售订单主表）"),
                 qPrintable(join.out));
        QVERIFY2(join.out.contains("     left join SO_OrderDetail c on c.ID = b.ID -- SO_OrderDetail（销售订单子表）"),
                 qPrintable(join.out));
        // No path: said so, the table in a SELECT of its own.
        const Run apart = datadict(on("join", {"--tables", "BD_Unit,BD_WorkCalendar"}));
        QCOMPARE(apart.status, 0);
        QVERIFY2(apart.out.contains("-- 没有找到 BD_WorkCalendar 与以上各表在3次连接以内的关联，单独列出：\nselect dDate, -- 日期\n"),
                 qPrintable(apart.out));
    }

    void failuresAsExportFails_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("one table") << on("join", {"--tables", "BD_Unit"}) << 2 << "至少要列出两个表";
        QTest::newRow("unknown table") << on("join", {"--tables", "BD_Unit,NoSuch"}) << 1 << "数据字典中没有表【NoSuch】";
        QTest::newRow("unknown confidence") << on("relations", {"--min", "很高", "--format", "csv", "--output", "-"}) << 2
                                            << "不认识的可信度【很高】";
        QTest::newRow("unknown format") << on("relations", {"--format", "xlsx", "--output", "-"}) << 2 << "不认识的格式【xlsx】";
        QTest::newRow("unknown year")
            << QStringList{"relations", "--server", folder.path(), "--account", "001", "--year", "1999", "--format",
                           "csv", "--output", "-"}
            << 1 << "账套【001】没有会计年度【1999】";
    }

    void failuresAsExportFails()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const Run run = datadict(args);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        // No password and no terminal to ask on: the same refusal as export's.
        const Run unasked = datadict(on("join", {"--tables", "BD_Unit,BD_Person"}), false);
        QCOMPARE(unasked.status, 2);
    }
};

QTEST_GUILESS_MAIN(TestCliRelations)
#include "tst_cli_relations.moc"
