#pragma once
// The server's own catalog of a database, as SQL Server keeps it, made from
// the SQLite file's schema: sys.objects, sys.tables, sys.views, sys.columns,
// sys.types, sys.indexes, sys.index_columns, sys.foreign_keys,
// sys.foreign_key_columns, sys.partitions and sys.schemas (SQL Server 2005
// on), and sysobjects, syscolumns, systypes, sysindexes, sysindexkeys,
// sysforeignkeys and sysusers (SQL Server 2000, kept by later releases for
// compatibility). Declared SQLite types are SQL Server type names
// ("nvarchar(20)", "int identity"); a table named "sales.Orders" is table
// Orders of schema sales. Lengths are in bytes, as the server reports them.
//
// The catalog of a file is made once per server run, into a file of its
// own, and attached to a session's connection the first time a statement
// names it: as schema sys for SQL Server 2005 and later, under a name no
// statement uses for SQL Server 2000, where sys.* is then an invalid object.
#include "server_message.h"
#include "sql_text.h"
#include <QString>
#include <optional>

namespace tds {
class SessionState;
}

namespace tds::systemCatalog {

// Before a statement runs on the session's database: when it names the
// catalog, the catalog is attached; the error to answer instead when the
// statement cannot run (row counts refused, the catalog not made).
std::optional<ServerMessage> prepare(const QVector<sql::Token> &tokens, SessionState &session);

// Does the statement name any of the catalog's objects?
bool isNamedIn(const QVector<sql::Token> &tokens);

// Does it read row counts (sys.partitions, or the rows of sysindexes)?
bool readsRowCounts(const QVector<sql::Token> &tokens);

// The catalog file made for this database file (made now when missing);
// empty with *error set when it cannot be made.
QString catalogFileFor(const QString &databaseFile, const QString &sourceConnection, QString *error);

// The schema name the catalog is attached under.
QString attachName(bool sysSchema);

}  // namespace tds::systemCatalog
