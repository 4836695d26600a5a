#pragma once
// Columns, and whole rows, that a data grid shows beside its bound
// recordset's: the extra columns at the right of every row, the extra rows
// after the recordset's last. Without an extension a grid shows exactly the
// recordset. The recordset itself is never touched: its records, counts and
// current record stay what they are; an extra row is no record.
//
//   auto extension = std::make_shared<MyColumns>(...);
//   DataGrid2.setExtension(extension);   // columns appear, rows stay put
//   DataGrid2.setExtension(nullptr);     // back to the recordset alone
#include <QString>
#include <QStringList>

namespace dd {
class Recordset;
}

namespace ui {

class GridExtension {
public:
    virtual ~GridExtension() = default;

    // The captions of the extra columns.
    virtual QStringList captions() const = 0;
    // The bound rows were replaced (opened, closed, rebound) or the extension
    // was just set; rs is the open recordset, or nullptr when none is.
    virtual void rowsReplaced(const dd::Recordset *rs) { (void)rs; }
    // Whole rows after the recordset's (0 unless rowsReplaced made some).
    virtual int extraRowCount() const { return 0; }
    // Row `row` of the recordset, extra column `column` (0-based among them).
    virtual QString text(int row, int column) const = 0;
    // Extra row `row` (0-based among them), in grid column `column`.
    virtual QString extraRowText(int row, int column) const
    {
        (void)row;
        (void)column;
        return QString();
    }
};

}  // namespace ui
