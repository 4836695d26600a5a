// The rows of sp_datatype_info: the types this server sends, described as
// the ODBC catalogue function expects them.
#include "procedures.h"

namespace tds::procedures {

namespace {

struct TypeRow {
    const char *name;
    int odbc2, odbc3;
    int precision;
    const char *prefix, *suffix, *createParams;
    int searchable;
    bool isUnsignedKnown;
    int minScale, maxScale;  // -1: NULL
    int sqlDataType, datetimeSub;  // -1: NULL
    int radix;                     // -1: NULL
    int userType;
};

const TypeRow kTypes[] = {
    {"bit", -7, -7, 1, nullptr, nullptr, nullptr, 2, false, 0, 0, -7, -1, -1, 16},
    {"bigint", -5, -5, 19, nullptr, nullptr, nullptr, 2, true, 0, 0, -5, -1, 10, 0},
    {"varbinary", -3, -3, 8000, "0x", nullptr, "max length", 2, false, -1, -1, -3, -1, -1, 4},
    {"nvarchar", -9, -9, 4000, "N'", "'", "max length", 3, false, -1, -1, -9, -1, -1, 0},
    {"int", 4, 4, 10, nullptr, nullptr, nullptr, 2, true, 0, 0, 4, -1, 10, 7},
    {"smallint", 5, 5, 5, nullptr, nullptr, nullptr, 2, true, 0, 0, 5, -1, 10, 6},
    {"float", 6, 6, 53, nullptr, nullptr, nullptr, 2, true, -1, -1, 6, -1, 2, 8},
    {"datetime", 11, 93, 23, "'", "'", nullptr, 3, false, 3, 3, 9, 3, -1, 12},
    {"smalldatetime", 11, 93, 16, "'", "'", nullptr, 3, false, 0, 0, 9, 3, -1, 22},
};

QVariant text(const char *s) { return s ? QVariant(QString::fromLatin1(s)) : QVariant(); }
QVariant number(int n) { return n == -1 ? QVariant() : QVariant(n); }

}  // namespace

ResultSet dataTypeInfo(int odbcType, int odbcVersion)
{
    ResultSet rs;
    const struct { const char *name; ColumnType type; } columns[] = {
        {"TYPE_NAME", ColumnType::NVarChar},       {"DATA_TYPE", ColumnType::SmallInt},
        {"PRECISION", ColumnType::Int},            {"LITERAL_PREFIX", ColumnType::NVarChar},
        {"LITERAL_SUFFIX", ColumnType::NVarChar},  {"CREATE_PARAMS", ColumnType::NVarChar},
        {"NULLABLE", ColumnType::SmallInt},        {"CASE_SENSITIVE", ColumnType::SmallInt},
        {"SEARCHABLE", ColumnType::SmallInt},      {"UNSIGNED_ATTRIBUTE", ColumnType::SmallInt},
        {"MONEY", ColumnType::SmallInt},           {"AUTO_INCREMENT", ColumnType::SmallInt},
        {"LOCAL_TYPE_NAME", ColumnType::NVarChar}, {"MINIMUM_SCALE", ColumnType::SmallInt},
        {"MAXIMUM_SCALE", ColumnType::SmallInt},   {"SQL_DATA_TYPE", ColumnType::SmallInt},
        {"SQL_DATETIME_SUB", ColumnType::SmallInt},{"NUM_PREC_RADIX", ColumnType::Int},
        {"INTERVAL_PRECISION", ColumnType::SmallInt}, {"USERTYPE", ColumnType::SmallInt},
    };
    for (const auto &c : columns)
        rs.columns << Column{QString::fromLatin1(c.name), c.type};
    for (const TypeRow &t : kTypes) {
        const int reported = odbcVersion >= 3 ? t.odbc3 : t.odbc2;
        if (odbcType != 0 && odbcType != t.odbc2 && odbcType != t.odbc3)
            continue;
        rs.rows << QVector<QVariant>{
            text(t.name), reported, t.precision, text(t.prefix), text(t.suffix), text(t.createParams),
            1, 0, t.searchable, t.isUnsignedKnown ? QVariant(0) : QVariant(), 0,
            t.isUnsignedKnown ? QVariant(0) : QVariant(), text(t.name), number(t.minScale),
            number(t.maxScale), t.sqlDataType, number(t.datetimeSub), number(t.radix), QVariant(),
            t.userType};
    }
    return rs;
}

}  // namespace tds::procedures
