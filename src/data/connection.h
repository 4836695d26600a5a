#pragma once
#include "connection_string.h"
#include "recordset.h"
#include "row_store.h"
#include <QString>
#include <memory>
#include <vector>

namespace dd {

class SqlSession;

// A connection to one catalog: a SQL Server database through ODBC, or a
// SQLite file of a dictionary folder (the Data Source decides which).
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void Open(const ConnectionString &connectionString, const QString &userId,
              const QString &password, long options = -1);
    void Open(const QString &connectionText, const QString &userId, const QString &password,
              long options = -1);
    int State() const { return session_ ? 1 : 0; }
    // Runs a statement and returns its rows as an open recordset.
    Recordset Execute(const QString &commandText, long options = -1);
    // Closes the connection and every recordset still open on it.
    void Close();

    // Runs a statement and reads all of its rows (used by Recordset::Open).
    RowStore query(const QString &statement);

    // Statements run on any connection since the program started: a cheap
    // way for tests and benchmarks to count round trips.
    static long statementsRun();

private:
    friend class Recordset;
    void attach(Recordset *rs);
    void detach(Recordset *rs);

    std::unique_ptr<SqlSession> session_;
    std::vector<Recordset *> recordsets_;
};

}  // namespace dd
