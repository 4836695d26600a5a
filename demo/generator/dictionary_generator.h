#pragma once
// Makes a dictionary folder: one SQLite file per catalog, the layout the
// local source and the SQL Server test server both read.
//
//   svsystem.db            ua_account(cAcc_id, cAcc_Name)
//                          UA_Period(cacc_id, iyear, iperiod)
//   svdata_<id>_<year>.db  RPT_GRPDEF(systemid, SystemName, Tablename, Tabledefine)
//                          RPT_ItmDEF(TableName, FieldID, FieldName, FieldDef, FieldType)
//
// Text columns compare case-insensitively, as on the ERP's servers.
#include <QString>
#include <QStringList>
#include <QVector>

namespace dictgen {

struct Options {
    quint32 seed = 20111;
    int accounts = 3;          // ids 001, 002, ...
    int yearsPerAccount = 3;   // the first account gets this many, the others one fewer (at least 1)
    int firstYear = 2009;
    int tables = 300;          // tables per account-year database
    int fieldsMin = 5;
    int fieldsMax = 40;
    int modules = 8;           // at most the number the vocabulary offers
    QString vocabularyFile;    // empty: the built-in vocabulary
    // Each database also holds the ERP-shaped set of erp_sample.h, after
    // the generated tables.
    bool erpSample = false;
    // Each database also holds the tables its dictionary documents (see
    // physical_tables.h); filledPercent of them hold rows.
    bool physicalTables = true;
    int filledPercent = 12;
};

// One table of a hand-made catalog, for tests that need exact contents.
struct FieldRow {
    QString name, meaning, type;   // a null QString is stored as NULL
};
struct TableRow {
    QString systemid, module, name, description;  // null QString -> NULL
    QVector<FieldRow> fields;
};
struct AccountRow {
    QString id, name;
    QVector<int> years;            // empty: the account has no period rows
};

// Writes the whole generated folder (creating it if needed, replacing any
// files of the same names). Returns false and sets *error on failure.
bool generate(const Options &options, const QString &folder, QString *error = nullptr);

// Writes svsystem.db with exactly these accounts.
bool writeSystemCatalog(const QString &folder, const QVector<AccountRow> &accounts,
                        QString *error = nullptr);

// Writes one account-year catalog (file <catalog>.db) with exactly these tables.
bool writeDataCatalog(const QString &folder, const QString &catalog,
                      const QVector<TableRow> &tables, QString *error = nullptr);

// Writes a catalog file that has no dictionary tables at all.
bool writeEmptyCatalog(const QString &folder, const QString &catalog, QString *error = nullptr);

}  // namespace dictgen
