#pragma once
#include <QString>

namespace dd {

// What a user should read of a driver's message: the server's own texts,
// without "[vendor][driver]" prefixes or SQLSTATE codes, one per line.
QString cleanDriverMessage(const QString &raw);

// For failures the client side detects itself (no server to give a text:
// unknown host, nothing listening, time-outs, a dropped connection), a
// Chinese text by the driver's error number; empty for any other number.
QString clientFailureText(long number);

}  // namespace dd
