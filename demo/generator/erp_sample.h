#pragma once
// A small set of tables shaped like a real ERP account, added to the sample
// dictionary so that the links between tables can be seen and measured:
// master files keyed by their codes, vouchers as header and lines tables,
// lines tables that all key on AutoID, vouchers that all carry 制单人 and
// dates, fields that name a master's code under another name, and a name
// that is a key in one table and a plain column elsewhere.
#include "dictionary_generator.h"

namespace dictgen {

QVector<TableRow> erpSampleTables();

// The keys its database declares: a primary key (references empty) or a
// foreign key.
struct DeclaredKey {
    QString table, column;
    QString referencedTable, referencedColumn;
};
QVector<DeclaredKey> erpSampleKeys();

}  // namespace dictgen
