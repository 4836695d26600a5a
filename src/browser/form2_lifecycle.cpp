// The browser's start-up, layout and shutdown.
//
// Form_Load opens the account-year database chosen in the login window,
// binds the table list to DataGrid1, lays the controls out around the
// table-name box, closes the wait window, fills both boxes, hooks the table
// events and selects "全部模块", which hands over to the navigation of
// form2_navigation.cpp. A load that fails is abandoned: what it opened is
// closed, the error is shown and the login window comes back as it was.
#include "form2.h"
#include "captions.h"
#include "data/public_ado.h"
#include "data/statements.h"
#include "login/form1.h"
#include "ui/error_modes.h"
#include "ui/runtime.h"
#include "wait/form3.h"

namespace browser {

using namespace dd::sql;

// Untrapped in its steps; an error is handled by abandonLoad.
void Form2::Form_Load()
{
    try {
        // Connect to the account-year database of the login window's choice.
        const QString database = accountYearDatabase(accountIdFromEntry(::Form1->Combo1.Text()),
                                                     ::Form1->Combo2.Text());
        sDataConn = accountYearConnectionString(database, ::Form1->Text1.Text());
        cnData.Open(sDataConn, QStringLiteral("sa"), ::Form1->Text2.Text(), adOptionUnspecified);

        // Every table, bound to the table grid, with the widths of its columns.
        const QString allTables = allTablesQuery();
        rsTable.CursorLocation = adUseClient;
        rsTable.Open(allTables, cnData, adOpenKeyset, adLockReadOnly, adOptionUnspecified);
        DataGrid1.setDataSource(&rsTable);
        DataGrid1.Columns(0).setWidth(1900);
        DataGrid1.Columns(1).setWidth(1900);
        DataGrid1.Columns(2).setWidth(1300);

        layOut();                 // controls around the table-name box
        ::Form3.Unload();         // the wait window goes
        fillTableNames();         // the table-name box, back on the first table
        rs2Events = &rsTable;     // from here on every move of rsTable is handled
        fillModules();            // the module box
        Combo2.setListIndex(0);   // Combo2_Click loads "全部模块": first table's fields
        rsModule.Close();
    } catch (const dd::Error &e) {
        abandonLoad(e);
    }
}

// The controls laid out around the table-name box, in this order: each
// line reads positions the lines before it set.
void Form2::layOut()
{
    // The table grid two box-heights below the name box, the field grid
    // level with it, its caption one and a half lines above it.
    DataGrid1.setTop(Combo1.Top() + 2.0f * Combo1.Height());
    DataGrid1.setLeft(Combo1.Left());
    DataGrid2.setTop(DataGrid1.Top());
    Label1.setTop(DataGrid2.Top() - 1.5f * Label1.Height());
    Label1.setLeft(DataGrid2.Left());
    // The table count above the table grid, level with the field caption;
    // the module box a little above it, ending at the table grid's edge.
    Label3.setCaption(tableCountCaption(true, QString(), rsTable.RecordCount()));
    Label3.setLeft(DataGrid1.Left());
    Label3.setTop(Label1.Top());
    Combo2.setTop(Label3.Top() - 100.0f);
    Combo2.setLeft(DataGrid1.Left() + DataGrid1.Width() - Combo2.Width());
    // Both boxes' captions over them, one and a half lines up.
    Label2.setLeft(Combo1.Left());
    Label4.setLeft(Combo2.Left());
    Label2.setTop(Combo1.Top() - 1.5f * Label2.Height());
    Label4.setTop(Combo2.Top() - 1.5f * Label4.Height());
}

// One entry per table, in the query's order; then back to the first
// table. Not hooked yet, so these moves reach no handler.
void Form2::fillTableNames()
{
    while (!rsTable.EOF_()) {
        Combo1.AddItem(rsTable.Fields(0).Value().toString());
        rsTable.MoveNext();
    }
    rsTable.MoveFirst();
}

// "全部模块", then every module name as the server lists them.
void Form2::fillModules()
{
    rsModule = cnData.Execute(moduleQuery(), adOptionUnspecified);
    Combo2.AddItem(QStringLiteral("全部模块"));
    while (!rsModule.EOF_()) {
        Combo2.AddItem(rsModule.Fields(1).Value().toString());
        rsModule.MoveNext();
    }
}

// A failed load: close whatever it opened, take the wait window away, show
// the server's text and leave the window to be unloaded unseen; the login
// window (loaded, hidden) comes back when browser::open() returns false.
void Form2::abandonLoad(const dd::Error &error)
{
    loadFailed_ = true;
    closeOwnData();
    ::Form3.Unload();
    ui::MsgBox(error.Description(), ui::vbOKOnly, ui::PromptTitle);
}

void Form2::closeOwnData()
{
    rs2Events = nullptr;
    for (dd::Recordset *rs : {&rsModule, &rsField, &rsTable})
        if (rs->State() == 1)
            rs->Close();
    if (cnData.State() == 1)
        cnData.Close();
}

// Resume next: both grids end two status-bar heights above the inner
// bottom edge; a height that would be negative is skipped.
void Form2::Form_Resize()
{
    ui::resumeNext([this] {
        const float height = ScaleHeight() - DataGrid1.Top() - 2.0f * StatusBar1.Height();
        if (height < 0)
            throw dd::Error(380, QStringLiteral("无效的属性值"));
        DataGrid1.setHeight(height);
    });
    ui::resumeNext([this] { DataGrid2.setHeight(DataGrid1.Height()); });
    if (Check3.Value())
        placeRelations();
}

// Unhooks first, so that closing rsTable raises no table event; closes only
// what is open (a failed module reload leaves rsTable closed), so that the
// connections are always closed and the windows always unloaded.
void Form2::Form_Unload(int &Cancel)
{
    (void)Cancel;
    endStructure();
    endRelations();
    endSearch();  // a dictionary load under way stops with its connection
    rs2Events = nullptr;
    if (rsTable.State() == 1)
        rsTable.Close();
    if (cnData.State() == 1)
        cnData.Close();
    if (loadFailed_)
        return;  // the login window stays, with its connection, for another choice
    dd::Recordset &rsAcc = dd::PublicADO::rsAcc();
    if (rsAcc.State() == 1)
        rsAcc.Close();
    dd::Connection &cnSys = dd::PublicADO::cnSys();
    if (cnSys.State() == 1)
        cnSys.Close();
    ::Form1.Unload();
    ::Form3.Unload();
    Unload();  // already unloading: nothing more
}

}  // namespace browser
