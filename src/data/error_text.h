#pragma once
#include <QString>

namespace dd {

// What a user should read of a driver's message: the server's own texts,
// without "[vendor][driver]" prefixes or SQLSTATE codes, one per line.
QString cleanDriverMessage(const QString &raw);

}  // namespace dd
