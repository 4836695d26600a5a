// The database's own structure in the browser, through the real widgets:
// "显示实际结构" and "隐藏空表" on and off, the list "核对结果" and Enter on
// its rows, and nothing read or sent while the boxes stay off.
#include "browser/findings_panel.h"
#include "browser_driver.h"
#include "data/connection.h"
#include "test_folder.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace brtest;

namespace {

const QString Catalog = QStringLiteral("svdata_001_2011");

long statements(const std::function<void()> &action)
{
    const long before = dd::Connection::statementsRun();
    action();
    return dd::Connection::statementsRun() - before;
}

browser::FindingsPanel *findings()
{
    return ::Form2->widget()->findChild<browser::FindingsPanel *>();
}

// Row `row` of a grid as "a|b|c".
QString rowOf(ui::DataGrid &grid, int row)
{
    return grid.rowTexts(row).join('|');
}

}  // namespace

class BrowserPhysical : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { endProgram(); }
    void offIsTheDesignAndReadsNothing();
    void bothBoxesAndTheFindingsList();
    void aFailedReadIsToldAndTriedAgain();
    void theExportTakesTheListAsShown_data();
    void theExportTakesTheListAsShown();

private:
    void tick(ui::CheckBox &box);
    browser::Form2 *b_ = nullptr;
    std::unique_ptr<ddtest::DictionaryFolder> folder_;
};

// GL_a: 2 rows, F2 documented as int but decimal, F3 missing, cExtra not
// documented; GL_b: empty; AR_x: missing; ZZ_log: not in the dictionary.
void BrowserPhysical::init()
{
    folder_ = std::make_unique<ddtest::DictionaryFolder>();
    folder_->accounts({{"001", "Main", {2011}}});
    folder_->catalog(Catalog, {{"01", "总账", "GL_a", "甲表",
                                {{"F1", "编码", "nvarchar(20)"}, {"F2", "金额", "int"}, {"F3", "备注", "nvarchar(60)"}}},
                               {"01", "总账", "GL_b", "乙表", {{"iID", "编号", "int"}}},
                               {"02", "应收", "AR_x", "丙表", {{"cCode", "编码", "nvarchar(20)"}}}});
    folder_->execute(Catalog, "create table GL_a (F1 nvarchar(20) not null primary key, F2 decimal(18,4), cExtra int)");
    folder_->execute(Catalog, "insert into GL_a values ('a', 1, null)");
    folder_->execute(Catalog, "insert into GL_a values ('b', 2, 3)");
    folder_->execute(Catalog, "create table GL_b (iID int)");
    folder_->execute(Catalog, "create table ZZ_log (id int)");
    b_ = openBrowser(folder_->path());
    QVERIFY(b_);
    QVERIFY(QTest::qWaitForWindowActive(b_->widget()));
}

void BrowserPhysical::tick(ui::CheckBox &box)
{
    QTest::mouseClick(box.checkBox(), Qt::LeftButton, {}, QPoint(6, box.checkBox()->height() / 2));
}

void BrowserPhysical::offIsTheDesignAndReadsNothing()
{
    // In the band above the field grid, after the search box in Tab order, all off.
    QCOMPARE(b_->Check1.checkBox()->accessibleName(), QStringLiteral("显示实际结构"));
    QCOMPARE(b_->Check2.Caption(), QStringLiteral("隐藏空表"));
    QCOMPARE(b_->Command1.Caption(), QStringLiteral("结构核对…"));
    QVERIFY(!b_->Check1.Value() && !b_->Check2.Value());
    QVERIFY(b_->Check1.Left() >= b_->DataGrid2.Left());
    QVERIFY(b_->Check1.Left() + b_->Check1.Width() <= b_->Check2.Left());
    QVERIFY(b_->Check2.Left() + b_->Check2.Width() <= b_->Command1.Left());
    QVERIFY(b_->Command1.Top() + b_->Command1.Height() <= b_->Text1.Top());
    b_->Text1.SetFocus();
    for (ui::Control *next : std::initializer_list<ui::Control *>{&b_->Check1, &b_->Check2, &b_->Command1}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next->widget());
    }

    QCOMPARE(headers(b_->DataGrid1), (QStringList{"数据表", "中文表名", "所属模块"}));
    QCOMPARE(headers(b_->DataGrid2), (QStringList{"字段名称", "字段含义", "字段类型"}));
    // A click costs its field query, and nothing else is read meanwhile.
    QCOMPARE(statements([this] { clickRow(b_->DataGrid1, 1); QTest::qWait(100); }), 1L);
    QCOMPARE(b_->Label1.Caption(), QStringLiteral("GL_b表字段说明:(此表共1个字段)"));
    QVERIFY(!b_->widget()->findChild<QObject *>("structureProgress"));

    // On and off again: the design as it was, the same single query per click.
    tick(b_->Check1);
    QTRY_COMPARE(headers(b_->DataGrid1).size(), 4);
    tick(b_->Check1);
    QCOMPARE(headers(b_->DataGrid1), (QStringList{"数据表", "中文表名", "所属模块"}));
    QCOMPARE(headers(b_->DataGrid2), (QStringList{"字段名称", "字段含义", "字段类型"}));
    QCOMPARE(statements([this] { clickRow(b_->DataGrid1, 0); }), 1L);
    QCOMPARE(b_->DataGrid2.RowCount(), 3);
    QCOMPARE(b_->DataGrid1.Columns(0).Width(), 1900.0f);
}

void BrowserPhysical::bothBoxesAndTheFindingsList()
{
    ui::ScopedMsgBoxHandler boxes;
    tick(b_->Check1);
    QTRY_COMPARE(headers(b_->DataGrid1), (QStringList{"数据表", "中文表名", "所属模块", "约行数"}));
    QCOMPARE(column(b_->DataGrid1, 3), (QStringList{"2", "0", ""}));
    QCOMPARE(headers(b_->DataGrid2),
             (QStringList{"字段名称", "字段含义", "字段类型", "实际类型", "允许空", "键", "核对"}));
    QCOMPARE(rowOf(b_->DataGrid2, 0), QStringLiteral("F1|编码|nvarchar(20)|nvarchar(20)|否|主键|"));
    QCOMPARE(rowOf(b_->DataGrid2, 1), QStringLiteral("F2|金额|int|decimal(18,4)|是||类型不一致"));
    QCOMPARE(rowOf(b_->DataGrid2, 2), QStringLiteral("F3|备注|nvarchar(60)||||数据库中没有此字段"));
    QCOMPARE(rowOf(b_->DataGrid2, 3), QStringLiteral("cExtra|||int|是||字典中没有此字段"));
    QCOMPARE(b_->Label1.Caption(), QStringLiteral("GL_a表字段说明:(此表共3个字段)"));
    // The undocumented row is no record: clicking it moves and sends nothing.
    QCOMPARE(statements([this] { clickRow(b_->DataGrid2, 3); }), 0L);
    QCOMPARE(b_->rsField.AbsolutePosition(), 1);
    // Another table: its own facts, still one field query.
    QCOMPARE(statements([this] { clickRow(b_->DataGrid1, 2); }), 1L);
    QCOMPARE(b_->DataGrid2.RowCount(), 1);
    QCOMPARE(rowOf(b_->DataGrid2, 0), QStringLiteral("cCode|编码|nvarchar(20)||||数据库中没有此表"));

    // Empty and missing tables hidden, in the list, the name box and the count.
    tick(b_->Check2);
    QVERIFY(b_->Check2.Value());
    QCOMPARE(column(b_->DataGrid1, 0), QStringList{"GL_a"});
    QCOMPARE(entries(b_->Combo1), QStringList{"GL_a"});
    QCOMPARE(b_->Label3.Caption(), QStringLiteral("【共加载1个表】"));
    QCOMPARE(b_->Label1.Caption(), QStringLiteral("GL_a表字段说明:(此表共3个字段)"));
    pickFromList(b_->Combo2.comboBox(), 2);   // 应收: nothing listed
    QCOMPARE(b_->Label3.Caption(), QStringLiteral("【应收】模块共加载了0个表"));
    pickFromList(b_->Combo2.comboBox(), 0);
    QCOMPARE(b_->DataGrid1.Columns(0).Width(), 1900.0f);   // the designed widths survive reloads
    QCOMPARE(boxes.calls().size(), 0);

    // The findings, errors first; Enter on a table the box hides turns it off.
    QTest::mouseClick(b_->Command1.button(), Qt::LeftButton);
    QTRY_VERIFY(findings() && findings()->isVisible());
    QCOMPARE(findings()->summary(), QStringLiteral("共5处：错误2处，警告2处，提示1处"));
    const auto *summary = findings()->findChild<QLabel *>();
    QCOMPARE(summary->accessibleName(), findings()->summary());
    QTableView *list = findings()->view();
    QCOMPARE(list->accessibleName(), QStringLiteral("核对结果"));
    QCOMPARE(QApplication::focusWidget(), list);
    QStringList rows;
    for (int r = 0; r < list->model()->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 7; ++c)
            cells << list->model()->index(r, c).data().toString();
        rows << cells.join('|');
    }
    QCOMPARE(rows, (QStringList{"错误|GL_a|甲表|F3|数据库中没有此字段|nvarchar(60)|",
                                "错误|AR_x|丙表||数据库中没有此表||",
                                "警告|GL_a|甲表|F2|类型不一致|int|decimal(18,4)",
                                "警告|GL_a|甲表|cExtra|字典中没有此字段||int",
                                "提示|ZZ_log|||字典中没有此表||"}));
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!findings()->isVisible());
    QVERIFY(!b_->Check2.Value());
    QCOMPARE(b_->Label3.Caption(), QStringLiteral("【共加载3个表】"));
    QCOMPARE(b_->Combo1.Text(), QStringLiteral("AR_x"));
    QCOMPARE(QApplication::focusWidget(), b_->DataGrid1.tableView());

    // Enter on a field: its row; on an undocumented column: the row after the documented ones.
    QTest::mouseClick(b_->Command1.button(), Qt::LeftButton);
    QTRY_VERIFY(findings()->isVisible());
    list->setCurrentIndex(list->model()->index(2, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(b_->Combo1.Text(), QStringLiteral("GL_a"));
    QCOMPARE(highlightedRows(b_->DataGrid2), QList<int>{1});
    QTest::mouseClick(b_->Command1.button(), Qt::LeftButton);
    list->setCurrentIndex(list->model()->index(3, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(highlightedRows(b_->DataGrid2), QList<int>{3});
    QCOMPARE(QApplication::focusWidget(), b_->DataGrid2.tableView());
    QCOMPARE(boxes.calls().size(), 0);
}

void BrowserPhysical::aFailedReadIsToldAndTriedAgain()
{
    breakCatalog(folder_->path(), Catalog);
    ui::ScopedMsgBoxHandler boxes;
    tick(b_->Check1);
    QTRY_COMPARE(boxes.calls().size(), 1);
    QVERIFY2(boxes.calls()[0].prompt.startsWith(QStringLiteral("实际结构读取失败：")),
             qPrintable(boxes.calls()[0].prompt));
    QCOMPARE(boxes.calls()[0].title, QStringLiteral("提示"));
    QVERIFY(!b_->Check1.Value());
    QCOMPARE(headers(b_->DataGrid1).size(), 3);
    // The next use reads again (and fails again), the browser still at work.
    tick(b_->Check2);
    QTRY_COMPARE(boxes.calls().size(), 2);
    QVERIFY(!b_->Check2.Value());
    QCOMPARE(b_->Label3.Caption(), QStringLiteral("【共加载3个表】"));
}

// "含实际结构" in the export dialog adds the facts; "当前列表" is the list
// as shown, without the tables "隐藏空表" hides.
void BrowserPhysical::theExportTakesTheListAsShown_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<bool>("physical");
    QTest::addColumn<bool>("hideEmpty");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("当前表, 含实际结构")
        << 0 << true << false
        << QStringList{"数据表,中文表名,所属模块,序号,字段名称,字段含义,字段类型,实际类型,允许空,键,核对",
                       "GL_a,甲表,总账,1,F1,编码,nvarchar(20),nvarchar(20),否,主键,",
                       "GL_a,甲表,总账,2,F2,金额,int,\"decimal(18,4)\",是,,类型不一致",
                       "GL_a,甲表,总账,3,F3,备注,nvarchar(60),,,,数据库中没有此字段"};
    QTest::newRow("当前列表, 隐藏空表")
        << 1 << false << true
        << QStringList{"数据表,中文表名,所属模块,序号,字段名称,字段含义,字段类型",
                       "GL_a,甲表,总账,1,F1,编码,nvarchar(20)", "GL_a,甲表,总账,2,F2,金额,int",
                       "GL_a,甲表,总账,3,F3,备注,nvarchar(60)"};
}

void BrowserPhysical::theExportTakesTheListAsShown()
{
    QFETCH(int, scope);
    QFETCH(bool, physical);
    QFETCH(bool, hideEmpty);
    QFETCH(QStringList, lines);
    if (hideEmpty) {
        tick(b_->Check2);
        QTRY_COMPARE(b_->Label3.Caption(), QStringLiteral("【共加载1个表】"));
    }
    QTemporaryDir dir;
    const QString target = dir.filePath("export.csv");
    ui::ScopedMsgBoxHandler boxes;
    QVERIFY(exportThroughDialog(*b_, scope, target, [&](QFileDialog &d) {
        QCheckBox *facts = d.findChild<QCheckBox *>("exportPhysical");
        QVERIFY(facts && !facts->isChecked());
        facts->setChecked(physical);
    }));
    QTRY_COMPARE_WITH_TIMEOUT(boxes.calls().size(), 1, 10000);
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readAll()).remove(QChar(0xFEFF)).split("\r\n", Qt::SkipEmptyParts), lines);
}

QTEST_MAIN(BrowserPhysical)
#include "tst_browser_physical.moc"
