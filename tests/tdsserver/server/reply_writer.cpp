#include "reply_writer.h"

namespace tds {

namespace {

void writeStatement(TokenWriter &w, const StatementResult &r, quint8 doneToken, bool more)
{
    for (const EnvChange &e : r.envChanges)
        w.envChange(e.type, e.newValue, e.oldValue);
    for (const ServerMessage &m : r.messages)
        w.message(m);
    if (r.hasResultSet) {
        w.columns(r.rows.columns);
        for (const QVector<QVariant> &row : r.rows.rows)
            w.row(r.rows.columns, row);
    }
    quint16 status = more ? done::More : done::Final;
    if (r.failed())
        status |= done::Error;
    if (r.count >= 0)
        status |= done::Count;
    w.done(doneToken, status, r.hasResultSet ? done::CmdSelect : 0, quint64(qMax<qint64>(0, r.count)));
}

}  // namespace

void writeBatchReply(TokenWriter &w, const QVector<StatementResult> &results)
{
    if (results.isEmpty()) {
        w.done(done::DoneToken, done::Final, 0, 0);
        return;
    }
    for (int i = 0; i < results.size(); ++i)
        writeStatement(w, results[i], done::DoneToken, i + 1 < results.size());
}

void writeProcedureReply(TokenWriter &w, const ProcedureReply &reply, bool moreCalls)
{
    for (const StatementResult &r : reply.results)
        writeStatement(w, r, done::DoneInProcToken, true);
    for (const ServerMessage &m : reply.callErrors)
        w.message(m);
    if (reply.callErrors.isEmpty())
        w.returnStatus(reply.returnStatus);
    for (const OutputValue &o : reply.outputs)
        w.returnInt(o.ordinal, o.name, o.value);
    // As a server does: a DONE carries the error bit only for an error sent
    // since the DONE before it; errors of statements were closed by theirs.
    quint16 status = moreCalls ? done::More : done::Final;
    if (!reply.callErrors.isEmpty())
        status |= done::Error;
    w.done(done::DoneProcToken, status, 0, 0);
}

}  // namespace tds
