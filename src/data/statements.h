#pragma once
// Every statement, criterion and name rule the system sends or uses. Inserted
// values are written as proper literals (apostrophes doubled); for values
// without an apostrophe the texts are exactly the documented ones.
#include "connection_string.h"
#include <QString>

namespace dd::sql {

// Cursor locations, cursor types and lock types of the open modes.
constexpr int adUseServer = 2;
constexpr int adUseClient = 3;
constexpr int adOpenKeyset = 1;
constexpr int adLockReadOnly = 1;
constexpr int adLockUnspecified = -1;
constexpr int adOptionUnspecified = -1;

QString accountQuery();
QString yearQuery(const QString &accountId);
QString allTablesQuery();
QString moduleTablesQuery(const QString &moduleName);
QString moduleQuery();
QString fieldQuery(const QString &tableName);

QString prefixCriterion(const QString &typedText);
QString exactCriterion(const QString &tableName);

// "[" + id + "]" + name
QString accountEntry(const QString &id, const QString &name);
// The id back out of an entry: the text between the leading "[" and the
// first "]". Without that shape, the three characters from position 2.
QString accountIdFromEntry(const QString &entry);
// "svdata_" + id + "_" + year
QString accountYearDatabase(const QString &accountId, const QString &yearText);

ConnectionString systemConnectionString(const QString &serverName);
ConnectionString accountYearConnectionString(const QString &databaseName,
                                             const QString &serverName);

}  // namespace dd::sql
