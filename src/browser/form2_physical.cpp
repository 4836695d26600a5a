// The database's own structure beside the dictionary, in the band above the
// field grid: "显示实际结构" (row counts and the physical columns in the
// grids), "隐藏空表" (the table list without empty or missing tables) and
// "结构核对…" (where the dictionary is wrong, in a list like the search's).
//
// Nothing is read until one of them is first used: then the catalog is read
// once, on a connection and a thread of its own, beside the dictionary the
// search reads (one read for both), and compared with it off the window
// thread. A read that failed is tried again at the next use. With the boxes
// off the grids show the recordsets alone and nothing more is sent.
#include "findings_panel.h"
#include "form2.h"
#include "captions.h"
#include "login/form1.h"
#include "physical_columns.h"
#include "search/dictionary_search.h"
#include "structure_load.h"
#include "ui/error_modes.h"
#include "ui/runtime.h"
#include "ui/twips.h"
#include <QApplication>
#include <QTableView>

namespace browser {

using ui::resumeNext;

namespace {
// The list's height in twips, as the search's.
constexpr float kFindingsHeight = 4800;
}  // namespace

// Left to right above the field grid, on the row of the name box's caption.
void Form2::designPhysical()
{
    Check1.setCaption(QStringLiteral("显示实际结构"));
    Check1.Move(6240, 120, 1455, 255);
    Check2.setCaption(QStringLiteral("隐藏空表"));
    Check2.Move(7815, 120, 1095, 255);
    Command1.setCaption(QStringLiteral("结构核对…"));
    Command1.Move(9030, 90, 1080, 315);
    Check1.onClick = [this] { Check1_Click(); };
    Check2.onClick = [this] { Check2_Click(); };
    Command1.onClick = [this] { Command1_Click(); };

    // The findings list closes when the focus moves on to another control.
    QObject::connect(qApp, &QApplication::focusChanged, widget(), [this](QWidget *, QWidget *now) {
        if (findingsPanel_ && findingsPanel_->isVisible() && now && now->window() == widget()
            && !findingsPanel_->isAncestorOf(now))
            closeFindings();
    });
}

void Form2::Check1_Click()
{
    if (Check1.Value())
        useStructure(ShowColumns);
    else
        showPhysicalColumns(false);
}

void Form2::Check2_Click()
{
    if (Check2.Value())
        useStructure(HideEmpty);
    else
        hideEmptyTables(false);
}

void Form2::Command1_Click()
{
    useStructure(ListFindings);
}

// Acts at once when the structure is read; otherwise reads it first (or
// lets the read under way finish) and then acts.
void Form2::useStructure(unsigned uses)
{
    if (structure_) {
        applyStructure(uses);
        return;
    }
    pendingUses_ |= uses;
    if (structureLoad_)
        return;
    loadSearch();   // the dictionary, read once for the search and for this
    const login::Form1 *login = ::Form1.loaded();
    structureLoad_ = new StructureLoad(widget(), *search_, sDataConn, QStringLiteral("sa"),
                                       login ? login->Text2.Text() : QString());
    structureLoad_->onReady = [this](std::shared_ptr<const PhysicalStructure> structure) {
        structureLoad_->deleteLater();
        structureLoad_ = nullptr;
        structure_ = std::move(structure);
        if (Check3.Value())
            buildRelations();   // the links again, on the database's keys
        const unsigned uses = pendingUses_;
        pendingUses_ = 0;
        ui::untrapped([this, uses] { applyStructure(uses); });
    };
    structureLoad_->onFailed = [this](const QString &failure) {
        structureLoad_->deleteLater();
        structureLoad_ = nullptr;
        pendingUses_ = 0;
        // Nothing was shown: the boxes go back off, and the next use reads again.
        Check1.setValue(false);
        Check2.setValue(false);
        if (!failure.isEmpty())
            ui::MsgBox(QStringLiteral("实际结构读取失败：") + failure, ui::vbOKOnly, ui::PromptTitle);
    };
}

void Form2::applyStructure(unsigned uses)
{
    if ((uses & ShowColumns) && Check1.Value())
        showPhysicalColumns(true);
    if ((uses & HideEmpty) && Check2.Value())
        hideEmptyTables(true);
    if (uses & ListFindings)
        showFindings();
}

// 约行数 beside the tables; 实际类型, 允许空, 键, 核对 beside the fields, and the
// columns the dictionary lacks after them. The recordsets stay as they are.
void Form2::showPhysicalColumns(bool on)
{
    if (!on || !structure_) {
        DataGrid1.setExtension(nullptr);
        DataGrid2.setExtension(nullptr);
        fieldFacts_.reset();
        return;
    }
    fieldFacts_ = std::make_shared<FieldFacts>(structure_, [this] { return currentTableName(); });
    DataGrid1.setExtension(std::make_shared<TableRowCounts>(structure_));
    DataGrid2.setExtension(fieldFacts_);
    showCountFailureOnce();
}

// The server refused the row counts: the grid shows "?", and why, once.
void Form2::showCountFailureOnce()
{
    if (countFailureShown_ || !structure_ || structure_->catalog().rowCountFailure.isEmpty())
        return;
    countFailureShown_ = true;
    ui::MsgBox(QStringLiteral("无法读取约行数：") + structure_->catalog().rowCountFailure,
               ui::vbInformation, ui::PromptTitle);
}

// The table list (and the table-name box) without the tables that have no
// rows or are missing from the database, or with every table again. No
// statement is sent for the list: it is filtered where it is. The table
// shown stays when it is still listed; otherwise the first one is shown.
void Form2::hideEmptyTables(bool on)
{
    if (on && !structure_)
        return;
    if (on)
        showCountFailureOnce();
    const QString current = currentTableName();
    rs2Events = nullptr;
    if (on) {
        const std::shared_ptr<const PhysicalStructure> structure = structure_;
        rsTable.setFilter([structure](const dd::RowStore &rows, int row) {
            const QVariant &name = rows.cell(row, 0);
            return structure->isListedWhenHidingEmpty(name.isNull() ? QString() : name.toString());
        });
    } else {
        rsTable.setFilter({});
    }
    fillNamesFromList();
    const bool allModules = Combo2.ListIndex() <= 0;
    resumeNext([&] {
        Label3.setCaption(tableCountCaption(allModules, Combo2.Text(), rsTable.RecordCount()));
    });
    rs2Events = &rsTable;

    int entry = -1;
    for (int i = 0; i < Combo1.ListCount() && entry < 0 && !current.isNull(); ++i)
        if (Combo1.List(i) == current)
            entry = i;
    if (entry < 0 && Combo1.ListCount() > 0)
        entry = 0;
    if (entry >= 0)
        resumeNext([&] { Combo1.setListIndex(entry); });   // Combo1_Click shows it
    else
        resumeNext([&] { rsTable.MoveFirst(); });          // no table: nothing shown
}

// Where the list is placed and how it closes are those of the search's.
void Form2::showFindings()
{
    if (!structure_)
        return;
    if (!findingsPanel_) {
        findingsPanel_ = new FindingsPanel(widget());
        findingsPanel_->view()->setFocusPolicy(Qt::ClickFocus);  // Tab order stays as designed
        findingsPanel_->onChoose = [this](const dd::catalog::Finding &finding) {
            const dd::catalog::Finding chosen = finding;
            ui::untrapped([this, chosen] { chooseFinding(chosen); });
        };
        findingsPanel_->onEscape = [this] {
            closeFindings();
            Command1.SetFocus();
        };
    }
    closeSearchPanel();
    findingsPanel_->showFindings(structure_);
    const float top = Text1.Top() + Text1.Height();
    const float bottom = DataGrid2.Top() + DataGrid2.Height();
    const float height = std::max(1500.0f, std::min(kFindingsHeight, bottom - top));
    findingsPanel_->setGeometry(ui::twipsRect(DataGrid2.Left(), top, DataGrid2.Width(), height));
    findingsPanel_->show();
    findingsPanel_->raise();
    findingsPanel_->view()->setFocus(Qt::OtherFocusReason);
}

void Form2::closeFindings()
{
    if (findingsPanel_)
        findingsPanel_->hide();
}

// A finding is shown the way a search hit is: its table chosen, then its
// field's row. A column the dictionary lacks is only shown with the
// physical columns, so they come on for it.
void Form2::chooseFinding(const dd::catalog::Finding &finding)
{
    closeFindings();
    if (!structure_)
        return;
    const dd::Dictionary &dictionary = structure_->dictionary();
    if (finding.dictionaryTable < 0 || size_t(finding.dictionaryTable) >= dictionary.tables.size()) {
        ui::MsgBox(QStringLiteral("字典中没有【") + finding.table + QStringLiteral("】，浏览器中无法显示"),
                   ui::vbInformation, ui::PromptTitle);
        return;
    }
    const dd::DictionaryTable &table = dictionary.tables[size_t(finding.dictionaryTable)];
    if (finding.dictionaryField < 0 && !finding.field.isEmpty() && !Check1.Value()) {
        Check1.setValue(true);
        showPhysicalColumns(true);
    }
    if (!goToTable(table.name, table.module))
        return;
    if (finding.field.isEmpty()) {
        DataGrid1.SetFocus();
        return;
    }
    if (finding.dictionaryField >= 0) {
        selectFieldRow(dictionary.fields[size_t(finding.dictionaryField)]);
    } else if (fieldFacts_) {
        const int row = fieldFacts_->undocumentedRow(finding.field);
        if (row >= 0) {
            while (DataGrid2.SelBookmarks().Count() > 0)
                DataGrid2.SelBookmarks().Remove(0);
            DataGrid2.SelBookmarks().Add(row + 1);
            QTableView *view = DataGrid2.tableView();
            view->scrollTo(view->model()->index(row, 0));
        }
    }
    DataGrid2.SetFocus();
}

// The window goes: a read under way is let go.
void Form2::endStructure()
{
    delete structureLoad_;
    structureLoad_ = nullptr;
    closeFindings();
}

}  // namespace browser
