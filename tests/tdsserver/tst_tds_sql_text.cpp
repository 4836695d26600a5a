// The statement rules of the test server: how a batch splits, what counts as
// a write (refused), and what is rewritten before SQLite sees it.
#include "executor.h"
#include "select_list_names.h"
#include "sql_text.h"
#include <QTest>

using namespace tds;

class TestTdsSqlText : public QObject {
    Q_OBJECT
private slots:
    void splitsBatches_data();
    void splitsBatches();
    void classifiesStatements_data();
    void classifiesStatements();
    void rewritesForSqlite_data();
    void rewritesForSqlite();
    void namesColumnsAsTheSelectListDoes_data();
    void namesColumnsAsTheSelectListDoes();
    void bindsParameters();
    void writesLiterals();
};

void TestTdsSqlText::splitsBatches_data()
{
    QTest::addColumn<QString>("batch");
    QTest::addColumn<QStringList>("statements");
    QTest::newRow("one") << "select 1" << QStringList{"select 1"};
    QTest::newRow("semicolons") << "select 1; select 2;" << QStringList{"select 1", "select 2"};
    QTest::newRow("semicolon in a literal")
        << "select 'a;b' as x; select 2" << QStringList{"select 'a;b' as x", "select 2"};
    QTest::newRow("semicolon in a name") << "select [a;b] from t" << QStringList{"select [a;b] from t"};
    QTest::newRow("semicolon in comments")
        << "select 1 -- x;y\n; /* a; /* nested; */ b */ select 2"
        << QStringList{"select 1", "select 2"};
    QTest::newRow("SET options without semicolons")
        << "SET TEXTSIZE 2147483647 SET ANSI_NULLS ON select 1"
        << QStringList{"SET TEXTSIZE 2147483647", "SET ANSI_NULLS ON", "select 1"};
    QTest::newRow("SET with a subquery")
        << "set rowcount (select 1) select 2" << QStringList{"set rowcount (select 1)", "select 2"};
    QTest::newRow("USE then a query") << "USE [svsystem] select 1" << QStringList{"USE [svsystem]", "select 1"};
    QTest::newRow("doubled apostrophes")
        << "select * from RPT_ItmDEF where TableName='O''Brien'"
        << QStringList{"select * from RPT_ItmDEF where TableName='O''Brien'"};
    QTest::newRow("only comments") << "-- nothing\n/* at all */" << QStringList{};
    QTest::newRow("statements on lines of their own")
        << "SELECT @@MAX_PRECISION\nSET TRANSACTION ISOLATION LEVEL READ COMMITTED\nSET IMPLICIT_TRANSACTIONS OFF"
        << QStringList{"SELECT @@MAX_PRECISION", "SET TRANSACTION ISOLATION LEVEL READ COMMITTED",
                       "SET IMPLICIT_TRANSACTIONS OFF"};
    QTest::newRow("queries back to back") << "select 1 select 2 exec sp_who"
                                          << QStringList{"select 1", "select 2", "exec sp_who"};
    QTest::newRow("union and subqueries stay")
        << "select a from t union all select b from u where c in (select d from v) select 3"
        << QStringList{"select a from t union all select b from u where c in (select d from v)", "select 3"};
    QTest::newRow("cte body and table hints stay")
        << "with c as (select 1 as x) select x from c with (nolock) select 2"
        << QStringList{"with c as (select 1 as x) select x from c with (nolock)", "select 2"};
    QTest::newRow("insert select and update set stay")
        << "insert into t select 1 update t set a = 1 delete from t select 2"
        << QStringList{"insert into t select 1", "update t set a = 1", "delete from t", "select 2"};
    QTest::newRow("cursor declaration and blocks run on")
        << "declare c cursor for select a from t for update select 1 if 1 = 1 select 2 else select 3"
        << QStringList{"declare c cursor for select a from t for update", "select 1",
                       "if 1 = 1 select 2 else select 3"};
    QTest::newRow("transactions") << "begin tran select 1 commit tran"
                                  << QStringList{"begin tran", "select 1", "commit tran"};
}

void TestTdsSqlText::splitsBatches()
{
    QFETCH(QString, batch);
    QFETCH(QStringList, statements);
    QCOMPARE(sql::splitBatch(batch), statements);
}

void TestTdsSqlText::classifiesStatements_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("kind");
    const int query = int(sql::StatementKind::Query), write = int(sql::StatementKind::Write);
    // The system's own statements are reads.
    QTest::newRow("accounts") << "Select cAcc_id,cAcc_Name from ua_account" << query;
    QTest::newRow("aliases") << "select Tablename as 数据表,Tabledefine as 中文表名,SystemName as 所属模块 from   "
                                "RPT_GRPDEF where SystemName='总账' order by systemid" << query;
    QTest::newRow("distinct") << "select distinct systemid ,systemname from rpt_GRPDEF" << query;
    QTest::newRow("write words as data") << "select 'delete' as [insert], \"drop\" from t where x = 'update'" << query;
    QTest::newRow("cte read") << "with a as (select 1 as x) select x from a" << query;
    QTest::newRow("parenthesised") << "(select 1) union (select 2)" << query;
    // Every way of writing is refused.
    QTest::newRow("insert") << "INSERT INTO t VALUES (1)" << write;
    QTest::newRow("update lower case") << "update RPT_GRPDEF set systemid = 1" << write;
    QTest::newRow("delete after a comment") << "/* harmless */ -- really\n DELETE FROM ua_account" << write;
    QTest::newRow("create") << "create table x (a int)" << write;
    QTest::newRow("drop") << "DROP TABLE ua_account" << write;
    QTest::newRow("alter") << "alter table t add c int" << write;
    QTest::newRow("truncate") << "truncate table t" << write;
    QTest::newRow("merge") << "merge t using s on 1=1 when matched then delete;" << write;
    QTest::newRow("select into") << "select * into copy_of from ua_account" << write;
    QTest::newRow("cte write") << "with a as (select 1 as x) delete from t" << write;
    QTest::newRow("sqlite replace") << "replace into t values (1)" << write;
    QTest::newRow("attach") << "attach database '/tmp/x.db' as x" << write;
    QTest::newRow("pragma") << "pragma journal_mode = wal" << write;
    QTest::newRow("grant") << "grant select on t to public" << write;
    // Housekeeping.
    QTest::newRow("set") << "SET QUOTED_IDENTIFIER ON" << int(sql::StatementKind::Set);
    QTest::newRow("use") << "use svdata_001_2009" << int(sql::StatementKind::Use);
    QTest::newRow("begin tran") << "BEGIN TRANSACTION" << int(sql::StatementKind::Transaction);
    QTest::newRow("rollback") << "ROLLBACK" << int(sql::StatementKind::Transaction);
    QTest::newRow("exec") << "exec sp_datatype_info_100 11" << int(sql::StatementKind::Procedure);
    QTest::newRow("bare procedure") << "sp_datatype_info_100 11" << int(sql::StatementKind::Procedure);
    QTest::newRow("empty") << "  -- x\n" << int(sql::StatementKind::Empty);
}

void TestTdsSqlText::classifiesStatements()
{
    QFETCH(QString, statement);
    QFETCH(int, kind);
    QCOMPARE(sql::kindName(sql::classify(sql::tokenize(statement))),
             sql::kindName(sql::StatementKind(kind)));
}

void TestTdsSqlText::rewritesForSqlite_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("rewritten");
    QTest::addColumn<QString>("undeclared");
    QTest::newRow("unchanged") << "select a from t where b='O''Brien'" << "select a from t where b='O''Brien'" << "";
    QTest::newRow("national literal") << "select N'中文', n'x'" << "select '中文', 'x'" << "";
    QTest::newRow("parameters") << "select * from t where a = @P1 and b = @p2" << "select * from t where a = 'x' and b = 7" << "";
    QTest::newRow("parameter text in a literal stays") << "select '@P1'" << "select '@P1'" << "";
    QTest::newRow("globals and functions") << "select @@SPID, db_name ( )" << "select 51, 'cat'" << "";
    QTest::newRow("undeclared variable") << "select @nope" << "select @nope" << "@nope";
}

void TestTdsSqlText::rewritesForSqlite()
{
    QFETCH(QString, statement);
    QFETCH(QString, rewritten);
    QFETCH(QString, undeclared);
    const QHash<QString, QString> values = {
        {"@p1", "'x'"}, {"@p2", "7"}, {"@@spid", "51"}, {"@@db_name", "'cat'"}};
    const sql::Rewrite r = sql::rewriteForSqlite(statement, sql::tokenize(statement), values);
    QCOMPARE(r.text, rewritten);
    QCOMPARE(r.undeclaredVariable, undeclared);
}

void TestTdsSqlText::namesColumnsAsTheSelectListDoes_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("names");  // "=" keeps SQLite's name (an alias)
    QTest::newRow("plain columns as written") << "select distinct systemid ,systemname from rpt_GRPDEF"
                                              << QStringList{"systemid", "systemname"};
    QTest::newRow("aliases") << "select Tablename as 数据表, x [别名] from t" << QStringList{"=", "="};
    QTest::newRow("qualified and quoted") << "select t.[Field Name], \"q\" from t" << QStringList{"Field Name", "q"};
    QTest::newRow("expressions have no name") << "select count(*), 1 + a, db_name() from t" << QStringList{"", "", ""};
    QTest::newRow("commas inside calls") << "select substr(a, 1, 2), b from t order by 1" << QStringList{"", "b"};
    QTest::newRow("cte") << "with c as (select a from t) select a as x, a from c" << QStringList{"=", "a"};
    QTest::newRow("star") << "select * from t" << QStringList{"*"};
}

void TestTdsSqlText::namesColumnsAsTheSelectListDoes()
{
    QFETCH(QString, statement);
    QFETCH(QStringList, names);
    const auto got = selectListNames(sql::tokenize(statement));
    if (names == QStringList{"*"}) {
        QVERIFY(!got);
        return;
    }
    QVERIFY(got);
    QStringList actual;
    for (const auto &n : *got)
        actual << (n ? *n : QString("="));
    QCOMPARE(actual, names);
}

void TestTdsSqlText::bindsParameters()
{
    const QStringList declared = sql::declaredParameters("@P1 nvarchar(4000),@P2 decimal(10, 2) OUTPUT, @P3 int");
    QCOMPARE(declared, (QStringList{"@P1", "@P2", "@P3"}));
    // Positional values fill the declared names in order; named ones go by name.
    const QHash<QString, QString> bound = bindParameters(
        declared, {ProcedureArgument{QString(), QString("a'b"), false}, ProcedureArgument{QString(), QVariant(), false},
                   ProcedureArgument{"@P3", 3, false}});
    QCOMPARE(bound.value("@p1"), QString("'a''b'"));
    QCOMPARE(bound.value("@p3"), QString("3"));
    QCOMPARE(bound.value("@p2"), QString("NULL"));
}

void TestTdsSqlText::writesLiterals()
{
    QCOMPARE(sql::literal(QVariant()), QString("NULL"));
    QCOMPARE(sql::literal(QString("O'Brien")), QString("'O''Brien'"));
    QCOMPARE(sql::literal(QString("总账")), QString("'总账'"));
    QCOMPARE(sql::literal(qint64(-5000000000)), QString("-5000000000"));
    QCOMPARE(sql::literal(true), QString("1"));
    QCOMPARE(sql::literal(QByteArray("\x01\xff", 2)), QString("X'01ff'"));
}

QTEST_GUILESS_MAIN(TestTdsSqlText)
#include "tst_tds_sql_text.moc"
