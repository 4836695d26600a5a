#pragma once
// Reads the rows of an executed ODBC statement as UTF-16 text through the
// driver itself. The driver plugin reads narrow text in pieces of the
// declared column width, which cuts multi-byte characters apart and loses
// values longer than the column claims; asking the driver for wide
// characters, piece by piece, keeps every character intact.
#include "row_store.h"

class QSqlQuery;

namespace dd {

// Appends every row of the query's current result to rows (whose columns
// are already named). With a sink, rows are handed to it a block at a time
// instead of all kept. Returns false when the query carries no ODBC
// statement handle. Throws Error when the driver fails mid-way, and
// readStopped() when the sink stops the read.
bool fetchOdbcRows(QSqlQuery &query, RowStore &rows, const RowSink &sink = {});

}  // namespace dd
