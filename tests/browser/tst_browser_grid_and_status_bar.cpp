// The data grid and the status bar on a window of their own: the current
// row and the current record kept together without looping, the
// highlighted-row list, column widths, a long list, a recordset that goes
// away, what a cell paints; the status bar's docking, panels and double-click.
#include "browser_driver.h"
#include "data/statements.h"
#include "test_folder.h"
#include "ui/grid_cell_painter.h"
#include "ui/twips.h"
#include <QHeaderView>
#include <QPainter>
#include <QTableView>
#include <QTest>

using namespace brtest;

namespace {

class GridWindow : public ui::Form {
public:
    GridWindow()
    {
        setClientSize(9000, 6000);
        Grid.Move(0, 0, 6000, 4500);
        StatusBar1.setHeight(345);
        StatusBar1.AddPanel("a", 3000, 2000);
        StatusBar1.AddPanel("b", 1500, 1500);
    }
    ui::StatusBar StatusBar1{*this};
    ui::DataGrid Grid{*this};
};

// Counts a recordset's moves; may react to each.
struct Sink : dd::RecordsetEvents {
    int moves = 0, ends = 0;
    std::function<void(dd::Recordset &)> onMove;
    void MoveComplete(int, const dd::Error *, int, dd::Recordset &rs) override
    {
        ++moves;
        if (onMove)
            onMove(rs);
    }
    void EndOfRecordset(bool &, int, dd::Recordset &) override { ++ends; }
};

}  // namespace

class BrowserGridAndStatusBar : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { endProgram(); }
    void currentRowAndRecordStayTogether();
    void highlightsAndWidths();
    void longListsAndVanishingRecordsets();
    void cellsShowOneLineOfTextClippedOnTheRowsColours();
    void keptCellsLookAsDrawnAfreshAfterChanges();
    void statusBar();

private:
    void open(dd::Recordset &rs, const QString &statement = dd::sql::allTablesQuery());
    void writeTables(int count);
    // Writes a catalog of these tables and connects to it.
    void useCatalog(const QString &name, const QVector<dictgen::TableRow> &tables);

    ddtest::DictionaryFolder folder_;
    std::unique_ptr<dd::Connection> cn_;
    GridWindow *window_ = nullptr;
};

void BrowserGridAndStatusBar::writeTables(int count)
{
    QVector<dictgen::TableRow> t;
    for (int i = 0; i < count; ++i)
        t << ddtest::table(QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')), "模块",
                           QStringLiteral("T%1").arg(i, 5, 10, QLatin1Char('0')), "中文", 0);
    useCatalog("grid", t);
}

void BrowserGridAndStatusBar::useCatalog(const QString &name, const QVector<dictgen::TableRow> &tables)
{
    cn_.reset();  // an open file cannot be replaced on Windows
    folder_.catalog(name, tables);
    folder_.accounts({});  // a folder is a dictionary only with its system catalog
    cn_ = std::make_unique<dd::Connection>();
    cn_->Open(dd::sql::accountYearConnectionString(name, folder_.path()), "sa", "");
}

void BrowserGridAndStatusBar::init()
{
    writeTables(30);
    window_ = new GridWindow;
    window_->Show();
    QVERIFY(QTest::qWaitForWindowExposed(window_->widget()));
}

void BrowserGridAndStatusBar::open(dd::Recordset &rs, const QString &statement)
{
    rs.CursorLocation = dd::sql::adUseClient;
    rs.Open(statement, *cn_, dd::sql::adOpenKeyset, dd::sql::adLockReadOnly);
}

void BrowserGridAndStatusBar::currentRowAndRecordStayTogether()
{
    ui::DataGrid &grid = window_->Grid;
    QCOMPARE(headers(grid), (QStringList{"", ""}));  // unbound: two placeholders
    dd::Recordset rs;
    open(rs);
    Sink sink;
    dd::EventHook hook(sink);
    hook = &rs;
    grid.setDataSource(&rs);
    QCOMPARE(headers(grid), (QStringList{"数据表", "中文表名", "所属模块"}));
    QCOMPARE(grid.RowCount(), 30);
    QCOMPARE(sink.moves, 0);  // binding is no move

    rs.Find(dd::sql::exactCriterion("T00025"));
    QCOMPARE(grid.tableView()->currentIndex().row(), 25);
    clickRow(grid, 26);  // one click, one move
    QCOMPARE(rs.AbsolutePosition(), 27);
    QCOMPARE(sink.moves, 2);
    clickRow(grid, 26);
    QCOMPARE(sink.moves, 2);

    // At EOF no row is current; entering the grid moves nothing.
    rs.Find(dd::sql::exactCriterion("none"));
    QVERIFY(!grid.tableView()->currentIndex().isValid());
    grid.tableView()->setFocus(Qt::TabFocusReason);
    QVERIFY(rs.EOF_());
    QCOMPARE(sink.moves, 3);

    // A handler that moves the record again: the grid ends on that row, no loop.
    sink.onMove = [](dd::Recordset &r) {
        if (r.currentRow() != 3)
            r.moveToRow(3);
    };
    clickRow(grid, 10);
    QCOMPARE(sink.moves, 5);
    QCOMPARE(grid.tableView()->currentIndex().row(), 3);
    QTest::keyClicks(grid.tableView(), "x");  // shown, never edited
    QVERIFY(!grid.tableView()->indexWidget(grid.tableView()->currentIndex()));
}

void BrowserGridAndStatusBar::highlightsAndWidths()
{
    ui::DataGrid &grid = window_->Grid;
    ui::SelBookmarkList &marks = grid.SelBookmarks();
    marks.Remove(0);  // harmless with no rows and no entries
    marks.Add(1);
    dd::Recordset rs;
    open(rs);
    grid.setDataSource(&rs);
    for (int position : {0, 31, dd::adPosEOF})
        marks.Add(position);
    QCOMPARE(marks.Count(), 0);
    marks.Add(5);
    marks.Add(30);
    QCOMPARE(highlightedRows(grid), (QList<int>{4, 29}));
    marks.Remove(0);
    marks.Remove(3);
    QCOMPARE(highlightedRows(grid), QList<int>{29});
    clickRow(grid, 7);  // moves the current row, not the highlight
    QCOMPARE(highlightedRows(grid), QList<int>{29});

    QVERIFY_THROWS_EXCEPTION(dd::Error, grid.Columns(3));
    grid.Columns(0).setWidth(1900);
    grid.Columns(2).setWidth(1300);
    QCOMPARE(grid.tableView()->horizontalHeader()->sectionSize(0), ui::twipsToPixels(1900));
    // Reopened: no highlight, the widths stay for the same columns...
    rs.Close();
    open(rs);
    QVERIFY(highlightedRows(grid).isEmpty());
    QCOMPARE(grid.Columns(0).Width(), 1900.0f);
    QCOMPARE(grid.Columns(2).Width(), 1300.0f);
    // ...and other columns get widths of their own.
    dd::Recordset fields;
    open(fields, dd::sql::fieldQuery("T00001"));
    grid.setDataSource(&fields);
    QCOMPARE(headers(grid), (QStringList{"字段名称", "字段含义", "字段类型"}));
    QVERIFY(grid.Columns(0).Width() != 1900.0f);
    grid.setDataSource(nullptr);
}

void BrowserGridAndStatusBar::longListsAndVanishingRecordsets()
{
    ui::DataGrid &grid = window_->Grid;
    writeTables(10000);
    {
        dd::Recordset rs;
        open(rs);
        grid.setDataSource(&rs);
        QTableView *view = grid.tableView();
        QCOMPARE(grid.RowCount(), 10000);
        QCOMPARE(view->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        QVERIFY(view->findChildren<QWidget *>().size() < 30);  // no widget per row
        rs.Find(dd::sql::exactCriterion("T09999"));
        QVERIFY(view->viewport()->rect().intersects(view->visualRect(view->currentIndex())));
        QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(rs.AbsolutePosition(), 1);
        cn_->Close();  // closes the recordset under the grid
        QCOMPARE(grid.RowCount(), 0);
    }
    // The recordset is gone: the grid is unbound, not dangling.
    QCOMPARE(grid.DataSource(), nullptr);
    QTest::mouseClick(grid.tableView()->viewport(), Qt::LeftButton);
    QCOMPARE(grid.ColumnCount(), 2);
}

void BrowserGridAndStatusBar::cellsShowOneLineOfTextClippedOnTheRowsColours()
{
    useCatalog("cells", {ddtest::table("01", "模块", "A", "中文", 0),
                           ddtest::table("02", "模块", "B", QString(80, QChar(0x957F)), 0),
                           ddtest::table("03", "模块", "C", "中文 第二行", 0),
                           ddtest::table("04", "模块", "D", "中文\n第二行", 0),
                           ddtest::table("05", "模块", "E", "中文", 0)});
    ui::DataGrid &grid = window_->Grid;
    dd::Recordset rs;
    open(rs);
    grid.setDataSource(&rs);
    grid.SelBookmarks().Add(5);
    QTableView *view = grid.tableView();
    const QImage image = view->viewport()->grab().toImage();
    auto cell = [&](int row, int column) {
        return image.copy(view->visualRect(view->model()->index(row, column)).adjusted(0, 0, -1, -1));
    };
    auto darkPixels = [](const QImage &part) {
        int dark = 0;
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x)
                dark += qGray(part.pixel(x, y)) < 128 ? 1 : 0;
        return dark;
    };

    QVERIFY(darkPixels(cell(0, 0)) > 5);              // the text is drawn
    QCOMPARE(cell(1, 2), cell(0, 2));                  // a long text stops at its cell's edge
    QCOMPARE(cell(3, 1), cell(2, 1));                  // a line break reads as a space
    QVERIFY(darkPixels(cell(1, 1)) > darkPixels(cell(0, 1)));
    const QColor highlight = view->palette().color(QPalette::Active, QPalette::Highlight);
    const QImage marked = cell(4, 1);
    QCOMPARE(marked.pixelColor(1, 1), highlight);      // the highlighted row's colours
    int lightPixels = 0;  // the text, in the highlighted text's colour
    for (int y = 0; y < marked.height(); ++y)
        for (int x = 0; x < marked.width(); ++x)
            lightPixels += qGray(marked.pixel(x, y)) > 200 ? 1 : 0;
    QVERIFY(lightPixels > 5);
}

// Repainted cells draw the texts from layouts kept from earlier paints;
// they must look as a painter that has kept nothing draws them, also after
// the font, the column widths or the highlighted rows changed.
void BrowserGridAndStatusBar::keptCellsLookAsDrawnAfreshAfterChanges()
{
    useCatalog("cells", {ddtest::table("01", "总账", "GL_accvouch", "凭证及明细账", 0),
                           ddtest::table("02", "总账", "GL_accsum", "科目总账", 0),
                           ddtest::table("03", "应收", "AR_jpgy", "Typography: fj Äq", 0),
                           ddtest::table("04", "应收", "GL_accvouch", "凭证及明细账", 0)});
    ui::DataGrid &grid = window_->Grid;
    dd::Recordset rs;
    open(rs);
    grid.setDataSource(&rs);
    QTableView *view = grid.tableView();
    QWidget *cells = view->viewport();
    auto kept = [&] {
        cells->grab();  // the first paint keeps the texts
        return cells->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    };
    auto afresh = [&] {  // a painter that has kept nothing yet
        QAbstractItemDelegate *painter = view->itemDelegate();
        auto *fresh = new ui::GridCellPainter(view);
        view->setItemDelegate(fresh);
        const QImage image = cells->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        view->setItemDelegate(painter);
        delete fresh;
        return image;
    };
    auto sameLook = [](const QImage &a, const QImage &b) {
        if (a.size() != b.size())
            return false;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                if (std::abs(qRed(p) - qRed(q)) > 2 || std::abs(qGreen(p) - qGreen(q)) > 2
                    || std::abs(qBlue(p) - qBlue(q)) > 2)
                    return false;
            }
        return true;
    };
    QVERIFY(sameLook(kept(), afresh()));

    grid.SelBookmarks().Add(4);  // other colours for the same texts
    QVERIFY(sameLook(kept(), afresh()));
    view->horizontalHeader()->resizeSection(1, 30);  // no longer fits
    QVERIFY(sameLook(kept(), afresh()));
    view->horizontalHeader()->resizeSection(1, 200);
    QFont font = view->font();  // the same height, other strokes
    font.setBold(!font.bold());
    font.setItalic(true);
    grid.setFont(font);
    QVERIFY(sameLook(kept(), afresh()));
    font.setPointSizeF(font.pointSizeF() + 3);
    grid.setFont(font);
    QVERIFY(sameLook(kept(), afresh()));
    grid.setDataSource(nullptr);
}

void BrowserGridAndStatusBar::statusBar()
{
    ui::StatusBar &bar = window_->StatusBar1;
    QCOMPARE(bar.widget()->geometry(), ui::twipsRect(0, 6000 - 345, 9000, 345));
    window_->setClientSize(12000, 7500);
    QCOMPARE(bar.widget()->geometry(), ui::twipsRect(0, 7500 - 345, 12000, 345));
    bar.setTop(100);  // stays docked
    QCOMPARE(bar.Top(), 7500.0f - 345);

    QVERIFY_THROWS_EXCEPTION(dd::Error, bar.Panels(0));
    QVERIFY_THROWS_EXCEPTION(dd::Error, bar.Panels(3));
    bar.Panels("a").setWidth(1000);  // never below its minimum
    QCOMPARE(bar.Panels(1).Width(), 2000.0f);

    QList<int> clicked;
    bar.onPanelDblClick = [&](ui::Panel &p) { clicked << p.Index(); };
    doubleClickPanel(bar, 2);
    QTest::mouseDClick(bar.widget(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseDClick(bar.widget(), Qt::LeftButton, {}, QPoint(bar.widget()->width() - 2, 10));
    QTest::mouseClick(bar.widget(), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicked, (QList<int>{2, 1, 2}));
}

QTEST_MAIN(BrowserGridAndStatusBar)
#include "tst_browser_grid_and_status_bar.moc"
