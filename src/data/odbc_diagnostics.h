#pragma once
// What a driver says about a failed call: its diagnostic records, read from
// the handle itself, and the one error a user is shown for them.
#include "error.h"
#include <QString>
#include <QVector>

namespace dd {

struct OdbcDiagnostic {
    QString state;     // SQLSTATE, e.g. "08001"
    long native = 0;   // the server's or the driver's own number
    QString message;   // as the driver wrote it, prefixes included
};

// Every record of the handle (an ODBC handle type and handle).
QVector<OdbcDiagnostic> readOdbcDiagnostics(short handleType, void *handle);

// The number is the first record's own number that the client explains in
// Chinese (a network failure), else the first one that is not 0 (a plain
// login failure only when no other reason is given); the text
// is that explanation, else every record's message without driver prefixes
// and SQLSTATEs, else the fallback.
Error odbcError(const QVector<OdbcDiagnostic> &records, const QString &fallback);

}  // namespace dd
