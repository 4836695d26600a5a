#pragma once
// The database tables a dictionary documents, as a real account holds them:
// every dictionary table becomes a physical table in the same file, with
// the documented fields as columns (of the documented types), a primary key
// and an index on some, rows in a few (most tables of an account are empty),
// a declared foreign key or two — and a little drift, as real databases
// drift from their dictionary: a documented table or field missing, an
// undocumented column or table, a column whose type differs, a table that is
// a view.
#include "dictionary_generator.h"

namespace dictgen {

struct PhysicalOptions {
    quint32 seed = 1;
    int filledPercent = 12;   // tables that hold rows
    bool drift = true;
};

// Adds the physical tables of `tables` to the catalog file <catalog>.db
// that writeDataCatalog wrote.
bool writePhysicalTables(const QString &folder, const QString &catalog, const QVector<TableRow> &tables,
                         const PhysicalOptions &options, QString *error = nullptr);

}  // namespace dictgen
