#pragma once
// What "显示实际结构" adds to the two grids (ui/grid_extension.h):
//   the table grid   约行数
//   the field grid   实际类型, 允许空, 键, 核对 on every documented field, then
//                    one row per column the dictionary does not document
//                    (empty meaning and type, 核对 "字典中没有此字段")
// The recordsets stay as they are: their counts, captions and statements.
#include "physical_structure.h"
#include "ui/grid_extension.h"
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace browser {

class TableRowCounts : public ui::GridExtension {
public:
    explicit TableRowCounts(std::shared_ptr<const PhysicalStructure> structure);

    QStringList captions() const override;
    void rowsReplaced(const dd::Recordset *rs) override;
    QString text(int row, int column) const override;

private:
    std::shared_ptr<const PhysicalStructure> structure_;
    const dd::Recordset *rs_ = nullptr;
};

class FieldFacts : public ui::GridExtension {
public:
    // currentTable names the table whose fields the grid is bound to.
    FieldFacts(std::shared_ptr<const PhysicalStructure> structure,
               std::function<QString()> currentTable);

    QStringList captions() const override;
    void rowsReplaced(const dd::Recordset *rs) override;
    int extraRowCount() const override { return int(undocumented_.size()); }
    QString text(int row, int column) const override;
    QString extraRowText(int row, int column) const override;

    // The grid row (0-based) of an undocumented column; -1 when none.
    int undocumentedRow(const QString &columnName) const;

private:
    using Facts = std::array<QString, 4>;
    static Facts factsOf(const dd::catalog::Column &column, const QString &problem);

    std::shared_ptr<const PhysicalStructure> structure_;
    std::function<QString()> currentTable_;
    int records_ = 0;
    int recordColumns_ = 0;
    std::vector<Facts> documented_;          // per record
    std::vector<const dd::catalog::Column *> undocumented_;
};

}  // namespace browser
