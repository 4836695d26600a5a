// Copying and exporting from the browser as a user does it: Ctrl+C, Ctrl+A,
// Ctrl+click and the grids' menus put both clipboard formats, without
// moving the current table or sending a statement; Ctrl+S exports through
// the save dialog; a slow export shows its progress and can be cancelled.
#include "awkward_dictionary.h"
#include "browser_driver.h"
#include "browser/export_runner.h"
#include "data/connection.h"
#include "ui/recordset_table_model.h"
#include "data/statements.h"
#include "export/clipboard_text.h"
#include "tds_server_process.h"
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace brtest;
using namespace exporttest;

namespace {

QTableView *view(ui::DataGrid &grid) { return grid.tableView(); }

QPoint rowCentre(ui::DataGrid &grid, int row)
{
    return view(grid)->visualRect(grid.model()->index(row, 0)).center();
}

void key(ui::DataGrid &grid, Qt::Key k, Qt::KeyboardModifiers m = Qt::ControlModifier)
{
    QTest::keyClick(view(grid), k, m);
}

// The grid's menu: its entries, and `choose` triggered.
QStringList menu(browser::Form2 *b, ui::DataGrid &grid, const QString &choose = QString())
{
    QStringList texts;
    const std::unique_ptr<QMenu> m = b->gridMenu(grid);
    QAction *chosen = nullptr;
    for (QAction *a : m->actions()) {
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        if (a->text() == choose)
            chosen = a;
    }
    if (chosen)
        chosen->trigger();
    return texts;
}

std::vector<QStringList> pastedRows(const QTemporaryDir &dir)
{
    QFile f(dir.filePath("paste.tsv"));
    f.open(QIODevice::WriteOnly);
    f.write(QGuiApplication::clipboard()->text().toUtf8());
    f.close();
    return rowsOf(readBack("tsv", f.fileName())["rows"]);
}

}  // namespace

class TestBrowserCopyExport : public QObject {
    Q_OBJECT
    ddtest::DictionaryFolder folder;
    QTemporaryDir dir;
    browser::Form2 *b = nullptr;

private slots:
    void initTestCase() { makeAwkwardFolder(folder); }
    void init()
    {
        b = openBrowser(folder.path());
        QVERIFY(b);
    }
    void cleanup() { endProgram(); }

    void copyingNeitherMovesNorQueries()
    {
        const long before = dd::Connection::statementsRun();
        // The current row alone, both formats.
        key(b->DataGrid1, Qt::Key_C);
        QCOMPARE(QGuiApplication::clipboard()->text(), "GL_a|b\t\"凭证<及>&明细'账\"\"\"\t总账|GL\r\n");
        const QString html = QGuiApplication::clipboard()->mimeData()->html();
        QVERIFY(html.contains("<td style=\"mso-number-format:'\\@'\">凭证&lt;及&gt;&amp;明细&#39;账&quot;</td>"));

        // Ctrl+click chooses rows, a right-click opens the menu; the current table stays.
        QTest::mouseClick(view(b->DataGrid1)->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(b->DataGrid1, 2));
        QTest::mousePress(view(b->DataGrid1)->viewport(), Qt::RightButton, {}, rowCentre(b->DataGrid1, 3));
        QTest::mouseRelease(view(b->DataGrid1)->viewport(), Qt::RightButton, {}, rowCentre(b->DataGrid1, 3));
        QCOMPARE(menu(b, b->DataGrid1, "复制表名"),
                 QStringList({"复制", "复制(含列标题)", "-", "复制表名", "复制查询语句", "复制关联查询", "-", "导出…"}));
        QCOMPARE(QGuiApplication::clipboard()->text(), "GL_a|b\r\nAR_x y");
        QCOMPARE(b->rsTable.AbsolutePosition(), 1);
        QCOMPARE(highlightedRows(b->DataGrid1), QList<int>({0, 2}));

        // Every field with its captions, read back as a spreadsheet would.
        key(b->DataGrid2, Qt::Key_A);
        QCOMPARE(menu(b, b->DataGrid2, "复制(含列标题)"), QStringList({"复制", "复制(含列标题)", "-", "导出…"}));
        const auto rows = pastedRows(dir);
        QCOMPARE(int(rows.size()), 9);
        QCOMPARE(rows[0], QStringList({"字段名称", "字段含义", "字段类型"}));
        const auto fields = expectedFieldRows();
        for (int i = 0; i < 8; ++i)
            QCOMPARE(rows[size_t(i + 1)], fields[size_t(i)].mid(4));

        // A plain click moves on: the chosen rows are let go.
        clickRow(b->DataGrid1, 2);
        key(b->DataGrid1, Qt::Key_C);
        QVERIFY(QGuiApplication::clipboard()->text().startsWith("AR_x y\t"));
        QCOMPARE(dd::Connection::statementsRun() - before, 1L);   // the click's field query only
    }

    void selectStatementOfTheCurrentTable()
    {
        clickRow(b->DataGrid1, 2);
        const long before = dd::Connection::statementsRun();
        menu(b, b->DataGrid1, "复制查询语句");
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 "select cCusCode, -- 客户编码\n       iSum -- 金额\nfrom [AR_x y]\n");
        QCOMPARE(dd::Connection::statementsRun(), before);
    }

    void ctrlSExportsThroughTheDialog()
    {
        const QString target = dir.filePath("current.csv");
        ui::ScopedMsgBoxHandler boxes;
        QVERIFY(exportThroughDialog(*b, 0, target));   // 当前表
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(target), 10000);
        // The end is said, with the file and what it holds.
        QTRY_COMPARE_WITH_TIMEOUT(boxes.calls().size(), 1, 10000);
        QCOMPARE(boxes.calls()[0].title, QStringLiteral("提示"));
        QCOMPARE(boxes.calls()[0].prompt, QStringLiteral("已导出：%1\n共 1 张表、8 个字段。").arg(QDir::toNativeSeparators(target)));
        const auto rows = rowsOf(readBack("csv", target)["fields"]);
        QCOMPARE(int(rows.size()), 8);   // the current table's fields only
        QCOMPARE(rows[0][0], "GL_a|b");
    }

    void slowExportShowsProgressAndCancels()
    {
        tdstest::TdsServerProcess server({folder.path(), "pw", {"--delay-ms", "700"}});
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        ui::ScopedMsgBoxHandler boxes;
        QTemporaryDir out;
        dd::exporting::ExportRequest r;
        r.source = dd::sql::accountYearConnectionString("svdata_001_2011", server.dataSource());
        r.user = "sa";
        r.password = "pw";
        r.format = dd::exporting::Format::Xlsx;
        r.output = out.filePath("slow.xlsx");
        QPointer<browser::ExportRunner> run = new browser::ExportRunner(b->widget(), r);
        QTest::qWait(browser::ExportRunner::kDialogDelayMs / 2);
        QVERIFY(!b->widget()->findChild<QProgressDialog *>("exportProgress"));
        QTRY_VERIFY(b->widget()->findChild<QProgressDialog *>("exportProgress"));
        auto *progress = b->widget()->findChild<QProgressDialog *>("exportProgress");
        QVERIFY(progress->isVisible());
        QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);   // 取消
        QTRY_VERIFY_WITH_TIMEOUT(run.isNull(), 20000);
        QVERIFY(boxes.calls().isEmpty());
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(TestBrowserCopyExport)
#include "tst_browser_copy_export.moc"
