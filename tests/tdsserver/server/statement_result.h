#pragma once
// What one statement produced, before it is written as tokens.
#include "result_set.h"
#include "server_message.h"
#include <QVector>

namespace tds {

struct EnvChange {
    quint8 type = 0;
    QString newValue, oldValue;
};

struct StatementResult {
    QVector<EnvChange> envChanges;
    QVector<ServerMessage> messages;  // information and errors, in order
    bool hasResultSet = false;
    ResultSet rows;
    qint64 count = -1;          // rows selected; -1 when the statement counts nothing
    bool refusedWrite = false;  // a write, refused
    bool abortsBatch = false;   // a compile error: the rest of the batch does not run

    bool failed() const
    {
        for (const ServerMessage &m : messages)
            if (m.isError())
                return true;
        return false;
    }
    static StatementResult error(const ServerMessage &m)
    {
        StatementResult r;
        r.messages << m;
        return r;
    }
};

// An output parameter of a procedure call.
struct OutputValue {
    quint16 ordinal = 0;
    QString name;
    qint32 value = 0;
};

struct ProcedureReply {
    QVector<StatementResult> results;  // each closed by its DONEINPROC
    // The call's own error (no such procedure, handle or cursor): nothing
    // ran, and the DONEPROC closes it.
    QVector<ServerMessage> callErrors;
    QVector<OutputValue> outputs;
    qint32 returnStatus = 0;
    bool failed() const
    {
        for (const StatementResult &r : results)
            if (r.failed())
                return true;
        return !callErrors.isEmpty();
    }
};

}  // namespace tds
