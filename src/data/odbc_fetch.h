#pragma once
// Reads the rows of an executed ODBC statement as UTF-16 text through the
// driver itself: narrow text read in pieces of the declared column width
// would cut multi-byte characters apart and lose values longer than the
// column claims; wide characters, piece by piece, keep every one intact.
#include "odbc_api.h"
#include "row_store.h"

namespace dd {

// Appends every row of the statement's current result to rows (whose
// columns are already named). With a sink, rows are handed to it a block at
// a time instead of all kept. Throws Error when the driver fails mid-way,
// and readStopped() when the sink stops the read.
void fetchOdbcRows(SQLHSTMT statement, RowStore &rows, const RowSink &sink = {});

}  // namespace dd
