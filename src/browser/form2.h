#pragma once
// The dictionary browser: the tables of one account-year database in
// DataGrid1, the fields of the current table in DataGrid2, a table-name box
// with prefix search, a module filter and a status bar.
//
//   form2_design.cpp       the window's design (captions, fonts, geometry)
//   form2_lifecycle.cpp    Form_Load, Form_Resize, Form_Unload
//   form2_navigation.cpp   how a click, a pick, a keystroke or a module
//                          choice reaches the field grid
//   form2_status.cpp       status bar, clock, back to the login window
//   form2_search.cpp       the dictionary-wide search box and its results
//   form2_copy_export.cpp  copying rows, names and a SELECT; exporting
//   form2_physical.cpp     the database's own structure beside the dictionary:
//                          physical columns, empty tables hidden, the findings
//   form2_relations.cpp    the tables the current one joins with, and the
//                          SELECT joining chosen tables
//   captions.h             the field and table-count captions
//   open_browser.h         what the login window's OK and Exit call
#include "data/connection.h"
#include "data/connection_string.h"
#include "data/recordset.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/command_button.h"
#include "ui/data_grid.h"
#include "ui/form.h"
#include "search/searcher.h"
#include "ui/label.h"
#include "ui/status_bar.h"
#include "ui/text_box.h"
#include "ui/timer.h"
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

class QKeyEvent;
class QMenu;
class QPoint;
class QWidget;

namespace search {
class DictionarySearch;
class ResultsPanel;
}

namespace dd {
class BackgroundWork;
}
namespace dd::catalog {
struct Catalog;
struct Finding;
}
namespace dd::relations {
class Relations;
}

namespace browser {

class ExportRunner;
class FieldFacts;
class FindingsPanel;
class PhysicalStructure;
class StructureLoad;
class RelationsList;

class Form2 final : public ui::Form, private dd::RecordsetEvents {
public:
    Form2();
    ~Form2() override;

    // Controls, in tab order.
    ui::StatusBar StatusBar1{*this};
    ui::ComboBox Combo1{*this, ui::ComboBox::DropDownCombo};   // table name: type or pick
    ui::DataGrid DataGrid1{*this};                             // tables
    ui::DataGrid DataGrid2{*this};                             // fields of the current table
    ui::Label Label1{*this};                                   // field caption
    ui::Label Label3{*this};                                   // table count
    ui::ComboBox Combo2{*this, ui::ComboBox::DropDownList};    // module filter
    ui::Label Label2{*this};
    ui::Label Label4{*this};
    ui::Timer Timer1{*this};
    // The dictionary-wide search: its caption and box, last in the tab order.
    ui::Label Label5{*this};
    ui::TextBox Text1{*this};
    // The database's own structure beside the dictionary, all off at start.
    ui::CheckBox Check1{*this};         // 显示实际结构
    ui::CheckBox Check2{*this};         // 隐藏空表
    ui::CommandButton Command1{*this};  // 结构核对…
    // The tables the current table joins with, off at start.
    ui::CheckBox Check3{*this};   // 显示关联表

    // The window's data, declared in this order.
    dd::Connection cnData;
    dd::ConnectionString sDataConn;
    dd::Recordset rsTable;
    dd::Recordset rsField;
    dd::Recordset rsModule;
    // Refers to rsTable while its events are hooked.
    dd::EventHook rs2Events{*this};

    // True when Form_Load met an error: the load was abandoned, the error
    // shown, and the window is to be unloaded without being shown.
    bool loadFailed() const { return loadFailed_; }

    // The menu a right-click on a grid opens.
    std::unique_ptr<QMenu> gridMenu(ui::DataGrid &grid);

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    void Form_Unload(int &Cancel) override;

private:
    // Start-up, layout and shutdown.
    void layOut();
    void fillTableNames();
    void fillModules();
    void abandonLoad(const dd::Error &error);
    void closeOwnData();

    // Table navigation and field view.
    void Combo1_Change();
    void Combo1_Click();
    void Combo2_Click();
    void rs2Events_MoveComplete(int adReason, const dd::Error *pError, int adStatus,
                                dd::Recordset &pRecordset);
    void rs2Events_EndOfRecordset(bool &fMoreData, int adStatus, dd::Recordset &pRecordset);
    void clearFieldView();

    // Dictionary-wide search.
    void designSearch();
    void Text1_GotFocus();
    void Text1_Change();
    void Text1_FindShortcut();
    bool Text1_KeyPress(QKeyEvent *event);
    void loadSearch();
    void showSearch();
    void placeSearchPanel();
    void closeSearchPanel();
    void chooseSearchHit(search::Hit hit);
    bool goToTable(const QString &name, const QString &module);
    void selectFieldRow(const dd::DictionaryField &field);
    void endSearch();

    // The database's own structure.
    enum StructureUse : unsigned { ShowColumns = 1, HideEmpty = 2, ListFindings = 4 };
    void designPhysical();
    void Check1_Click();
    void Check2_Click();
    void Command1_Click();
    void useStructure(unsigned uses);
    void applyStructure(unsigned uses);
    void showPhysicalColumns(bool on);
    void hideEmptyTables(bool on);
    void fillNamesFromList();
    void showCountFailureOnce();
    void showFindings();
    void closeFindings();
    void chooseFinding(const dd::catalog::Finding &finding);
    void endStructure();
    // Copy and export (Ctrl+C, Ctrl+A, Ctrl+S and the grids' menus).
    void setUpCopyAndExport();
    void showGridMenu(ui::DataGrid &grid, const QPoint &at);
    void copyRows(ui::DataGrid &grid, bool withHeaders);
    void copyTableNames();
    void copySelectStatement();
    QString currentTableName() const;
    void exportDictionary();

    // Which tables join.
    class TableMoves;
    void designRelations();
    void Check3_Click();
    void placeRelations();
    std::shared_ptr<const dd::catalog::Catalog> catalogForRelations() const;
    void buildRelations();
    void relationsBuilt(std::shared_ptr<const dd::relations::Relations> relations);
    void relationsMoved();
    void showRelations();
    void chooseRelation(int table, int field);
    void copyJoinStatement();
    void copyJoinOf(const QStringList &names);
    void endPendingJoin();
    void endRelations();

    // Status bar.
    void Timer1_Timer();
    void StatusBar1_PanelDblClick(ui::Panel &Panel);

    // rs2Events is declared with events: rsTable's moves arrive here.
    void MoveComplete(int adReason, const dd::Error *pError, int adStatus,
                      dd::Recordset &pRecordset) override
    {
        rs2Events_MoveComplete(adReason, pError, adStatus, pRecordset);
    }
    void EndOfRecordset(bool &fMoreData, int adStatus, dd::Recordset &pRecordset) override
    {
        rs2Events_EndOfRecordset(fMoreData, adStatus, pRecordset);
    }

    bool loadFailed_ = false;
    // Made at the first search: the loaded dictionary and the results panel.
    std::unique_ptr<search::DictionarySearch> search_;
    search::ResultsPanel *searchPanel_ = nullptr;
    QPointer<QWidget> focusBeforeSearch_;
    QPointer<ExportRunner> exportRun_;   // owned by the window
    // Read at the first use of Check1, Check2 or Command1, never before.
    std::shared_ptr<const PhysicalStructure> structure_;
    QPointer<StructureLoad> structureLoad_;   // owned by the window
    unsigned pendingUses_ = 0;
    std::shared_ptr<FieldFacts> fieldFacts_;  // while Check1 is on
    FindingsPanel *findingsPanel_ = nullptr;
    bool countFailureShown_ = false;
    // Made when Check3 is first turned on or a join is first copied.
    std::shared_ptr<const dd::relations::Relations> relations_;
    std::shared_ptr<dd::BackgroundWork> relationsWork_;
    RelationsList *relationsList_ = nullptr;
    std::shared_ptr<TableMoves> tableMoves_;
    bool relationsWaitForSearch_ = false;
    bool relationsRefreshPosted_ = false;
    QStringList pendingJoin_;   // chosen tables to copy once the links are built
};

// The credit panel's text.
QString creditText();

}  // namespace browser

// The program's one browser window.
inline ui::FormRef<browser::Form2> Form2;
