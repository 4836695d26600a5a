// Recordset moves, counts, events and the Find rules, on rows read from a
// small dictionary folder.
#include "data/connection.h"
#include "data/recordset.h"
#include "data/statements.h"
#include "test_folder.h"
#include <QTest>

using namespace dd;

namespace {

struct EventLog : RecordsetEvents {
    QStringList events;
    std::function<void(Recordset &)> onMove;
    void MoveComplete(int, const Error *, int, Recordset &rs) override
    {
        events << (rs.EOF_() ? QStringLiteral("move:EOF")
                             : QStringLiteral("move:") + rs.Fields(0).Value().toString());
        if (onMove)
            onMove(rs);
    }
    void EndOfRecordset(bool &, int, Recordset &) override { events << QStringLiteral("end"); }
};

}  // namespace

class TestRecordset : public QObject {
    Q_OBJECT
    ddtest::DictionaryFolder folder;
    Connection cn;

private slots:
    void initTestCase()
    {
        using ddtest::table;
        folder.accounts({{"001", "Main", {2011}}});
        folder.catalog("svdata_001_2011",
                       {table("01", "总账", "GL_a", "甲", 2), table("01", "总账", "GL_b", "乙", 3),
                        table("02", "应收", "AR_x", "丙", 0), table("02", "应收", "gl_b", "重复", 1),
                        table("03", "其他", "50%_off", "百分号", 1), table("03", "其他", "O'Brien", "撇号", 1),
                        table("03", "其他", "A_B", "下划线", 1), table("03", "其他", "AxB", "无下划线", 1),
                        table("04", QString(), QString(), QString(), 0)});
        cn.Open(sql::accountYearConnectionString("svdata_001_2011", folder.path()), "sa", "", -1);
        QCOMPARE(cn.State(), 1);
    }

    void movesAndCounts()
    {
        Recordset rs;
        QCOMPARE(rs.State(), 0);
        QVERIFY_THROWS_EXCEPTION(Error, rs.RecordCount());
        QVERIFY_THROWS_EXCEPTION(Error, rs.EOF_());
        rs.CursorLocation = sql::adUseClient;
        rs.Open(sql::allTablesQuery(), cn, 1, 1, -1);
        QCOMPARE(rs.State(), 1);
        QCOMPARE(rs.RecordCount(), 9);
        QCOMPARE(rs.Fields(0).Name(), QStringLiteral("数据表"));
        QCOMPARE(rs.Fields(2).Name(), QStringLiteral("所属模块"));
        QCOMPARE(rs.AbsolutePosition(), 1);
        QStringList names;
        while (!rs.EOF_()) {
            names << rs.Fields(0).Value().toString();
            rs.MoveNext();
        }
        QCOMPARE(names.size(), 9);
        QCOMPARE(names.first(), QStringLiteral("GL_a"));
        QCOMPARE(names.last(), QString());  // NULL reads as empty text
        QCOMPARE(rs.AbsolutePosition(), adPosEOF);
        QVERIFY_THROWS_EXCEPTION(Error, rs.MoveNext());
        QVERIFY_THROWS_EXCEPTION(Error, rs.Fields(0).Value());
        QVERIFY_THROWS_EXCEPTION(Error, rs.Fields(7).Name());
        rs.MoveFirst();
        QCOMPARE(rs.AbsolutePosition(), 1);
        QVERIFY_THROWS_EXCEPTION(Error, rs.Open(sql::allTablesQuery(), cn, 1, 1, -1));
        rs.Close();
        QVERIFY_THROWS_EXCEPTION(Error, rs.Close());
    }

    void eventsReachTheHookedSinkOnly()
    {
        Recordset rs;
        EventLog log;
        EventHook hook(log);
        rs.Open(sql::allTablesQuery(), cn, 1, 1, -1);
        QVERIFY(log.events.isEmpty());  // not hooked while opening
        hook = &rs;
        rs.MoveNext();
        rs.MoveFirst();
        QCOMPARE(log.events, QStringList({"move:GL_b", "move:GL_a"}));
        log.events.clear();
        for (int i = 0; i < 9; ++i)
            rs.MoveNext();
        QCOMPARE(log.events.mid(8), QStringList({"move:EOF", "end"}));
        log.events.clear();
        hook = nullptr;
        rs.MoveFirst();
        QVERIFY(log.events.isEmpty());
        // Reopening while hooked raises a move with the first record current.
        hook = &rs;
        rs.Close();
        rs.Open(sql::moduleTablesQuery("应收"), cn, 1, 1, -1);
        QCOMPARE(log.events, QStringList({"move:AR_x"}));
        log.events.clear();
        rs.Close();
        rs.Open(sql::moduleTablesQuery("无此模块"), cn, 1, 1, -1);
        QCOMPARE(log.events, QStringList({"move:EOF"}));
    }

    void findRules_data()
    {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<int>("position");  // adPosEOF: no match
        QTest::newRow("prefix") << sql::prefixCriterion("G") << 1;
        QTest::newRow("longer prefix") << sql::prefixCriterion("GL_b") << 2;
        QTest::newRow("case ignored") << sql::prefixCriterion("gl_B") << 2;
        QTest::newRow("no match") << sql::prefixCriterion("Z") << int(adPosEOF);
        QTest::newRow("underscore is literal") << sql::prefixCriterion("A_") << 7;
        QTest::newRow("percent wildcard") << sql::prefixCriterion("A%B") << 7;
        QTest::newRow("star wildcard") << sql::prefixCriterion("*x") << 3;
        QTest::newRow("apostrophe in text") << sql::prefixCriterion("O'") << 6;
        QTest::newRow("exact first of duplicates") << sql::exactCriterion("gl_b") << 2;
        QTest::newRow("exact needs whole name") << sql::exactCriterion("GL") << int(adPosEOF);
        QTest::newRow("exact apostrophe") << sql::exactCriterion("O'Brien") << 6;
        QTest::newRow("percent typed") << sql::prefixCriterion("50%") << 5;
        QTest::newRow("brackets literal") << sql::prefixCriterion("[G]") << int(adPosEOF);
        QTest::newRow("spaces around") << QStringLiteral("  数据表   LIKE   'AR%'  ") << 3;
    }
    void findRules()
    {
        QFETCH(QString, criterion);
        QFETCH(int, position);
        Recordset rs;
        rs.Open(sql::allTablesQuery(), cn, 1, 1, -1);
        rs.MoveNext();
        rs.MoveNext();  // searches start from the first record whatever is current
        EventLog log;
        EventHook hook(log);
        hook = &rs;
        rs.Find(criterion, 0, 1, 1);
        QCOMPARE(rs.AbsolutePosition(), position);
        if (position == adPosEOF)
            QCOMPARE(log.events, QStringList({"move:EOF", "end"}));
        else
            QCOMPARE(log.events.size(), 1);
    }

    void malformedCriteriaLeaveTheRecordWhereItWas_data()
    {
        QTest::addColumn<QString>("criterion");
        QTest::newRow("unbalanced apostrophe") << QStringLiteral("数据表 like 'it's%'");
        QTest::newRow("unterminated") << QStringLiteral("数据表='abc");
        QTest::newRow("no operator") << QStringLiteral("数据表 'abc'");
        QTest::newRow("no column") << QStringLiteral("='abc'");
        QTest::newRow("unknown column") << QStringLiteral("nosuch='abc'");
        QTest::newRow("empty") << QString();
        QTest::newRow("unquoted") << QStringLiteral("数据表=abc");
    }
    void malformedCriteriaLeaveTheRecordWhereItWas()
    {
        QFETCH(QString, criterion);
        Recordset rs;
        rs.Open(sql::allTablesQuery(), cn, 1, 1, -1);
        rs.MoveNext();
        EventLog log;
        EventHook hook(log);
        hook = &rs;
        QVERIFY_THROWS_EXCEPTION(Error, rs.Find(criterion, 0, 1, 1));
        QCOMPARE(rs.AbsolutePosition(), 2);
        QVERIFY(log.events.isEmpty());
    }

    void handlersMayCloseOrUnhookInsideAnEvent()
    {
        Recordset rs;
        EventLog log;
        EventHook hook(log);
        rs.Open(sql::allTablesQuery(), cn, 1, 1, -1);
        hook = &rs;
        log.onMove = [&](Recordset &r) {
            if (r.EOF_())
                hook = nullptr;  // no EndOfRecordset reaches an unhooked sink
        };
        rs.Find(sql::prefixCriterion("Z"), 0, 1, 1);
        QCOMPARE(log.events, QStringList({"move:EOF"}));
        QVERIFY(!hook.isHooked());
    }

    // Only the kept rows are records, however the rows come (reopened,
    // executed), until the filter is cleared; no statement goes for it.
    void aFilterHoldsAcrossReopens()
    {
        const Recordset::RowFilter startsWithG = [](const RowStore &rows, int row) {
            return rows.cell(row, 0).toString().startsWith('G', Qt::CaseInsensitive);
        };
        Recordset rs;
        EventLog log;
        EventHook hook(log);
        rs.CursorLocation = sql::adUseClient;
        rs.Open(sql::allTablesQuery(), cn, 1, 1, -1);
        rs.MoveNext();
        hook = &rs;
        const long before = Connection::statementsRun();
        rs.setFilter(startsWithG);
        QCOMPARE(Connection::statementsRun(), before);
        QCOMPARE(log.events, QStringList{"move:GL_a"});   // back on the first kept record
        QCOMPARE(rs.RecordCount(), 3);
        rs.Find(sql::prefixCriterion("A"));
        QVERIFY(rs.EOF_());

        rs.Close();
        rs.Open(sql::moduleTablesQuery("应收"), cn, 1, 1, -1);
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs.Fields(0).Value().toString(), QStringLiteral("gl_b"));
        rs.setFilter({});
        QCOMPARE(rs.RecordCount(), 2);

        Recordset executed;
        executed.setFilter(startsWithG);
        executed = cn.Execute(sql::allTablesQuery(), -1);
        QCOMPARE(executed.RecordCount(), 3);
        QCOMPARE(executed.AbsolutePosition(), 1);
    }

    void executeAndConnectionClose()
    {
        Connection local;
        local.Open(sql::accountYearConnectionString("svdata_001_2011", folder.path()), "sa", "x", -1);
        Recordset modules;
        modules = local.Execute(sql::moduleQuery(), -1);
        QCOMPARE(modules.State(), 1);
        QCOMPARE(modules.Fields(1).Value().toString(), QStringLiteral("总账"));
        int count = 0;
        while (!modules.EOF_()) {
            ++count;
            modules.MoveNext();
        }
        QCOMPARE(count, 4);
        QVERIFY_THROWS_EXCEPTION(Error, local.Open(sql::systemConnectionString(folder.path()), "sa", "", -1));
        local.Close();  // closes what is open on it
        QCOMPARE(modules.State(), 0);
        QCOMPARE(local.State(), 0);
        QVERIFY_THROWS_EXCEPTION(Error, local.Execute(sql::moduleQuery(), -1));
        QVERIFY_THROWS_EXCEPTION(Error, local.Close());
    }
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
