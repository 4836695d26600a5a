// A server that misbehaves after the login: one that never answers a
// statement, a connection that drops while the user browses, and one that
// answers every request half a second late.
#include "browser_driver.h"
#include "data/connection.h"
#include "data/public_ado.h"
#include "data/statements.h"
#include "fault_session.h"
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace brtest;
using namespace dd::sql;

namespace {

const QString Prompt = QStringLiteral("提示");
const QString Catalog = QStringLiteral("svdata_001_2011");

QString fields(const QString &table, int count)
{
    return QStringLiteral("%1表字段说明:(此表共%2个字段)").arg(table).arg(count);
}

// GL_a, GL_b (总账), AR_x (应收).
void writeDictionary(faulttest::ServedDictionary &d)
{
    d.folder().accounts({{"001", "Main", {2011}}});
    d.folder().catalog(Catalog, {ddtest::table("01", "总账", "GL_a", "甲表", 3),
                                 ddtest::table("01", "总账", "GL_b", "乙表", 5),
                                 ddtest::table("02", "应收", "AR_x", "丙表", 2)});
}

// Types over the whole text of the table-name box: one change per character.
void retypeTableName(const QString &text)
{
    QLineEdit *edit = ::Form2->Combo1.comboBox()->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// What the window shows is what the grids hold: a field caption only over
// the fields of the table it names, a count only over a list of that size.
void verifyCaptionsMatchGrids(browser::Form2 &b)
{
    if (b.DataGrid2.RowCount() == 0 || b.rsField.State() != 1) {
        if (!b.Label1.Caption().isEmpty()) {
            // Only a table that has no fields may be named over an empty grid.
            QVERIFY2(b.rsField.State() == 1 && b.Label1.Caption().endsWith(QStringLiteral("(此表共0个字段)")),
                     qPrintable(b.Label1.Caption()));
        }
    } else {
        QVERIFY(b.rsTable.State() == 1 && !b.rsTable.EOF_());
        QCOMPARE(b.Label1.Caption(),
                 fields(b.rsTable.Fields(0).Value().toString(), b.DataGrid2.RowCount()));
    }
    if (b.rsTable.State() != 1) {
        QCOMPARE(b.DataGrid1.RowCount(), 0);
        QCOMPARE(b.Label3.Caption(), QString());
    } else {
        // "【共加载N个表】" or "【module】模块共加载了N个表"
        const QString count = QString::number(b.DataGrid1.RowCount()) + QStringLiteral("个表");
        QVERIFY2(b.Label3.Caption().contains(QStringLiteral("共加载") + count)
                     || b.Label3.Caption().contains(QStringLiteral("共加载了") + count),
                 qPrintable(b.Label3.Caption()));
    }
}

}  // namespace

class FaultsConnection : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { endProgram(); }

    void statementNeverAnsweredEndsWithinTheTimeout_data();
    void statementNeverAnsweredEndsWithinTheTimeout();
    void droppedConnectionInTheLoginWindow();
    void droppedConnectionWhileBrowsing_data();
    void droppedConnectionWhileBrowsing();
    void slowServerKeepsEverythingInOrder();

private:
    int housekeeping_ = 0;
};

// Statements per session: opening a connection sends a few of the driver's
// own (counted here, once); the login window then sends the account and
// the year query, the browser's start-up the table query, the module query,
// the table query again (for "全部模块") and the first table's field query.
void FaultsConnection::initTestCase()
{
    faulttest::ServedDictionary d;
    writeDictionary(d);
    QVERIFY(d.start());
    {
        dd::Connection cn;
        cn.Open(systemConnectionString(d.dataSource()), QStringLiteral("sa"), d.password());
        cn.Execute(accountQuery());
    }
    const auto statements = d.server().log().statements();
    QVERIFY(!statements.isEmpty());
    QCOMPARE(statements.last().text.trimmed(), accountQuery());
    housekeeping_ = statements.size() - 1;
}

void FaultsConnection::statementNeverAnsweredEndsWithinTheTimeout_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<bool>("whileBrowsing");
    QTest::newRow("from the login on") << QStringList{"--hang-after-login"} << false;
    QTest::newRow("while browsing")
        << QStringList{"--hang-after", QString::number(housekeeping_ + 4)} << true;
}

void FaultsConnection::statementNeverAnsweredEndsWithinTheTimeout()
{
    QFETCH(QStringList, faults);
    QFETCH(bool, whileBrowsing);
    faulttest::ServedDictionary d;
    writeDictionary(d);
    QVERIFY(d.start(faults));
    faulttest::Session session;
    startProgram();
    QVERIFY(!QTest::currentTestFailed());
    login::Form1 &f = *::Form1;
    f.Text1.lineEdit()->selectAll();
    QTest::keyClicks(f.Text1.lineEdit(), d.dataSource());
    QTest::keyClicks(f.Text2.lineEdit(), d.password());
    QElapsedTimer timer;
    timer.start();
    if (!whileBrowsing) {
        // The login is answered, the account query is not.
        QTest::keyClick(f.Text2.lineEdit(), Qt::Key_Tab);
        const qint64 elapsed = timer.elapsed();
        // The statement time-out, and as long again for the cancel.
        QVERIFY2(elapsed < 70000, qPrintable(QString::number(elapsed)));
        QCOMPARE(session.calls().size(), 1);
        QCOMPARE(session.calls()[0].title, Prompt);
        QVERIFY2(session.calls()[0].prompt.contains(QStringLiteral("超时")), qPrintable(session.calls()[0].prompt));
        QVERIFY(::Form1.isLoaded() && f.Visible() && !ui::programEnded());
        // Logged in, the account query unanswered: as for any account query
        // that fails, the boxes stay disabled and only Exit leaves.
        QVERIFY(!f.Text1.Enabled() && !f.Text2.Enabled());
        QCOMPARE(f.Combo1.ListIndex(), -1);
        QVERIFY(!f.Command1.Enabled());
        QCOMPARE(dd::PublicADO::cnSys().State(), 1);
        session.audit(d);
        return;
    }

    QTest::keyClick(f.Text2.lineEdit(), Qt::Key_Tab);
    clickOk();
    QVERIFY(::Form2.isLoaded() && ::Form2->Visible());
    browser::Form2 &b = *::Form2;
    QCOMPARE(b.Label1.Caption(), fields("GL_a", 3));
    QVERIFY(session.calls().isEmpty());
    timer.restart();
    retypeTableName(QStringLiteral("GL_b"));  // the field query of "G" goes unanswered
    QVERIFY2(timer.elapsed() < 4 * 70000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(!session.calls().isEmpty());
    for (const ui::MsgBoxCall &c : session.calls())
        QCOMPARE(c.title, Prompt);
    QVERIFY2(session.calls()[0].prompt.contains(QStringLiteral("超时")), qPrintable(session.calls()[0].prompt));
    QVERIFY(::Form2.isLoaded() && !ui::programEnded());
    verifyCaptionsMatchGrids(b);
    QCOMPARE(b.Label1.Caption(), QString());
    QCOMPARE(b.DataGrid2.RowCount(), 0);
    QVERIFY(!QTest::currentTestFailed());

    // Leaving and choosing again: a new connection, answered again.
    session.boxes().clear();
    doubleClickPanel(b.StatusBar1, 1);
    settle();
    QVERIFY(!::Form2.isLoaded() && ::Form1.isLoaded() && ::Form1->Visible());
    logIn(d.dataSource(), d.password());
    clickOk();
    QVERIFY(::Form2.isLoaded() && ::Form2->Visible());
    QCOMPARE(::Form2->Label1.Caption(), fields("GL_a", 3));
    QVERIFY(session.calls().isEmpty());
    session.audit(d);
}

// Dropped after the login, at the year query: the reason shows, the window
// keeps answering, and Exit still ends the program.
void FaultsConnection::droppedConnectionInTheLoginWindow()
{
    faulttest::ServedDictionary d;
    d.folder().accounts({{"001", "Main", {2011}}, {"002", "Branch", {2012}}});
    QVERIFY(d.start({"--drop-after", QString::number(housekeeping_ + 1)}));
    faulttest::Session session;
    startProgram();
    QVERIFY(!QTest::currentTestFailed());
    login::Form1 &f = *::Form1;
    f.Text1.lineEdit()->selectAll();
    QTest::keyClicks(f.Text1.lineEdit(), d.dataSource());
    QTest::keyClicks(f.Text2.lineEdit(), d.password());
    QTest::keyClick(f.Text2.lineEdit(), Qt::Key_Tab);
    QCOMPARE(entries(f.Combo1), (QStringList{"[001]Main", "[002]Branch"}));
    QCOMPARE(session.calls().size(), 1);
    QCOMPARE(session.calls()[0].title, Prompt);
    QVERIFY2(session.calls()[0].prompt.contains(QStringLiteral("断开")), qPrintable(session.calls()[0].prompt));
    QCOMPARE(f.Combo2.ListCount(), 0);
    QVERIFY(!f.Command1.Enabled());
    choose(f.Combo1, QStringLiteral("[002]Branch"));  // the connection stays down
    QCOMPARE(session.calls().size(), 2);
    QCOMPARE(f.Combo2.ListCount(), 0);
    QVERIFY(!f.Command1.Enabled() && f.Visible());
    QTest::mouseClick(f.Command2.button(), Qt::LeftButton);
    QVERIFY(ui::programEnded());
    session.audit(d);
}

void FaultsConnection::droppedConnectionWhileBrowsing_data()
{
    QTest::addColumn<int>("dropAfter");
    QTest::addColumn<QString>("action");
    QTest::newRow("between keystrokes") << housekeeping_ + 6 << QStringLiteral("type");
    QTest::newRow("during a module reload") << housekeeping_ + 4 << QStringLiteral("module");
    QTest::newRow("during the start-up reload") << housekeeping_ + 2 << QString();
}

void FaultsConnection::droppedConnectionWhileBrowsing()
{
    QFETCH(int, dropAfter);
    QFETCH(QString, action);
    faulttest::ServedDictionary d;
    writeDictionary(d);
    QVERIFY(d.start({"--drop-after", QString::number(dropAfter)}));
    faulttest::Session session;
    startProgram();
    QVERIFY(!QTest::currentTestFailed());
    logIn(d.dataSource(), d.password());
    clickOk();
    QVERIFY(::Form2.isLoaded() && ::Form2->Visible());
    browser::Form2 &b = *::Form2;
    verifyCaptionsMatchGrids(b);

    if (action == QLatin1String("type")) {
        QVERIFY(session.calls().isEmpty());
        retypeTableName(QStringLiteral("GL"));      // two field queries, answered
        QCOMPARE(b.Label1.Caption(), fields("GL_a", 3));
        QVERIFY(session.calls().isEmpty());
        typeTableName(QStringLiteral("_"));         // the connection drops
        QCOMPARE(session.calls().size(), 1);
        QCOMPARE(b.Label1.Caption(), QString());
        QCOMPARE(b.DataGrid2.RowCount(), 0);
        QCOMPARE(b.DataGrid1.RowCount(), 3);        // the list itself is still right
        QCOMPARE(b.Label3.Caption(), QStringLiteral("【共加载3个表】"));
        typeTableName(QStringLiteral("b"));         // and stays down
        QCOMPARE(session.calls().size(), 2);
        QCOMPARE(highlightedRows(b.DataGrid1), QList<int>{1});
    } else if (action == QLatin1String("module")) {
        QVERIFY(session.calls().isEmpty());
        pickFromList(b.Combo2.comboBox(), 2);       // 应收: its table query drops
        QCOMPARE(session.calls().size(), 1);
        QCOMPARE(b.DataGrid1.RowCount(), 0);
        QCOMPARE(b.Combo1.ListCount(), 0);
        QCOMPARE(b.Label3.Caption(), QString());
        QCOMPARE(b.Label1.Caption(), QString());
        QCOMPARE(b.DataGrid2.RowCount(), 0);
        pickFromList(b.Combo2.comboBox(), 0);       // 全部模块: still down
        QCOMPARE(session.calls().size(), 2);
        typeTableName(QStringLiteral("G"));         // nothing to search, nothing said
        QCOMPARE(session.calls().size(), 2);
    } else {
        // The browser opened, but its "全部模块" list did not load.
        QCOMPARE(session.calls().size(), 1);
        QCOMPARE(b.DataGrid1.RowCount(), 0);
        QCOMPARE(b.Combo1.ListCount(), 0);
        QCOMPARE(b.Label3.Caption(), QString());
        QCOMPARE(b.Label1.Caption(), QString());
    }
    for (const ui::MsgBoxCall &c : session.calls()) {
        QCOMPARE(c.title, Prompt);
        QVERIFY2(c.prompt.contains(QStringLiteral("断开")), qPrintable(c.prompt));
    }
    verifyCaptionsMatchGrids(b);
    QVERIFY(!QTest::currentTestFailed());

    // Closing and choosing again: new connections, counted afresh.
    const int boxesBefore = session.calls().size();
    doubleClickPanel(b.StatusBar1, 1);
    settle();
    QVERIFY(!::Form2.isLoaded() && ::Form1.isLoaded() && ::Form1->Visible());
    QCOMPARE(dd::PublicADO::cnSys().State(), 0);
    logIn(d.dataSource(), d.password());
    clickOk();
    QVERIFY(::Form2.isLoaded() && ::Form2->Visible());
    verifyCaptionsMatchGrids(*::Form2);
    if (!action.isEmpty()) {
        QCOMPARE(session.calls().size(), boxesBefore);
        QCOMPARE(::Form2->Label3.Caption(), QStringLiteral("【共加载3个表】"));
        QCOMPARE(::Form2->Label1.Caption(), fields("GL_a", 3));
    } else {
        QCOMPARE(session.calls().size(), boxesBefore + 1);  // the same drop again
    }
    session.audit(d);
}

// Every answer half a second late: the same windows, the same statements
// in the same order as from a quick server.
void FaultsConnection::slowServerKeepsEverythingInOrder()
{
    faulttest::ServedDictionary d;
    writeDictionary(d);
    QVERIFY(d.start({"--delay-ms", "500"}));
    faulttest::Session session;
    browser::Form2 *b = nullptr;
    startProgram();
    logIn(d.dataSource(), d.password());
    QCOMPARE(entries(::Form1->Combo1), QStringList{"[001]Main"});
    QCOMPARE(entries(::Form1->Combo2), QStringList{"2011"});
    QCOMPARE(d.sent(), (QStringList{accountQuery(), yearQuery("001")}));
    clickOk();
    b = ::Form2.loaded();
    QVERIFY(b && b->Visible());
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【共加载3个表】"));
    QCOMPARE(entries(b->Combo1), (QStringList{"GL_a", "GL_b", "AR_x"}));
    QCOMPARE(entries(b->Combo2), (QStringList{"全部模块", "总账", "应收"}));
    QCOMPARE(b->Label1.Caption(), fields("GL_a", 3));
    QCOMPARE(d.sent(Catalog),
             (QStringList{allTablesQuery(), moduleQuery(), allTablesQuery(), fieldQuery("GL_a")}));

    eraseTableName();
    typeTableName(QStringLiteral("gl_B"));
    QCOMPARE(b->Label1.Caption(), fields("GL_b", 5));
    QCOMPARE(column(b->DataGrid2, 0), (QStringList{"F1", "F2", "F3", "F4", "F5"}));
    QCOMPARE(highlightedRows(b->DataGrid1), QList<int>{1});
    clickRow(b->DataGrid1, 2);
    QCOMPARE(b->Label1.Caption(), fields("AR_x", 2));
    pickFromList(b->Combo2.comboBox(), 1);
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【总账】模块共加载了2个表"));
    QCOMPARE(entries(b->Combo1), (QStringList{"GL_a", "GL_b"}));
    QCOMPARE(b->Label1.Caption(), fields("GL_a", 3));
    const QString a = fieldQuery("GL_a");
    // Erasing "GL_a" finds GL_a three times; typing g, gl, gl_ finds it
    // three times more, gl_B finds GL_b.
    QCOMPARE(d.sent(Catalog), (QStringList{a, a, a, a, a, a, fieldQuery("GL_b"), fieldQuery("AR_x"),
                                           moduleTablesQuery("总账"), a}));
    QVERIFY(session.calls().isEmpty());
    session.audit(d);
}

QTEST_MAIN(FaultsConnection)
#include "tst_faults_connection.moc"
