#pragma once
// SQLite values have no fixed column type; the wire needs one. A column is
// typed from its declared type (as Qt reports it) widened by the values it
// actually holds.
#include "result_set.h"
#include <QMetaType>

namespace tds {

ColumnType columnTypeFor(QMetaType declared, const QVector<QVector<QVariant>> &rows, int column);

// The longest value of the column: characters of its text, or bytes (of
// binary values and of code page 936 text).
int longestValue(const QVector<QVector<QVariant>> &rows, int column, ColumnType type);

}  // namespace tds
