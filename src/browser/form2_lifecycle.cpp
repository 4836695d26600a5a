// The browser's start-up, layout and shutdown.
//
// Form_Load opens the account-year database chosen in the login window,
// binds the table list to DataGrid1, lays the controls out around the
// table-name box, closes the wait window, fills both boxes, hooks the table
// events and selects "全部模块", which hands over to the navigation of
// form2_navigation.cpp. A load that fails is abandoned: what it opened is
// closed, the error is shown and the login window comes back as it was.
#include "form2.h"
#include "data/public_ado.h"
#include "data/statements.h"
#include "login/form1.h"
#include "ui/error_modes.h"
#include "ui/runtime.h"
#include "wait/form3.h"

namespace browser {

using namespace dd::sql;

namespace {
const QString Prompt = QStringLiteral("提示");
}

// Untrapped in its steps; an error is handled by abandonLoad.
void Form2::Form_Load()
{
    try {
        // 1-3: the account-year database of the login window's choice.
        const QString database = accountYearDatabase(accountIdFromEntry(::Form1->Combo1.Text()),
                                                     ::Form1->Combo2.Text());
        sDataConn = accountYearConnectionString(database, ::Form1->Text1.Text());
        cnData.Open(sDataConn, QStringLiteral("sa"), ::Form1->Text2.Text(), adOptionUnspecified);

        // 4-6: every table, bound to the table grid.
        const QString allTables = allTablesQuery();
        rsTable.CursorLocation = adUseClient;
        rsTable.Open(allTables, cnData, adOpenKeyset, adLockReadOnly, adOptionUnspecified);
        DataGrid1.setDataSource(&rsTable);
        DataGrid1.Columns(0).setWidth(1900);
        DataGrid1.Columns(1).setWidth(1900);
        DataGrid1.Columns(2).setWidth(1300);

        layOut();                 // 7
        ::Form3.Unload();         // 8
        fillTableNames();         // 9, 10
        rs2Events = &rsTable;     // 11: from here on every move of rsTable is handled
        fillModules();            // 12-14
        Combo2.setListIndex(0);   // 15: Combo2_Click loads "全部模块"
        rsModule.Close();         // 16
    } catch (const dd::Error &e) {
        abandonLoad(e);
    }
}

// Step 7: lines a to n, in order; each line reads what the lines before it set.
void Form2::layOut()
{
    DataGrid1.setTop(Combo1.Top() + 2.0f * Combo1.Height());                                // a
    DataGrid1.setLeft(Combo1.Left());                                                       // b
    DataGrid2.setTop(DataGrid1.Top());                                                      // c
    Label1.setTop(DataGrid2.Top() - 1.5f * Label1.Height());                                // d
    Label1.setLeft(DataGrid2.Left());                                                       // e
    Label3.setCaption(QStringLiteral("【共加载") + QString::number(rsTable.RecordCount())
                      + QStringLiteral("个表】"));                                          // f
    Label3.setLeft(DataGrid1.Left());                                                       // g
    Label3.setTop(Label1.Top());                                                            // h
    Combo2.setTop(Label3.Top() - 100.0f);                                                   // i
    Combo2.setLeft(DataGrid1.Left() + DataGrid1.Width() - Combo2.Width());                  // j
    Label2.setLeft(Combo1.Left());                                                          // k
    Label4.setLeft(Combo2.Left());                                                          // l
    Label2.setTop(Combo1.Top() - 1.5f * Label2.Height());                                   // m
    Label4.setTop(Combo2.Top() - 1.5f * Label4.Height());                                   // n
}

// Steps 9 and 10: one entry per table, in the query's order; then back to
// the first table. Not hooked yet, so these moves reach no handler.
void Form2::fillTableNames()
{
    while (!rsTable.EOF_()) {
        Combo1.AddItem(rsTable.Fields(0).Value().toString());
        rsTable.MoveNext();
    }
    rsTable.MoveFirst();
}

// Steps 12 to 14: "全部模块", then every module name as the server lists them.
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
// window (loaded, hidden) is shown again by showBrowser().
void Form2::abandonLoad(const dd::Error &error)
{
    loadFailed_ = true;
    closeOwnData();
    ::Form3.Unload();
    ui::MsgBox(error.Description(), ui::vbOKOnly, Prompt);
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
}

// Unhooks first, so that closing rsTable raises no table event; closes only
// what is open (a failed module reload leaves rsTable closed), so that the
// connections are always closed and the windows always unloaded.
void Form2::Form_Unload(int &Cancel)
{
    (void)Cancel;
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
