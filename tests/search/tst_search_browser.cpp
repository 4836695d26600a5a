// The search box in the browser, driven through its widgets: Ctrl+F, typing,
// reading the list, Enter, Esc, and a hit that the module filter hides.
#include "browser_driver.h"
#include "search/results_model.h"
#include "search/results_panel.h"
#include "test_folder.h"
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

using namespace brtest;

namespace {

const QString Catalog = QStringLiteral("svdata_001_2011");

dictgen::TableRow tableOf(const QString &id, const QString &module, const QString &name,
                          const QString &description, const QVector<dictgen::FieldRow> &fields)
{
    return {id, module, name, description, fields};
}

// Types any text, one key press per character (QTest's own typing is ASCII only).
void typeInto(QWidget *w, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QLineEdit *searchBox()
{
    return ::Form2->Text1.lineEdit();
}

search::ResultsPanel *panel()
{
    return ::Form2->widget()->findChild<search::ResultsPanel *>();
}

// The list's rows as "数据表|字段名称|字段含义".
QStringList listed()
{
    QStringList out;
    const QAbstractItemModel *m = panel()->view()->model();
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->index(r, 0).data().toString() + '|' + m->index(r, 3).data().toString() + '|'
                   + m->index(r, 4).data().toString();
    return out;
}

// What assistive technology reads for the panel's status line.
QString spokenStatus()
{
    QLabel *line = panel()->findChild<QLabel *>();
    QAccessibleInterface *a = line ? QAccessible::queryAccessibleInterface(line) : nullptr;
    return a ? a->text(QAccessible::Name) : QString();
}

}  // namespace

class SearchBrowser : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { endProgram(); }
    void boxStandsAboveTheFieldGridLastInTabOrder();
    void typeReadEnterShowsTheFieldRow();
    void hitOutsideTheModuleGoesBackToAllModules();
    void keysWalkTheListAndEscGivesTheFocusBack();

private:
    browser::Form2 *b_ = nullptr;
    std::unique_ptr<ddtest::DictionaryFolder> folder_;
};

// 总账: GL_accvouch and 30 small tables; 销售管理: SA_SaleBillVouch with 60
// fields, the last one cMemo; 存货核算: IA_Summary.
void SearchBrowser::init()
{
    folder_ = std::make_unique<ddtest::DictionaryFolder>();
    folder_->accounts({{"001", "Main", {2011}}});
    QVector<dictgen::TableRow> t{tableOf("01", "总账", "GL_accvouch", "凭证及明细账",
                                         {{"iID", "自动编号", "int"}, {"ccode", "科目编码", "nvarchar(40)"},
                                          {"iRowNo", "行号", "int"}})};
    for (int i = 1; i <= 30; ++i)
        t << ddtest::table("01", "总账", QStringLiteral("GL_t%1").arg(i), "总账表", 2);
    QVector<dictgen::FieldRow> sale{{"cSBVCode", "发票号", "nvarchar(30)"},
                                    {"cCusCode", "客户编码", "nvarchar(20)"},
                                    {"cInvCode", "存货编码", "nvarchar(20)"}};
    for (int i = 4; i < 60; ++i)
        sale.append({QStringLiteral("cDefine%1").arg(i), QStringLiteral("自定义项%1").arg(i), "nvarchar(60)"});
    sale.append({"cMemo", "备注", "nvarchar(255)"});
    t << tableOf("02", "销售管理", "SA_SaleBillVouch", "销售发票主表", sale)
      << tableOf("03", "存货核算", "IA_Summary", "存货核算汇总", {{"cInvCode", "存货编码", "nvarchar(20)"}});
    folder_->catalog(Catalog, t);
    b_ = openBrowser(folder_->path());
    QVERIFY(b_);
    QVERIFY(QTest::qWaitForWindowActive(b_->widget()));
}

void SearchBrowser::boxStandsAboveTheFieldGridLastInTabOrder()
{
    ui::TextBox &box = b_->Text1;
    QCOMPARE(box.Top(), b_->Combo1.Top());
    QCOMPARE(box.Left() + box.Width(), b_->DataGrid2.Left() + b_->DataGrid2.Width());
    QCOMPARE(b_->Label5.Caption(), QStringLiteral("全库搜索："));
    QCOMPARE(b_->Label5.Left(), box.Left());
    QVERIFY(b_->Label5.Top() + b_->Label5.Height() <= box.Top());
    QCOMPARE(searchBox()->placeholderText(), QStringLiteral("字段名、含义、表名或拼音首字母"));
    QCOMPARE(searchBox()->accessibleName(), QStringLiteral("全库搜索"));
    QVERIFY(!panel());  // nothing made, nothing read, until the first search

    // The designed order is unchanged: Combo2 was last, the box follows it.
    b_->Combo2.SetFocus();
    QTest::keyClick(b_->Combo2.comboBox(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), searchBox());
    // The structure's controls come after it.
    QTest::keyClick(searchBox(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), b_->Check1.widget());
}

void SearchBrowser::typeReadEnterShowsTheFieldRow()
{
    QTest::keyClick(b_->DataGrid1.tableView(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), searchBox());
    QTest::keyClicks(searchBox(), "CMEMO");
    QTRY_COMPARE(panel() && panel()->isVisible() ? panel()->statusText() : QString(), QStringLiteral("共找到1处"));
    QCOMPARE(panel()->view()->accessibleName(), QStringLiteral("搜索结果"));
    QCOMPARE(spokenStatus(), QStringLiteral("共找到1处"));
    const QAbstractItemModel *m = panel()->view()->model();
    QStringList row;
    for (int c = 0; c < 6; ++c)
        row << m->index(0, c).data().toString();
    QCOMPARE(row, (QStringList{"SA_SaleBillVouch", "销售发票主表", "销售管理", "cMemo", "备注", "nvarchar(255)"}));
    QVERIFY(panel()->geometry().intersects(b_->DataGrid2.widget()->geometry()));

    QTest::keyClick(searchBox(), Qt::Key_Return);
    QVERIFY(!panel()->isVisible());
    QCOMPARE(b_->Combo1.Text(), QStringLiteral("SA_SaleBillVouch"));
    QCOMPARE(b_->Label1.Caption(), QStringLiteral("SA_SaleBillVouch表字段说明:(此表共60个字段)"));
    QCOMPARE(highlightedRows(b_->DataGrid1), QList<int>{31});
    QCOMPARE(highlightedRows(b_->DataGrid2), QList<int>{59});
    QCOMPARE(QApplication::focusWidget(), b_->DataGrid2.tableView());
    QTest::qWait(50);
    QTableView *grid = b_->DataGrid2.tableView();
    QCOMPARE(grid->currentIndex().row(), 59);
    QVERIFY(grid->viewport()->rect().intersects(grid->visualRect(grid->model()->index(59, 0))));

    // Pinyin initials: "chbm" is 存货编码, in both tables; a table row has no field.
    QTest::keyClick(b_->DataGrid2.tableView(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(searchBox(), "chbm");  // replaces the selected text
    QTRY_VERIFY(panel()->isVisible());
    QCOMPARE(listed(), (QStringList{"SA_SaleBillVouch|cInvCode|存货编码", "IA_Summary|cInvCode|存货编码"}));
    QTest::keyClick(searchBox(), Qt::Key_Backspace);
    QTest::keyClick(searchBox(), Qt::Key_Backspace);
    QTest::keyClick(searchBox(), Qt::Key_Backspace);  // "c": many hits, table rows first
    QVERIFY(listed().size() > 60);
    searchBox()->clear();
    QTest::keyClicks(searchBox(), "zzzq");
    QCOMPARE(panel()->statusText(), QStringLiteral("没有找到"));
    QCOMPARE(spokenStatus(), QStringLiteral("没有找到"));
    QCOMPARE(listed(), QStringList());
    searchBox()->selectAll();
    QTest::keyClicks(searchBox(), "   ");  // spaces: no list, no message
    QVERIFY(!panel()->isVisible());
}

void SearchBrowser::hitOutsideTheModuleGoesBackToAllModules()
{
    pickFromList(b_->Combo2.comboBox(), 1);  // 总账
    QCOMPARE(b_->Label3.Caption(), QStringLiteral("【总账】模块共加载了31个表"));
    QTest::keyClick(b_->DataGrid1.tableView(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(searchBox(), "xsfp");
    QTRY_COMPARE(panel() && panel()->isVisible() ? listed() : QStringList(), QStringList{"SA_SaleBillVouch||"});
    panel()->view()->setFocus();
    QTest::keyClick(panel()->view(), Qt::Key_Return);
    QCOMPARE(b_->Combo2.ListIndex(), 0);
    QCOMPARE(b_->Label3.Caption(), QStringLiteral("【共加载33个表】"));
    QCOMPARE(b_->Label1.Caption(), QStringLiteral("SA_SaleBillVouch表字段说明:(此表共60个字段)"));
    QCOMPARE(highlightedRows(b_->DataGrid1), QList<int>{31});
    QCOMPARE(QApplication::focusWidget(), b_->DataGrid1.tableView());

    // A hit inside the module keeps the filter: 行号 of GL_accvouch, by double-click.
    pickFromList(b_->Combo2.comboBox(), 1);
    b_->Text1.SetFocus();
    searchBox()->selectAll();
    QTest::keyClicks(searchBox(), "xh");
    QTRY_COMPARE(listed(), QStringList{"GL_accvouch|iRowNo|行号"});
    QTableView *list = panel()->view();
    const QRect cell = list->visualRect(list->model()->index(0, 3));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(!panel()->isVisible());
    QCOMPARE(b_->Combo2.ListIndex(), 1);
    QCOMPARE(b_->Label1.Caption(), QStringLiteral("GL_accvouch表字段说明:(此表共3个字段)"));
    QCOMPARE(highlightedRows(b_->DataGrid2), QList<int>{2});
}

void SearchBrowser::keysWalkTheListAndEscGivesTheFocusBack()
{
    b_->DataGrid1.SetFocus();
    QTest::keyClick(b_->DataGrid1.tableView(), Qt::Key_F, Qt::ControlModifier);
    typeInto(searchBox(), QStringLiteral("编码"));
    QTRY_VERIFY(panel() && panel()->isVisible() && listed().size() == 4);
    QTableView *list = panel()->view();
    QCOMPARE(list->currentIndex().row(), 0);
    QTest::keyClick(searchBox(), Qt::Key_Down);
    QTest::keyClick(searchBox(), Qt::Key_Down);
    QTest::keyClick(searchBox(), Qt::Key_Up);
    QCOMPARE(list->currentIndex().row(), 1);
    QCOMPARE(QApplication::focusWidget(), searchBox());
    QTest::keyClick(searchBox(), Qt::Key_Escape);
    QVERIFY(!panel()->isVisible());
    QCOMPARE(QApplication::focusWidget(), b_->DataGrid1.tableView());
    QCOMPARE(b_->Label1.Caption(), QStringLiteral("GL_accvouch表字段说明:(此表共3个字段)"));  // nothing chosen

    // Back in the box, Down opens the list again; a click elsewhere closes it.
    QTest::keyClick(b_->DataGrid1.tableView(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(panel()->isVisible());
    b_->Combo1.SetFocus();
    QVERIFY(!panel()->isVisible());
    b_->Text1.SetFocus();
    QTest::keyClick(searchBox(), Qt::Key_Down);
    QVERIFY(panel()->isVisible());
}

QTEST_MAIN(SearchBrowser)
#include "tst_search_browser.moc"
