#pragma once
// The rows of one statement as the wire will carry them: each column has one
// protocol type, each cell a QVariant (null QVariant = NULL).
#include <QString>
#include <QVariant>
#include <QVector>

namespace tds {

enum class ColumnType {
    SmallInt,   // INTN(2)
    Int,        // INTN(4)
    BigInt,     // INTN(8)
    Float,      // FLTN(8)
    NVarChar,   // NVARCHAR(4000), collated
    NVarCharMax,// NVARCHAR(MAX) (NTEXT before TDS 7.2)
    VarChar,    // VARCHAR(8000), collated: code page 936 bytes
    VarCharMax, // VARCHAR(MAX) (TEXT before TDS 7.2)
    VarBinary,  // VARBINARY(8000)
    VarBinaryMax,
};

struct Column {
    QString name;
    ColumnType type = ColumnType::NVarChar;
    int width = 0;  // declared characters (NVarChar) or bytes (VarChar, VarBinary); 0: the largest
};

struct ResultSet {
    QVector<Column> columns;
    QVector<QVector<QVariant>> rows;
};

}  // namespace tds
