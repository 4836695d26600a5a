// The browser's start-up through the login window: what it shows, where
// its controls end up, how the grids follow the window's height, what a
// load that cannot finish leaves behind, and the end of the program.
#include "browser_driver.h"
#include "data/public_ado.h"
#include "data/statements.h"
#include "test_folder.h"
#include "ui/twips.h"
#include "wait/form3.h"
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QFontMetrics>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>

using namespace brtest;

namespace {
const QString Catalog = QStringLiteral("svdata_001_2011");
}

class BrowserStartup : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { endProgram(); }
    void startUpShowsEveryTableAndLaysOut();
    void tabOrderAndFonts();
    void emptyAndNamelessEntries();
    void failedLoadReturnsToTheLoginWindow_data();
    void failedLoadReturnsToTheLoginWindow();
    void closingTheBrowserEndsTheProgram();

private:
    std::unique_ptr<ddtest::DictionaryFolder> folder_;
    QVector<dictgen::TableRow> tables_;
};

void BrowserStartup::init()
{
    folder_ = std::make_unique<ddtest::DictionaryFolder>();
    folder_->accounts({{"001", "Main", {2011, 2010}}, {"002", "Branch", {2012}}});
    // 523 tables written out of systemid order; 总账 under two ids.
    const QStringList modules{"总账", "应收", "存货", "总账", "采购"};
    tables_.clear();
    for (int i = 0; i < 523; ++i)
        tables_ << ddtest::table(QStringLiteral("0%1").arg(i * 7 % 5), modules[i * 7 % 5],
                                 QStringLiteral("T%1").arg(523 - i), QStringLiteral("表%1").arg(i),
                                 i == 0 ? 25 : 3);
    folder_->catalog(Catalog, tables_);
}

void BrowserStartup::startUpShowsEveryTableAndLaysOut()
{
    const auto files = folder_->fingerprint();
    const long statements = dd::Connection::statementsRun();
    browser::Form2 *b = openBrowser(folder_->path());
    QVERIFY(b && b->Visible() && !::Form3.isLoaded() && !::Form1->Visible());
    // Account and year queries; the table query for the load and again for
    // its "全部模块", the module query, one field query.
    QCOMPARE(dd::Connection::statementsRun() - statements, 2L + 4L);

    QCOMPARE(b->Label3.Caption(), QStringLiteral("【共加载523个表】"));
    QVector<dictgen::TableRow> ordered = tables_;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto &x, const auto &y) { return x.systemid < y.systemid; });
    QStringList names;
    for (const auto &t : ordered)
        names << t.name;
    QCOMPARE(entries(b->Combo1), names);
    QCOMPARE(column(b->DataGrid1, 0), names);
    QCOMPARE(headers(b->DataGrid1), (QStringList{"数据表", "中文表名", "所属模块"}));
    QCOMPARE(b->DataGrid1.Columns(0).Width(), 1900.0f);
    QCOMPARE(b->DataGrid1.Columns(1).Width(), 1900.0f);
    QCOMPARE(b->DataGrid1.Columns(2).Width(), 1300.0f);

    // Modules as the server lists them: not sorted, a name under two ids twice.
    dd::Connection cn;
    cn.Open(dd::sql::accountYearConnectionString(Catalog, folder_->path()), "sa", "pw");
    QStringList modules{"全部模块"};
    for (dd::Recordset rs = cn.Execute(dd::sql::moduleQuery()); !rs.EOF_(); rs.MoveNext())
        modules << rs.Fields(1).Value().toString();
    QCOMPARE(modules.count("总账"), 2);
    QCOMPARE(entries(b->Combo2), modules);

    // The first table current, highlighted, its fields shown.
    QCOMPARE(b->Combo1.Text(), names[0]);
    QCOMPARE(highlightedRows(b->DataGrid1), QList<int>{0});
    QCOMPARE(headers(b->DataGrid2), (QStringList{"字段名称", "字段含义", "字段类型"}));
    QCOMPARE(b->DataGrid2.RowCount(), ordered[0].fields.size());
    QCOMPARE(b->Label1.Caption(),
             QStringLiteral("%1表字段说明:(此表共%2个字段)").arg(names[0]).arg(ordered[0].fields.size()));

    // Layout around the table-name box (120, 480, 300 high).
    const float at[][2] = {{b->DataGrid1.Top(), 1080}, {b->DataGrid1.Left(), 120}, {b->DataGrid2.Top(), 1080},
                           {b->Label1.Top(), 810},     {b->Label1.Left(), 6240},  {b->Label3.Top(), 810},
                           {b->Label3.Left(), 120},    {b->Combo2.Top(), 710},    {b->Combo2.Left(), 4200},
                           {b->Label2.Top(), 210},     {b->Label2.Left(), 120},   {b->Label4.Top(), 440},
                           {b->Label4.Left(), 4200},   {b->DataGrid1.Height(), 6345},
                           {b->DataGrid2.Height(), 6345}};
    for (const auto &pair : at)
        QCOMPARE(pair[0], pair[1]);

    // A taller window, then one too low for the grids (and minimized).
    b->setClientSize(13575, 8115 + 1500);
    QCOMPARE(b->DataGrid1.Height(), 6345.0f + 1500);
    QCOMPARE(b->DataGrid2.Height(), 6345.0f + 1500);
    QCOMPARE(b->StatusBar1.Top(), 8115.0f + 1500 - 345);
    b->setClientSize(13575, 1500);
    b->widget()->showMinimized();
    settle();
    QCOMPARE(b->DataGrid1.Height(), 6345.0f + 1500);
    QCOMPARE(b->DataGrid2.Height(), 6345.0f + 1500);
    QCOMPARE(folder_->fingerprint(), files);
}

void BrowserStartup::tabOrderAndFonts()
{
    browser::Form2 *b = openBrowser(folder_->path());
    QVERIFY(b && QTest::qWaitForWindowActive(b->widget()));
    b->Combo1.SetFocus();
    for (QWidget *next : {static_cast<QWidget *>(b->DataGrid1.tableView()),
                          static_cast<QWidget *>(b->DataGrid2.tableView()),
                          static_cast<QWidget *>(b->Combo2.comboBox())}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    QCOMPARE(b->rsTable.AbsolutePosition(), 1);  // entering a grid moves no record
    // The design's Chinese fonts pick a face that draws Chinese.
    const QString chinese = QStringLiteral("数据表字段说明当前账套");
    for (const QFont &font : {b->DataGrid1.HeadFont(), b->DataGrid2.Font(), b->Label1.Font()})
        for (QChar c : chinese)
            QVERIFY(QFontMetrics(font).inFont(c));
}

void BrowserStartup::emptyAndNamelessEntries()
{
    folder_->catalog(Catalog, {});
    ui::ScopedMsgBoxHandler boxes;
    browser::Form2 *b = openBrowser(folder_->path());
    QVERIFY(b && b->Visible());
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【共加载0个表】"));
    QCOMPARE(b->Combo1.ListCount(), 0);
    QCOMPARE(entries(b->Combo2), QStringList{"全部模块"});
    QCOMPARE(b->Label1.Caption(), QString());
    endProgram();

    // NULL names read as empty text; the entries stay in step with the records.
    folder_->catalog(Catalog, {ddtest::table("01", QString(), QString(), "无名", 0),
                               ddtest::table("02", "总账", "GL_a", "甲", 2),
                               ddtest::table("03", "总账", QString(), "无名", 0),
                               ddtest::table("04", "应收", "AR_x", "乙", 4)});
    b = openBrowser(folder_->path());
    QVERIFY(b);
    QCOMPARE(entries(b->Combo1), (QStringList{"", "GL_a", "", "AR_x"}));
    QVERIFY(entries(b->Combo2).contains(QString()));
    QCOMPARE(highlightedRows(b->DataGrid1), QList<int>{0});
    QCOMPARE(b->Label1.Caption(), QStringLiteral("表字段说明:(此表共0个字段)"));
    pickFromList(b->Combo1.comboBox(), 3);
    QCOMPARE(b->rsTable.AbsolutePosition(), 4);
    QCOMPARE(b->Label1.Caption(), QStringLiteral("AR_x表字段说明:(此表共4个字段)"));
    QVERIFY(boxes.calls().isEmpty());
}

void BrowserStartup::failedLoadReturnsToTheLoginWindow_data()
{
    QTest::addColumn<bool>("catalogWithoutDictionary");
    QTest::addColumn<QString>("cause");
    QTest::newRow("database missing") << false << QStringLiteral("svdata_001_2010");
    QTest::newRow("no dictionary tables") << true << QStringLiteral("RPT_GRPDEF");
}

void BrowserStartup::failedLoadReturnsToTheLoginWindow()
{
    QFETCH(bool, catalogWithoutDictionary);
    QFETCH(QString, cause);
    if (catalogWithoutDictionary)
        folder_->emptyCatalog(QStringLiteral("svdata_001_2010"));
    const auto files = folder_->fingerprint();
    // While the message shows, the wait window is gone and what the load
    // opened is closed.
    ui::ScopedMsgBoxHandler boxes([](const ui::MsgBoxCall &) {
        QVERIFY(!::Form3.isLoaded() && ::Form2.isLoaded());
        QCOMPARE(::Form2->cnData.State() + ::Form2->rsTable.State(), 0);
    });
    startProgram();
    logIn(folder_->path(), QStringLiteral("secret"));
    choose(::Form1->Combo2, QStringLiteral("2010"));
    clickOk();
    settle();
    QCOMPARE(boxes.calls().size(), 1);
    QCOMPARE(boxes.calls()[0].title, QStringLiteral("提示"));
    QVERIFY2(boxes.calls()[0].prompt.contains(cause), qPrintable(boxes.calls()[0].prompt));
    QVERIFY(!::Form2.isLoaded() && !::Form3.isLoaded() && !ui::programEnded());

    // The login window as it was, ready for another year.
    login::Form1 &f = *::Form1;
    QVERIFY(f.Visible());
    QCOMPARE(f.Text1.Text(), folder_->path());
    QCOMPARE(f.Text2.Text(), QStringLiteral("secret"));
    QCOMPARE(entries(f.Combo1), (QStringList{"[001]Main", "[002]Branch"}));
    QCOMPARE(entries(f.Combo2), (QStringList{"2011", "2010"}));
    choose(f.Combo2, QStringLiteral("2011"));
    clickOk();
    QVERIFY(::Form2.isLoaded() && ::Form2->Visible());
    QCOMPARE(::Form2->Label3.Caption(), QStringLiteral("【共加载523个表】"));
    QCOMPARE(boxes.calls().size(), 1);
    QCOMPARE(folder_->fingerprint(), files);
}

void BrowserStartup::closingTheBrowserEndsTheProgram()
{
    browser::Form2 *b = openBrowser(folder_->path());
    QVERIFY(b);
    b->widget()->close();  // the close box
    settle();
    QVERIFY(!::Form2.isLoaded() && !::Form1.isLoaded() && !::Form3.isLoaded());
    QCOMPARE(dd::PublicADO::cnSys().State() + dd::PublicADO::rsAcc().State(), 0);
    QVERIFY(ui::programEnded());
}

QTEST_MAIN(BrowserStartup)
#include "tst_browser_startup.moc"
