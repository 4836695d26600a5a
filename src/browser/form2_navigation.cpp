// Table navigation and the field view: how every way of choosing a table
// reaches the field grid.
//
// One thing is kept in step with what the user sees: the current record of
// rsTable, the current table. It changes in four ways, and every one ends
// in rs2Events_MoveComplete, which alone refreshes the field view
// (DataGrid2 bound to rsField, and its caption Label1):
//
//   click a row of DataGrid1 -> the grid makes that record current (moveToRow)
//                            -> MoveComplete
//   pick a name in Combo1    -> Combo1_Click: Find exact name -> MoveComplete
//   type in Combo1           -> Combo1_Change: Find prefix    -> MoveComplete
//                               (no match: at EOF -> MoveComplete, EndOfRecordset)
//   pick a module in Combo2  -> Combo2_Click: reopen rsTable  -> MoveComplete
//                               (then unhooked while the names are refilled)
//
// All five handlers run in resume-next mode: a failing statement is skipped
// and the next one runs. Where a statement that reads the database fails,
// the view is emptied rather than left naming what it no longer shows, and
// the server's text is shown.
#include "form2.h"
#include "captions.h"
#include "data/statements.h"
#include "ui/error_modes.h"
#include "ui/runtime.h"

namespace browser {

using namespace dd::sql;
using ui::resumeNext;

namespace {

// Whether the recordset has no current record it can read: at EOF, or its
// state cannot be read at all (a closed or broken recordset).
bool atEndOrUnreadable(const dd::Recordset &rs)
{
    bool end = true;
    resumeNext([&] { end = rs.EOF_(); });
    return end;
}
}  // namespace

// Incremental prefix search: the first table (in systemid order) whose name
// begins with the text becomes current. An emptied box only empties Label1.
void Form2::Combo1_Change()
{
    const QString text = Combo1.Text();
    if (text.length() > 0)
        resumeNext([&] {
            rsTable.Find(prefixCriterion(text), 0, dd::adSearchForward, dd::adBookmarkFirst);
        });
    else
        Label1.setCaption(QString());
}

// A name picked from the list: the first table of that name becomes current.
void Form2::Combo1_Click()
{
    resumeNext([&] {
        rsTable.Find(exactCriterion(Combo1.Text()), 0, dd::adSearchForward, dd::adBookmarkFirst);
    });
}

// The module filter: reload rsTable for one module or for all of them.
void Form2::Combo2_Click()
{
    const bool allModules = Combo2.ListIndex() == 0;
    const QString moduleName = Combo2.Text();

    // Reopen the list. Still hooked: the open makes the new first table
    // current, and MoveComplete shows its fields before this handler goes on.
    resumeNext([&] {
        if (rsTable.State() == 1)
            rsTable.Close();
    });
    rsTable.CursorLocation = adUseClient;
    bool loaded = true;
    QString failure;
    try {
        rsTable.Open(allModules ? allTablesQuery() : moduleTablesQuery(moduleName), cnData,
                     adOpenKeyset, adLockReadOnly, adOptionUnspecified);
    } catch (const dd::Error &e) {
        loaded = false;
        failure = e.Description();
    }
    resumeNext([&] { DataGrid1.setDataSource(&rsTable); });

    // Refill the names, unhooked: the moves that go with it run no field
    // query and show no not-found message.
    rs2Events = nullptr;
    fillNamesFromList();
    if (loaded)
        resumeNext([&] { Label3.setCaption(tableCountCaption(allModules, moduleName, rsTable.RecordCount())); });
    else
        Label3.setCaption(QString());  // no count for a list that did not load
    resumeNext([&] { Combo1.setListIndex(0); });

    rs2Events = &rsTable;  // hooked again

    if (!loaded) {
        // No table list: no current table, so no field view either.
        clearFieldView();
        ui::MsgBox(failure, ui::vbOKOnly, ui::PromptTitle);
    }
}

// Every move of rsTable while hooked: highlight the current row and show
// the current table's fields, or nothing at EOF.
void Form2::rs2Events_MoveComplete(int adReason, const dd::Error *pError, int adStatus,
                                   dd::Recordset &pRecordset)
{
    (void)adReason;
    (void)pError;
    (void)adStatus;
    resumeNext([&] { DataGrid1.SelBookmarks().Remove(0); });
    resumeNext([&] { DataGrid1.SelBookmarks().Add(rsTable.AbsolutePosition()); });
    if (atEndOrUnreadable(rsTable)) {
        clearFieldView();
        return;
    }

    resumeNext([&] { rsField.Close(); });  // never opened before the first move
    QString tableName;
    resumeNext([&] { tableName = pRecordset.Fields(0).Value().toString(); });
    rsField.CursorLocation = adUseClient;
    try {
        rsField.Open(fieldQuery(tableName), cnData, adOpenKeyset, adLockReadOnly,
                     adOptionUnspecified);
    } catch (const dd::Error &e) {
        // No fields shown: the caption names no table.
        Label1.setCaption(QString());
        ui::MsgBox(e.Description(), ui::vbOKOnly, ui::PromptTitle);
        return;
    }
    resumeNext([&] { DataGrid2.setDataSource(&rsField); });
    resumeNext([&] {
        Label1.setCaption(fieldCaption(pRecordset.Fields(0).Value().toString(), rsField.RecordCount()));
    });
}

// A search that found nothing: say so, then empty the box (which runs
// Combo1_Change with an empty text).
void Form2::rs2Events_EndOfRecordset(bool &fMoreData, int adStatus, dd::Recordset &pRecordset)
{
    (void)fMoreData;
    (void)adStatus;
    (void)pRecordset;
    ui::MsgBox(QStringLiteral("本字典中没有包含【") + Combo1.Text()
                   + QStringLiteral("】开头的表，请重新输入"),
               ui::vbInformation, ui::PromptTitle);
    resumeNext([&] { Combo1.setText(QString()); });
}

// Combo1's list: one entry per record of rsTable, in order; then back on
// the first record. Called unhooked, so the moves reach no handler.
void Form2::fillNamesFromList()
{
    Combo1.Clear();
    while (!atEndOrUnreadable(rsTable)) {
        resumeNext([&] { Combo1.AddItem(rsTable.Fields(0).Value().toString()); });
        if (!resumeNext([&] { rsTable.MoveNext(); }))
            break;
    }
    resumeNext([&] { rsTable.MoveFirst(); });
}

// No current table: no fields and no caption.
void Form2::clearFieldView()
{
    resumeNext([&] {
        if (rsField.State() == 1)
            rsField.Close();
    });
    Label1.setCaption(QString());
}

}  // namespace browser
