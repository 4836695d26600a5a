#pragma once
// The two ways the reader reads: the catalog as SQL Server describes it
// (sys.* from SQL Server 2005 on, sysobjects and its kin on SQL Server
// 2000), and a local SQLite file's own catalog.
#include "catalog_reader.h"
#include "data/sql_session.h"
#include <functional>

namespace dd::catalog {

struct ReadControl {
    const CatalogReader::Progress &progress;
    const std::atomic<bool> *cancel;
    bool stopped() const { return cancel && cancel->load(); }
};

class CatalogBuilder;

// The builder's catalog with the row counts readCounts puts into it. Counts
// are a help, not a must: a source that refuses them still gives the
// columns and keys, and rowCountFailure says why the counts are missing.
Catalog withRowCounts(CatalogBuilder &builder, const ReadControl &control,
                      const std::function<void()> &readCounts);

Catalog readServerCatalog(SqlSession &session, const ReadControl &control);
Catalog readSqliteCatalog(SqlSession &session, const ReadControl &control);

// The statements sent, in order (for the benchmarks' raw client).
QStringList serverCatalogStatements(bool sql2000);

}  // namespace dd::catalog
