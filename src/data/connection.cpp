#include "connection.h"
#include "sql_session.h"
#include <algorithm>

namespace dd {

namespace {
long g_statements = 0;
}

Connection::Connection() = default;

Connection::~Connection()
{
    const auto open = recordsets_;
    for (Recordset *rs : open)
        rs->connection_ = nullptr;
}

void Connection::Open(const ConnectionString &connectionString, const QString &userId,
                      const QString &password, long)
{
    if (session_)
        throw objectIsOpen();
    session_ = SqlSession::open(connectionString, userId, password);
}

void Connection::Open(const QString &connectionText, const QString &userId,
                      const QString &password, long options)
{
    Open(ConnectionString::fromText(connectionText), userId, password, options);
}

Recordset Connection::Execute(const QString &commandText, long)
{
    return Recordset(query(commandText), this);
}

void Connection::Close()
{
    if (!session_)
        throw objectIsClosed();
    const auto open = recordsets_;
    for (Recordset *rs : open) {
        rs->closeByConnection();
        rs->connection_ = nullptr;
    }
    recordsets_.clear();
    session_.reset();
}

RowStore Connection::query(const QString &statement)
{
    if (!session_)
        throw connectionNotUsable();
    ++g_statements;
    return session_->run(statement);
}

long Connection::statementsRun() { return g_statements; }

void Connection::attach(Recordset *rs)
{
    if (std::find(recordsets_.begin(), recordsets_.end(), rs) == recordsets_.end())
        recordsets_.push_back(rs);
}

void Connection::detach(Recordset *rs)
{
    recordsets_.erase(std::remove(recordsets_.begin(), recordsets_.end(), rs), recordsets_.end());
}

}  // namespace dd
