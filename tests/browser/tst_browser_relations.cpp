// The tables a table joins with, through the browser's widgets: the check
// box at the end of the band, the list under the field grid, Enter on a
// row, the split undone, and "复制关联查询" on the clipboard. With the box
// never turned on, nothing is read beyond what the browser reads today.
#include "browser_driver.h"
#include "browser/relations_list.h"
#include "erp_sample.h"
#include "test_folder.h"
#include "ui/recordset_table_model.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QClipboard>
#include <QMenu>
#include <QTableView>
#include <QTest>

using namespace brtest;

namespace {

const QString Catalog = QStringLiteral("svdata_001_2011");

browser::RelationsList *list()
{
    return ::Form2->widget()->findChild<browser::RelationsList *>();
}

// The list's rows, their cells joined by "|".
QStringList listed()
{
    QStringList out;
    const QAbstractItemModel *m = list()->view()->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c)
            cells << m->index(r, c).data().toString();
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

int rowOf(ui::DataGrid &grid, const QString &name)
{
    return column(grid, 0).indexOf(name);
}

QPoint rowCentre(ui::DataGrid &grid, int row)
{
    return grid.tableView()->visualRect(grid.model()->index(row, 0)).center();
}

}  // namespace

class BrowserRelations : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { endProgram(); }
    void listFollowsTheTableAndEnterGoesThere();
    void copiesTheJoinOfChosenTables();
    void theDatabaseKeysCountOnceRead();

private:
    browser::Form2 *b_ = nullptr;
    std::unique_ptr<ddtest::DictionaryFolder> folder_;
};

void BrowserRelations::init()
{
    folder_ = std::make_unique<ddtest::DictionaryFolder>();
    folder_->accounts({{"001", "Main", {2011}}});
    folder_->catalog(Catalog, dictgen::erpSampleTables());
    b_ = openBrowser(folder_->path());
    QVERIFY(b_);
    QVERIFY(QTest::qWaitForWindowActive(b_->widget()));
}

void BrowserRelations::listFollowsTheTableAndEnterGoesThere()
{
    ui::CheckBox &box = b_->Check3;
    QCOMPARE(box.Caption(), QStringLiteral("显示关联表"));
    QCOMPARE(box.checkBox()->accessibleName(), QStringLiteral("显示关联表"));
    QCOMPARE(box.Left() + box.Width(), b_->DataGrid2.Left() + b_->DataGrid2.Width());
    QVERIFY(box.Top() + box.Height() <= b_->Label1.Top());
    QVERIFY(!box.Value());
    QVERIFY(!list());
    // Last in the tab order: the table-name box follows it.
    box.SetFocus();
    QTest::keyClick(box.checkBox(), Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() == static_cast<QWidget *>(b_->Combo1.comboBox())
            || QApplication::focusWidget() == b_->Combo1.comboBox()->lineEdit());
    const float fullHeight = b_->DataGrid2.Height();

    clickRow(b_->DataGrid1, rowOf(b_->DataGrid1, QStringLiteral("SO_OrderDetail")));
    QTest::mouseClick(box.checkBox(), Qt::LeftButton, {}, QPoint(8, box.checkBox()->height() / 2));
    QVERIFY(box.Value());
    QVERIFY(list() && list()->isVisible());
    QCOMPARE(list()->view()->accessibleName(), QStringLiteral("关联表"));
    QTRY_VERIFY(list()->model()->rowCount() > 0);
    QCOMPARE(listed(), (QStringList{"引用|SO_Order|销售订单主表|ID|ID|同名键+含义相同+主子表|高",
                                    "引用|BD_Inventory|存货档案|cInvCode|cInvCode|同名键+含义相同|高"}));
    // The grid above, the list below, both in the grid's own area.
    QVERIFY(b_->DataGrid2.Height() < fullHeight);
    const QRect grid = b_->DataGrid2.widget()->geometry();
    QVERIFY(list()->geometry().top() > grid.bottom());
    QCOMPARE(list()->geometry().left(), grid.left());
    QVERIFY(list()->geometry().bottom() <= b_->DataGrid1.widget()->geometry().bottom() + 1);
    QStringList headers;
    for (int c = 0; c < list()->view()->model()->columnCount(); ++c)
        headers << list()->view()->model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, (QStringList{"关系", "数据表", "中文表名", "本表字段", "对方字段", "依据", "可信度"}));

    // Enter on the second row: the master's table, its key's row chosen.
    list()->view()->setFocus();
    QTest::keyClick(list()->view(), Qt::Key_Down);
    QTest::keyClick(list()->view(), Qt::Key_Return);
    QCOMPARE(b_->Combo1.Text(), QStringLiteral("BD_Inventory"));
    QCOMPARE(b_->Label1.Caption(), QStringLiteral("BD_Inventory表字段说明:(此表共8个字段)"));
    QCOMPARE(highlightedRows(b_->DataGrid2), QList<int>{0});
    QTRY_VERIFY(listed().contains("被引用|SO_OrderDetail|销售订单子表|cInvCode|cInvCode|同名键+含义相同|高"));
    QVERIFY(listed().contains("引用|BD_Warehouse|仓库档案|cDefWhCode|cWhCode|含义相同|高"));

    // A click on another table's row: the list follows.
    clickRow(b_->DataGrid1, rowOf(b_->DataGrid1, QStringLiteral("WH_Barcode")));
    QTRY_COMPARE(listed(), QStringList{"引用|BD_Inventory|存货档案|cInvCode|cInvCode|同名键+含义相同|高"});

    // Off: the list goes and the field grid has its whole height again.
    QTest::mouseClick(box.checkBox(), Qt::LeftButton, {}, QPoint(8, box.checkBox()->height() / 2));
    QVERIFY(!list()->isVisible());
    QCOMPARE(b_->DataGrid2.Height(), fullHeight);
}

void BrowserRelations::copiesTheJoinOfChosenTables()
{
    // Never turned on: nothing made, nothing read.
    const long before = dd::Connection::statementsRun();
    clickRow(b_->DataGrid1, rowOf(b_->DataGrid1, QStringLiteral("BD_Customer")));
    const long afterClick = dd::Connection::statementsRun();
    QCOMPARE(afterClick - before, 1L);   // the field query alone
    QTableView *tables = b_->DataGrid1.tableView();
    QTest::mouseClick(tables->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      rowCentre(b_->DataGrid1, rowOf(b_->DataGrid1, QStringLiteral("BD_Inventory"))));
    QGuiApplication::clipboard()->clear();
    const std::unique_ptr<QMenu> menu = b_->gridMenu(b_->DataGrid1);
    QAction *join = nullptr;
    for (QAction *a : menu->actions())
        if (a->text() == QStringLiteral("复制关联查询"))
            join = a;
    QVERIFY(join && join->isEnabled());
    join->trigger();
    QTRY_VERIFY(!QGuiApplication::clipboard()->text().isEmpty());
    const QString sql = QGuiApplication::clipboard()->text();
    // In the grid's order: the master file of goods first, then its customers'.
    QVERIFY2(sql.startsWith("select a.cInvCode, -- 存货编码\n"), qPrintable(sql));
    QVERIFY2(sql.contains("from BD_Inventory a -- BD_Inventory（存货档案）\n"), qPrintable(sql));
    QVERIFY2(sql.contains("left join BD_Customer d on d.cCusCode = c.cCusCode -- BD_Customer（客户档案）；同名键+含义相同，高"),
             qPrintable(sql));
    QVERIFY2(sql.contains("       d.cCusName, -- 客户名称\n"), qPrintable(sql));
    QVERIFY(!sql.contains("没有找到"));
    QVERIFY(!QApplication::overrideCursor());
}

// Once "显示实际结构" has read the database, the links are built again on
// its keys: a declared foreign key shows as 外键.
void BrowserRelations::theDatabaseKeysCountOnceRead()
{
    folder_->execute(Catalog, "CREATE TABLE BD_Inventory (cInvCode nvarchar(20) PRIMARY KEY, cInvName nvarchar(120))");
    folder_->execute(Catalog, "CREATE TABLE SO_OrderDetail (AutoID int PRIMARY KEY, ID int, "
                              "cInvCode nvarchar(20) REFERENCES BD_Inventory (cInvCode))");
    clickRow(b_->DataGrid1, rowOf(b_->DataGrid1, QStringLiteral("SO_OrderDetail")));
    QCheckBox *relations = b_->Check3.checkBox();
    QTest::mouseClick(relations, Qt::LeftButton, {}, QPoint(8, relations->height() / 2));
    QTRY_VERIFY(list()->model()->rowCount() == 2);
    QVERIFY(!listed().join(' ').contains("外键"));
    QCheckBox *structure = b_->Check1.checkBox();
    QTest::mouseClick(structure, Qt::LeftButton, {}, QPoint(8, structure->height() / 2));
    QTRY_VERIFY_WITH_TIMEOUT(listed().contains("引用|BD_Inventory|存货档案|cInvCode|cInvCode|外键+同名键+含义相同|高"), 10000);
}

QTEST_MAIN(BrowserRelations)
#include "tst_browser_relations.moc"
