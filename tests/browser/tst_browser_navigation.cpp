// Choosing a table (typing, picking, clicking, filtering by module), what
// the field view shows for it, what each choice costs in statements, and
// what a failing field query or module reload leaves.
#include "browser_driver.h"
#include "data/public_ado.h"
#include "test_folder.h"
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

using namespace brtest;

namespace {

const QString Catalog = QStringLiteral("svdata_001_2011");
// 总账 (id 01): GL_a, GL_b, GL_t01..35; 应收 (02): AR_x, TAB01; 存货 (03): EMPTY, DUP, DUP.
constexpr int AR_x = 37, TAB01 = 38, FirstDup = 40, SecondDup = 41, TableCount = 42;

QString fields(const QString &table, int count)
{
    return QStringLiteral("%1表字段说明:(此表共%2个字段)").arg(table).arg(count);
}

// Statements run by what the function does.
long statements(const std::function<void()> &action)
{
    const long before = dd::Connection::statementsRun();
    action();
    return dd::Connection::statementsRun() - before;
}

}  // namespace

class BrowserNavigation : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { endProgram(); }
    void typingSearchesByPrefix();
    void clickingAndPicking();
    void choosingAModuleReloads();
    void failuresShowNothingStale();

private:
    browser::Form2 *b_ = nullptr;
    std::unique_ptr<ddtest::DictionaryFolder> folder_;
};

void BrowserNavigation::init()
{
    folder_ = std::make_unique<ddtest::DictionaryFolder>();
    folder_->accounts({{"001", "Main", {2011}}});
    QVector<dictgen::TableRow> t{ddtest::table("01", "总账", "GL_a", "甲表", 3),
                                 ddtest::table("01", "总账", "GL_b", "乙表", 5)};
    for (int i = 1; i <= 35; ++i)
        t << ddtest::table("01", "总账", QStringLiteral("GL_t%1").arg(i), "总账表", 2);
    t << ddtest::table("02", "应收", "AR_x", "丙表", 2) << ddtest::table("02", "应收", "TAB01", "丁表", 25)
      << ddtest::table("03", "存货", "EMPTY", "空表", 0) << ddtest::table("03", "存货", "DUP", "重复一", 1)
      << ddtest::table("03", "存货", "DUP", "重复二", 4);
    folder_->catalog(Catalog, t);
    b_ = openBrowser(folder_->path());
    QVERIFY(b_);
}

void BrowserNavigation::typingSearchesByPrefix()
{
    ui::ScopedMsgBoxHandler boxes([this](const ui::MsgBoxCall &) {
        QCOMPARE(b_->DataGrid2.RowCount(), 0);  // already empty while the message shows
    });
    eraseTableName();
    // One field query per keystroke that finds a table: G, GL, GL_ find GL_a.
    QCOMPARE(statements([] { typeTableName("G"); }), 1L);
    QCOMPARE(b_->Label1.Caption(), fields("GL_a", 3));
    QCOMPARE(statements([] { typeTableName("L_b"); }), 3L);
    QCOMPARE(b_->Label1.Caption(), fields("GL_b", 5));
    QCOMPARE(column(b_->DataGrid2, 0), (QStringList{"F1", "F2", "F3", "F4", "F5"}));
    QCOMPARE(highlightedRows(b_->DataGrid1), QList<int>{1});
    QCOMPARE(b_->DataGrid1.tableView()->currentIndex().row(), 1);

    // Deleting the text by hand empties the caption only.
    QLineEdit *edit = b_->Combo1.comboBox()->lineEdit();
    QCOMPARE(statements([edit] {
                 QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
                 QTest::keyClick(edit, Qt::Key_Delete);
             }),
             0L);
    QCOMPARE(b_->Label1.Caption(), QString());
    QCOMPARE(b_->DataGrid2.RowCount(), 5);
    QCOMPARE(highlightedRows(b_->DataGrid1), QList<int>{1});

    // A prefix nothing begins with.
    QCOMPARE(statements([] { typeTableName("Z"); }), 0L);
    QCOMPARE(boxes.calls().size(), 1);
    QCOMPARE(boxes.calls()[0].prompt, QStringLiteral("本字典中没有包含【Z】开头的表，请重新输入"));
    QCOMPARE(boxes.calls()[0].buttons, 64);
    QCOMPARE(boxes.calls()[0].title, QStringLiteral("提示"));
    QCOMPARE(b_->Combo1.Text(), QString());
    QCOMPARE(b_->Label1.Caption(), QString());
    QCOMPARE(b_->DataGrid2.RowCount(), 0);
    QVERIFY(highlightedRows(b_->DataGrid1).isEmpty());
    QVERIFY(!b_->DataGrid1.tableView()->currentIndex().isValid());

    // The next prefix searches from the top again; letter case is not looked at.
    typeTableName("t");
    QCOMPARE(b_->Label1.Caption(), fields("TAB01", 25));
    QCOMPARE(highlightedRows(b_->DataGrid1), QList<int>{TAB01});
    QCOMPARE(b_->DataGrid1.tableView()->currentIndex().row(), TAB01);
    QCOMPARE(boxes.calls().size(), 1);
}

void BrowserNavigation::clickingAndPicking()
{
    // Clicking a row far down while the grid does not have the focus.
    QVERIFY(QTest::qWaitForWindowActive(b_->widget()));
    b_->Combo1.SetFocus();
    QVERIFY(QApplication::focusWidget() != b_->DataGrid1.tableView());
    QCOMPARE(statements([this] { clickRow(b_->DataGrid1, AR_x); }), 1L);
    QCOMPARE(QApplication::focusWidget(), b_->DataGrid1.tableView());
    QCOMPARE(b_->rsTable.AbsolutePosition(), AR_x + 1);
    QCOMPARE(b_->Label1.Caption(), fields("AR_x", 2));
    QCOMPARE(highlightedRows(b_->DataGrid1), QList<int>{AR_x});
    QCOMPARE(statements([this] { clickRow(b_->DataGrid1, AR_x); }), 0L);  // no move
    QCOMPARE(statements([this] { QTest::keyClick(b_->DataGrid1.tableView(), Qt::Key_Down); }), 1L);
    QCOMPARE(b_->Label1.Caption(), fields("TAB01", 25));
    // The field grid is only shown: a click there moves no table.
    QCOMPARE(statements([this] { clickRow(b_->DataGrid2, 3); }), 0L);
    QCOMPARE(b_->rsTable.AbsolutePosition(), TAB01 + 1);

    // Picking a name makes the first table of that name current. Fields are
    // known by table name, so both DUP show the fields of both.
    pickFromList(b_->Combo1.comboBox(), SecondDup);
    QCOMPARE(b_->Combo1.Text(), QStringLiteral("DUP"));
    QCOMPARE(b_->rsTable.AbsolutePosition(), FirstDup + 1);
    QCOMPARE(b_->DataGrid1.tableView()->currentIndex().row(), FirstDup);
    QCOMPARE(highlightedRows(b_->DataGrid1), QList<int>{FirstDup});
    QCOMPARE(b_->Label1.Caption(), fields("DUP", 1 + 4));
}

void BrowserNavigation::choosingAModuleReloads()
{
    ui::ScopedMsgBoxHandler boxes;
    QComboBox *modules = b_->Combo2.comboBox();
    clickRow(b_->DataGrid1, TAB01);
    // One table query and the first table's field query; none for the refill.
    QCOMPARE(statements([=] { pickFromList(modules, modules->findText("总账")); }), 2L);
    QCOMPARE(b_->Label3.Caption(), QStringLiteral("【总账】模块共加载了37个表"));
    QCOMPARE(b_->Combo1.ListCount(), 37);
    QCOMPARE(b_->Combo1.Text(), QStringLiteral("GL_a"));
    QCOMPARE(b_->DataGrid1.RowCount(), 37);
    QCOMPARE(b_->Label1.Caption(), fields("GL_a", 3));
    QCOMPARE(highlightedRows(b_->DataGrid1), QList<int>{0});
    QCOMPARE(b_->DataGrid1.Columns(0).Width(), 1900.0f);

    pickFromList(modules, modules->findText("存货"));
    QCOMPARE(entries(b_->Combo1), (QStringList{"EMPTY", "DUP", "DUP"}));
    QCOMPARE(b_->Label1.Caption(), fields("EMPTY", 0));
    QCOMPARE(b_->DataGrid2.RowCount(), 0);
    QCOMPARE(headers(b_->DataGrid2), (QStringList{"字段名称", "字段含义", "字段类型"}));

    QCOMPARE(statements([=] { pickFromList(modules, 0); }), 2L);
    QCOMPARE(b_->Label3.Caption(), QStringLiteral("【共加载%1个表】").arg(TableCount));
    QCOMPARE(b_->Combo1.ListCount(), TableCount);
    QCOMPARE(b_->Combo1.Text(), QStringLiteral("GL_a"));
    QCOMPARE(b_->Label1.Caption(), fields("GL_a", 3));
    QVERIFY(b_->rs2Events.isHooked());
    QVERIFY(boxes.calls().isEmpty());
}

void BrowserNavigation::failuresShowNothingStale()
{
    ui::ScopedMsgBoxHandler boxes;
    breakCatalog(folder_->path(), Catalog);

    // A failing field query: no fields, so no table named above them.
    clickRow(b_->DataGrid1, TAB01);
    QCOMPARE(boxes.calls().size(), 1);
    QCOMPARE(boxes.calls()[0].title, QStringLiteral("提示"));
    QVERIFY2(boxes.calls()[0].prompt.contains("RPT_ItmDEF"), qPrintable(boxes.calls()[0].prompt));
    QCOMPARE(b_->Label1.Caption(), QString());
    QCOMPARE(b_->DataGrid2.RowCount(), 0);
    QCOMPARE(highlightedRows(b_->DataGrid1), QList<int>{TAB01});  // the list itself is fine

    // A failing reload: no list, so no count and no field view.
    pickFromList(b_->Combo2.comboBox(), 1);
    QCOMPARE(boxes.calls().size(), 2);
    QVERIFY2(boxes.calls()[1].prompt.contains("RPT_GRPDEF"), qPrintable(boxes.calls()[1].prompt));
    QCOMPARE(b_->rsTable.State(), 0);
    QCOMPARE(b_->DataGrid1.RowCount(), 0);
    QCOMPARE(b_->Combo1.ListCount(), 0);
    QCOMPARE(b_->Label3.Caption(), QString());
    QCOMPARE(b_->Label1.Caption(), QString());
    QVERIFY(b_->rs2Events.isHooked());
    typeTableName("G");  // searching nothing says nothing
    QCOMPARE(boxes.calls().size(), 2);

    // Leaving still closes every connection and brings the login window back.
    doubleClickPanel(b_->StatusBar1, 1);
    settle();
    QVERIFY(!::Form2.isLoaded() && ::Form1.isLoaded() && ::Form1->Visible());
    QCOMPARE(dd::PublicADO::cnSys().State() + dd::PublicADO::rsAcc().State(), 0);
    QCOMPARE(boxes.calls().size(), 2);
}

QTEST_MAIN(BrowserNavigation)
#include "tst_browser_navigation.moc"
