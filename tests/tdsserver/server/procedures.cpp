#include "procedures.h"
#include "server_message.h"

namespace tds::procedures {

namespace {

QVariant arg(const QVector<ProcedureArgument> &a, int i) { return i < a.size() ? a[i].value : QVariant(); }

OutputValue output(const QVector<ProcedureArgument> &a, int i, qint32 value)
{
    OutputValue o;
    o.ordinal = quint16(i);
    o.name = i < a.size() ? a[i].name : QString();
    o.value = value;
    return o;
}

bool isQuery(const QString &statement)
{
    return sql::classify(sql::tokenize(statement)) == sql::StatementKind::Query;
}

ProcedureReply replyWith(StatementResult r)
{
    ProcedureReply reply;
    reply.results << std::move(r);
    return reply;
}

ProcedureReply callFailed(const ServerMessage &m)
{
    ProcedureReply reply;
    reply.callErrors << m;
    return reply;
}

void finish(ProcedureReply &reply)
{
    reply.returnStatus = reply.failed() ? -6 : 0;
}

ProcedureReply executeSql(const QVector<ProcedureArgument> &a, Executor &ex)
{
    const QString statement = arg(a, 0).toString();
    const QString declarations = arg(a, 1).toString();
    ProcedureReply reply;
    reply.results = ex.runBatch(statement, bindParameters(sql::declaredParameters(declarations), a.mid(2),
                                                          sql::declaredTypes(declarations)));
    return reply;
}

ProcedureReply prepare(const QVector<ProcedureArgument> &a, Executor &ex, bool execute)
{
    SessionState &s = ex.state();
    PreparedStatement p;
    p.parameters = sql::declaredParameters(arg(a, 1).toString());
    p.types = sql::declaredTypes(arg(a, 1).toString());
    p.statement = arg(a, 2).toString();
    const qint32 handle = s.nextPrepared++;
    s.prepared.insert(handle, p);
    ProcedureReply reply;
    if (execute) {
        reply.results = ex.runBatch(p.statement, bindParameters(p.parameters, a.mid(3), p.types));
    } else if (arg(a, 3).toInt() & 1 && isQuery(p.statement)) {
        // Metadata only: the columns, no rows; typed as an execution's will be.
        const QVector<ProcedureArgument> nulls(p.parameters.size());
        StatementResult r = ex.runStatement(p.statement, bindParameters(p.parameters, nulls, p.types));
        r.rows.rows.clear();
        r.count = -1;
        reply.results << r;
    }
    reply.outputs << output(a, 0, handle);
    return reply;
}

ProcedureReply executePrepared(const QVector<ProcedureArgument> &a, Executor &ex)
{
    const qint32 handle = arg(a, 0).toInt();
    const auto it = ex.state().prepared.constFind(handle);
    if (it == ex.state().prepared.constEnd())
        return callFailed(messages::invalidPreparedHandle(handle));
    ProcedureReply reply;
    reply.results = ex.runBatch(it->statement, bindParameters(it->parameters, a.mid(1), it->types));
    return reply;
}

ProcedureReply unprepare(const QVector<ProcedureArgument> &a, Executor &ex)
{
    const qint32 handle = arg(a, 0).toInt();
    if (!ex.state().prepared.remove(handle))
        return callFailed(messages::invalidPreparedHandle(handle));
    return ProcedureReply();
}

constexpr int ScrollParameterized = 0x1000;

ProcedureReply cursorOpen(const QVector<ProcedureArgument> &a, Executor &ex)
{
    const QString statement = arg(a, 1).toString();
    const int scroll = arg(a, 2).toInt();
    const int concurrency = arg(a, 3).toInt();
    QHash<QString, QString> parameters;
    if (scroll & ScrollParameterized)
        parameters = bindParameters(sql::declaredParameters(arg(a, 5).toString()), a.mid(6),
                                    sql::declaredTypes(arg(a, 5).toString()));
    ProcedureReply reply;
    if (!isQuery(statement)) {
        // As the server does: the statement runs directly, and no cursor is made.
        reply.results = ex.runBatch(statement, parameters);
        if (reply.results.isEmpty())
            reply.results << StatementResult();
        reply.results.first().messages.prepend(messages::noCursor());
        reply.outputs << output(a, 0, 0) << output(a, 2, scroll) << output(a, 3, concurrency)
                      << output(a, 4, -1);
        return reply;
    }
    StatementResult r = ex.runStatement(statement, parameters);
    if (r.failed()) {
        reply.results << r;
        reply.outputs << output(a, 0, 0);
        return reply;
    }
    SessionState &s = ex.state();
    const qint32 handle = s.nextCursor++;
    ServerCursor cursor;
    cursor.rows = r.rows;
    const int total = int(cursor.rows.rows.size());
    s.cursors.insert(handle, cursor);
    r.rows.rows.clear();
    r.count = -1;
    reply.results << r;
    reply.outputs << output(a, 0, handle) << output(a, 2, scroll & 0x0FFF) << output(a, 3, concurrency)
                  << output(a, 4, total);
    return reply;
}

namespace fetch {
constexpr int First = 0x01, Next = 0x02, Prev = 0x04, Last = 0x08, Absolute = 0x10, Relative = 0x20,
              Refresh = 0x40, Info = 0x80, PrevNoAdjust = 0x100;
}

ProcedureReply cursorFetch(const QVector<ProcedureArgument> &a, Executor &ex)
{
    SessionState &s = ex.state();
    const qint32 handle = arg(a, 0).toInt();
    auto it = s.cursors.find(handle);
    if (it == s.cursors.end())
        return callFailed(messages::invalidCursor());
    ServerCursor &c = it.value();
    const int type = arg(a, 1).toInt() & 0xFF;
    const int rownum = arg(a, 2).toInt();
    const int nrows = arg(a, 3).isNull() ? 20 : qMax(0, arg(a, 3).toInt());
    const int total = int(c.rows.rows.size());
    ProcedureReply reply;
    if (type == fetch::Info) {
        reply.outputs << output(a, 2, c.position + 1) << output(a, 3, total);
        return reply;
    }
    int start = 0;
    switch (type) {
    case fetch::First: start = 0; break;
    case fetch::Next: start = c.position + c.lastFetched; break;
    case fetch::Prev:
    case fetch::PrevNoAdjust: start = c.position - nrows; break;
    case fetch::Last: start = total - nrows; break;
    case fetch::Absolute: start = rownum > 0 ? rownum - 1 : total + rownum; break;
    case fetch::Relative: start = c.position + rownum; break;
    case fetch::Refresh: start = c.position; break;
    default: start = c.position + c.lastFetched; break;
    }
    start = qBound(0, start, total);
    const int end = qMin(total, start + nrows);
    c.position = start;
    c.lastFetched = end - start;
    StatementResult r;
    r.hasResultSet = true;
    r.rows.columns = c.rows.columns;
    r.rows.rows = c.rows.rows.mid(start, end - start);
    r.count = r.rows.rows.size();
    reply.results << r;
    return reply;
}

ProcedureReply cursorClose(const QVector<ProcedureArgument> &a, Executor &ex)
{
    if (!ex.state().cursors.remove(arg(a, 0).toInt()))
        return callFailed(messages::invalidCursor());
    return ProcedureReply();
}

ProcedureReply dataTypes(const QVector<ProcedureArgument> &a)
{
    int type = 0, odbcVersion = 2;
    int position = 0;
    for (const ProcedureArgument &p : a) {
        const QString name = p.name.toLower();
        if (name == QLatin1String("@odbcver") || (name.isEmpty() && position == 1))
            odbcVersion = p.value.isNull() ? 2 : p.value.toInt();
        else if (name == QLatin1String("@data_type") || (name.isEmpty() && position == 0))
            type = p.value.isNull() ? 0 : p.value.toInt();
        ++position;
    }
    StatementResult r;
    r.hasResultSet = true;
    r.rows = dataTypeInfo(type, odbcVersion);
    r.count = r.rows.rows.size();
    return replyWith(r);
}

}  // namespace

ProcedureReply call(const QString &rawName, const QVector<ProcedureArgument> &a, Executor &ex)
{
    const QString name = rawName.toLower();
    ProcedureReply reply;
    if (name == QLatin1String("sp_executesql"))
        reply = executeSql(a, ex);
    else if (name == QLatin1String("sp_prepare"))
        reply = prepare(a, ex, false);
    else if (name == QLatin1String("sp_prepexec"))
        reply = prepare(a, ex, true);
    else if (name == QLatin1String("sp_execute"))
        reply = executePrepared(a, ex);
    else if (name == QLatin1String("sp_unprepare"))
        reply = unprepare(a, ex);
    else if (name == QLatin1String("sp_cursoropen"))
        reply = cursorOpen(a, ex);
    else if (name == QLatin1String("sp_cursorfetch"))
        reply = cursorFetch(a, ex);
    else if (name == QLatin1String("sp_cursorclose"))
        reply = cursorClose(a, ex);
    else if (name == QLatin1String("sp_cursoroption"))
        reply = ProcedureReply();
    else if (name == QLatin1String("sp_cursor")) {
        StatementResult r = StatementResult::error(messages::readOnlyDatabase(ex.state().catalog()));
        r.refusedWrite = true;
        reply = replyWith(r);
    } else if (name == QLatin1String("sp_datatype_info") || name == QLatin1String("sp_datatype_info_100"))
        reply = dataTypes(a);
    else
        reply = callFailed(messages::unknownProcedure(rawName));
    finish(reply);
    return reply;
}

}  // namespace tds::procedures
