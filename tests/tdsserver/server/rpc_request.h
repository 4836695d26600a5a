#pragma once
// An RPC request: after ALL_HEADERS, one or more calls, each a procedure
// (by name or by the id of a system procedure), option flags, and typed
// parameters.
#include "executor.h"
#include <QByteArray>

namespace tds {

struct RpcCall {
    QString name;          // the system procedure's name when called by id
    quint16 procId = 0;    // 0 when called by name
    quint16 options = 0;
    QVector<ProcedureArgument> parameters;
    QString describe() const;
};

struct RpcRequest {
    QVector<RpcCall> calls;
    QString error;  // set when the request could not be read
};

RpcRequest parseRpc(const QByteArray &payload, quint32 tdsVersion);

// Where the request proper begins: past ALL_HEADERS on TDS 7.2 and later.
int skipAllHeaders(const QByteArray &payload, quint32 tdsVersion);

QString systemProcedureName(quint16 id);

}  // namespace tds
