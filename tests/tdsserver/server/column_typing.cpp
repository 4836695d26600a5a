#include "column_typing.h"
#include "text_typing.h"
#include <limits>

namespace tds {

namespace {

enum Seen { SeenInt = 1, SeenBig = 2, SeenFloat = 4, SeenText = 8, SeenBlob = 16 };

bool isIntegerType(int id)
{
    switch (id) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

constexpr int NVarCharLimit = 4000;   // characters
constexpr int VarBinaryLimit = 8000;  // bytes

}  // namespace

ColumnType columnTypeFor(QMetaType declared, const QVector<QVector<QVariant>> &rows, int column)
{
    int seen = 0;
    qsizetype longestText = 0, longestBlob = 0;
    for (const QVector<QVariant> &row : rows) {
        const QVariant &v = row.at(column);
        if (v.isNull())
            continue;
        const int id = v.metaType().id();
        if (isIntegerType(id)) {
            const qint64 n = v.toLongLong();
            seen |= (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
                        ? SeenBig : SeenInt;
            longestText = qMax(longestText, v.toString().size());
        } else if (id == QMetaType::Double || id == QMetaType::Float) {
            seen |= SeenFloat;
            longestText = qMax(longestText, v.toString().size());
        } else if (id == QMetaType::QByteArray) {
            seen |= SeenBlob;
            longestBlob = qMax(longestBlob, v.toByteArray().size());
            longestText = qMax(longestText, v.toByteArray().size());
        } else {
            seen |= SeenText;
            longestText = qMax(longestText, v.toString().size());
        }
    }
    const ColumnType text = longestText > NVarCharLimit ? ColumnType::NVarCharMax : ColumnType::NVarChar;
    const int numeric = SeenInt | SeenBig | SeenFloat;
    const int declaredId = declared.id();

    if (declaredId == QMetaType::QString && seen == 0)
        return ColumnType::NVarChar;
    if (declaredId == QMetaType::QString || (seen & SeenText))
        return text;
    if (seen & SeenBlob) {
        if (seen & ~SeenBlob)
            return text;
        return longestBlob > VarBinaryLimit ? ColumnType::VarBinaryMax : ColumnType::VarBinary;
    }
    if (seen & SeenFloat)
        return ColumnType::Float;
    if (seen & SeenBig)
        return ColumnType::BigInt;
    if (seen & numeric)
        return ColumnType::Int;
    // No values to go by.
    if (isIntegerType(declaredId))
        return ColumnType::Int;
    if (declaredId == QMetaType::Double)
        return ColumnType::Float;
    if (declaredId == QMetaType::QByteArray)
        return ColumnType::VarBinary;
    return ColumnType::NVarChar;
}

int longestValue(const QVector<QVector<QVariant>> &rows, int column, ColumnType type)
{
    qsizetype longest = 0;
    const bool binary = type == ColumnType::VarBinary || type == ColumnType::VarBinaryMax;
    for (const QVector<QVariant> &row : rows) {
        const QVariant &v = row.at(column);
        if (v.isNull())
            continue;
        if (binary)
            longest = qMax(longest, v.toByteArray().size());
        else if (type == ColumnType::VarChar || type == ColumnType::VarCharMax)
            longest = qMax(longest, encodeCodePage936(v.toString()).size());
        else
            longest = qMax(longest, v.toString().size());
    }
    return int(longest);
}

}  // namespace tds
