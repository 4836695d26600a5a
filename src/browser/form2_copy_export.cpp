// Taking the dictionary away: copying rows of either grid (tab-separated and
// as an HTML table), the current table's name or a SELECT of its fields, and
// exporting to a file. Nothing here moves rsTable or sends a statement on
// cnData: copying reads the rows the grids already hold, and an export reads
// the dictionary on a connection of its own.
#include "export_dialog.h"
#include "export_runner.h"
#include "form2.h"
#include "data/statements.h"
#include "export/clipboard_text.h"
#include "login/form1.h"
#include "ui/fonts.h"
#include <QAction>
#include <QClipboard>
#include <QDateTime>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QWidget>

namespace browser {

using namespace dd::exporting;

void Form2::setUpCopyAndExport()
{
    for (ui::DataGrid *grid : {&DataGrid1, &DataGrid2}) {
        grid->onCopy = [this, grid] { copyRows(*grid, false); };
        grid->onContextMenu = [this, grid](const QPoint &at) { showGridMenu(*grid, at); };
    }
    auto *save = new QShortcut(QKeySequence::Save, widget());
    save->setContext(Qt::WindowShortcut);
    QObject::connect(save, &QShortcut::activated, widget(), [this] { exportDictionary(); });
}

void Form2::showGridMenu(ui::DataGrid &grid, const QPoint &at)
{
    const std::unique_ptr<QMenu> menu = gridMenu(grid);
    menu->exec(at);
}

std::unique_ptr<QMenu> Form2::gridMenu(ui::DataGrid &grid)
{
    auto owned = std::make_unique<QMenu>(grid.widget());
    QMenu &menu = *owned;
    menu.setObjectName(QStringLiteral("gridMenu"));
    const bool rows = !grid.rowsToCopy().empty();
    QAction *copy = menu.addAction(QStringLiteral("复制"), [this, &grid] { copyRows(grid, false); });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(rows);
    menu.addAction(QStringLiteral("复制(含列标题)"), [this, &grid] { copyRows(grid, true); })
        ->setEnabled(rows);
    if (&grid == &DataGrid1) {
        const bool current = !currentTableName().isNull();
        menu.addSeparator();
        menu.addAction(QStringLiteral("复制表名"), [this] { copyTableNames(); })->setEnabled(rows);
        menu.addAction(QStringLiteral("复制查询语句"), [this] { copySelectStatement(); })
            ->setEnabled(current);
        menu.addAction(QStringLiteral("复制关联查询"), [this] { copyJoinStatement(); })
            ->setEnabled(grid.rowsToCopy().size() >= 2);
    }
    menu.addSeparator();
    QAction *save = menu.addAction(QStringLiteral("导出…"), [this] { exportDictionary(); });
    save->setShortcut(QKeySequence::Save);
    return owned;
}

namespace {

void putOnClipboard(const QString &text, const QString &html = QString())
{
    auto *data = new QMimeData;
    data->setText(text);
    if (!html.isEmpty())
        data->setHtml(html);
    QGuiApplication::clipboard()->setMimeData(data);
}

}  // namespace

void Form2::copyRows(ui::DataGrid &grid, bool withHeaders)
{
    const std::vector<int> rows = grid.rowsToCopy();
    if (rows.empty())
        return;
    CopiedRows copied;
    copied.headers = grid.columnCaptions();
    copied.rows.reserve(rows.size());
    for (int row : rows)
        copied.rows.push_back(grid.rowTexts(row));
    putOnClipboard(tabSeparated(copied, withHeaders), htmlTable(copied, withHeaders));
}

void Form2::copyTableNames()
{
    QStringList names;
    for (int row : DataGrid1.rowsToCopy())
        names << DataGrid1.rowTexts(row).value(0);
    if (!names.isEmpty())
        putOnClipboard(names.join(QStringLiteral("\r\n")));
}

void Form2::copySelectStatement()
{
    const QString table = currentTableName();
    if (table.isNull())
        return;
    std::vector<SelectField> fields;
    if (rsField.State() == 1)
        for (int r = 0; r < rsField.rowCount(); ++r)
            fields.push_back({rsField.cell(r, 0).toString(), rsField.cell(r, 1).toString()});
    putOnClipboard(selectStatement(table, fields));
}

// The current table's name without moving anything; null when there is none.
QString Form2::currentTableName() const
{
    const int row = rsTable.currentRow();
    if (row < 0)
        return QString();
    const QVariant &name = rsTable.cell(row, 0);
    return name.isNull() ? QStringLiteral("") : name.toString();
}

void Form2::exportDictionary()
{
    if (exportRun_ && exportRun_->isRunning())
        return;
    const QString account = ::Form1->Combo1.Text();
    const QString year = ::Form1->Combo2.Text();
    const QString table = currentTableName();
    const auto choice = askExportTarget(
        widget(), QStringLiteral("数据字典_%1_%2").arg(dd::sql::accountIdFromEntry(account), year),
        !table.isNull());
    if (!choice)
        return;
    ExportRequest request;
    request.source = sDataConn;
    request.user = QStringLiteral("sa");
    request.password = ::Form1->Text2.Text();
    request.scope = choice->scope;
    request.module = Combo2.ListIndex() > 0 ? Combo2.Text() : QString();
    request.table = table;
    request.tablePosition = rsTable.currentRow();
    if (rsTable.isFiltered()) {
        // 当前列表 is the list as shown; a position in it is not the dictionary's.
        request.listed = QStringList();
        for (int row = 0; row < rsTable.rowCount(); ++row)
            request.listed->append(rsTable.cell(row, 0).toString());
        request.tablePosition = -1;
    }
    request.format = choice->format;
    request.physical = choice->physical;
    request.output = choice->file;
    request.heading = {account, year, QDateTime::currentDateTime()};
    exportRun_ = new ExportRunner(widget(), std::move(request));
}

}  // namespace browser
