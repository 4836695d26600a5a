#pragma once
// The database's own facts as the exports and the browser write them,
// beside each documented table and field: 约行数; 实际类型, 允许空, 键, 核对.
#include "catalog/catalog.h"
#include "catalog/drift.h"
#include "export_content.h"

namespace dd::exporting {

// 约行数: digits; "?" when the server refused the counts; empty for a view
// or a table the database lacks (table is then null).
QString rowCountText(const catalog::Table *table, const catalog::Catalog &catalog);
// 允许空: "是" or "否".
QString nullableText(bool nullable);

PhysicalFacts physicalFacts(const Dictionary &dictionary, const catalog::Catalog &catalog,
                            const catalog::Comparison &comparison);

}  // namespace dd::exporting
