#pragma once
// SQLite's error texts turned into the SQL Server errors a client of the
// imitated server would have seen for the same mistake.
#include "server_message.h"
#include "sql_text.h"

namespace tds {

ServerMessage fromSqliteError(const QString &sqliteText, const QVector<sql::Token> &statement,
                              const QString &catalog);

}  // namespace tds
