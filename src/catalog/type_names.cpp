#include "type_names.h"
#include <QHash>
#include <QStringList>

namespace dd::catalog {

namespace {

enum class Args { None, Length, Precision, Scale, Float };

struct TypeInfo {
    const char *name;   // the name the server reports
    Args args;
};

// Every name a column may be declared with, mapped to what the server reports.
const QHash<QString, TypeInfo> &typeTable()
{
    static const QHash<QString, TypeInfo> table = {
        {QStringLiteral("bigint"), {"bigint", Args::None}},
        {QStringLiteral("int"), {"int", Args::None}},
        {QStringLiteral("integer"), {"int", Args::None}},
        {QStringLiteral("smallint"), {"smallint", Args::None}},
        {QStringLiteral("tinyint"), {"tinyint", Args::None}},
        {QStringLiteral("bit"), {"bit", Args::None}},
        {QStringLiteral("money"), {"money", Args::None}},
        {QStringLiteral("smallmoney"), {"smallmoney", Args::None}},
        {QStringLiteral("real"), {"real", Args::None}},
        {QStringLiteral("date"), {"date", Args::None}},
        {QStringLiteral("datetime"), {"datetime", Args::None}},
        {QStringLiteral("smalldatetime"), {"smalldatetime", Args::None}},
        {QStringLiteral("text"), {"text", Args::None}},
        {QStringLiteral("ntext"), {"ntext", Args::None}},
        {QStringLiteral("national text"), {"ntext", Args::None}},
        {QStringLiteral("image"), {"image", Args::None}},
        {QStringLiteral("uniqueidentifier"), {"uniqueidentifier", Args::None}},
        {QStringLiteral("xml"), {"xml", Args::None}},
        {QStringLiteral("sql_variant"), {"sql_variant", Args::None}},
        {QStringLiteral("timestamp"), {"timestamp", Args::None}},
        {QStringLiteral("rowversion"), {"timestamp", Args::None}},
        {QStringLiteral("hierarchyid"), {"hierarchyid", Args::None}},
        {QStringLiteral("geometry"), {"geometry", Args::None}},
        {QStringLiteral("geography"), {"geography", Args::None}},
        {QStringLiteral("sysname"), {"nvarchar(128)", Args::None}},
        {QStringLiteral("decimal"), {"decimal", Args::Precision}},
        {QStringLiteral("dec"), {"decimal", Args::Precision}},
        {QStringLiteral("numeric"), {"decimal", Args::Precision}},
        {QStringLiteral("float"), {"float", Args::Float}},
        {QStringLiteral("double precision"), {"float", Args::None}},
        {QStringLiteral("datetime2"), {"datetime2", Args::Scale}},
        {QStringLiteral("datetimeoffset"), {"datetimeoffset", Args::Scale}},
        {QStringLiteral("time"), {"time", Args::Scale}},
        {QStringLiteral("char"), {"char", Args::Length}},
        {QStringLiteral("character"), {"char", Args::Length}},
        {QStringLiteral("varchar"), {"varchar", Args::Length}},
        {QStringLiteral("char varying"), {"varchar", Args::Length}},
        {QStringLiteral("character varying"), {"varchar", Args::Length}},
        {QStringLiteral("nchar"), {"nchar", Args::Length}},
        {QStringLiteral("national char"), {"nchar", Args::Length}},
        {QStringLiteral("national character"), {"nchar", Args::Length}},
        {QStringLiteral("nvarchar"), {"nvarchar", Args::Length}},
        {QStringLiteral("national char varying"), {"nvarchar", Args::Length}},
        {QStringLiteral("national character varying"), {"nvarchar", Args::Length}},
        {QStringLiteral("binary"), {"binary", Args::Length}},
        {QStringLiteral("varbinary"), {"varbinary", Args::Length}},
        {QStringLiteral("binary varying"), {"varbinary", Args::Length}},
    };
    return table;
}

bool isNumber(const QString &s)
{
    if (s.isEmpty() || s.size() > 9)
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QString canonical(const QString &text, bool keepNumeric)
{
    // name [ ( arg [, arg] ) ], blanks anywhere between the parts; names in
    // brackets as a script would write them.
    QString t = text.trimmed().toLower();
    t.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    QString name = t;
    QStringList args;
    const int open = t.indexOf(QLatin1Char('('));
    if (open >= 0) {
        if (!t.endsWith(QLatin1Char(')')))
            return QString();
        name = t.left(open);
        const QString inside = t.mid(open + 1, t.size() - open - 2);
        for (const QString &a : inside.split(QLatin1Char(',')))
            args << a.trimmed();
    }
    name = name.simplified();
    const auto it = typeTable().constFind(name);
    if (it == typeTable().constEnd())
        return QString();
    const TypeInfo &info = *it;
    // numeric is a type of its own to the server, and the same as decimal
    // to anyone comparing.
    const QString base = keepNumeric && name == QLatin1String("numeric") ? name : QString(QLatin1String(info.name));
    for (const QString &a : args)
        if (!isNumber(a) && !(a == QLatin1String("max") && info.args == Args::Length))
            return QString();

    switch (info.args) {
    case Args::None:
        // A byte count after a fixed-size type (int(4)) is how some
        // dictionaries write it; the type is the same.
        return base;
    case Args::Length: {
        if (args.size() > 1)
            return QString();
        if (args.isEmpty())
            return base + QStringLiteral("(1)");
        if (args[0] == QLatin1String("max"))
            return base.startsWith(QLatin1String("var")) || base == QLatin1String("nvarchar")
                       ? base + QStringLiteral("(max)")
                       : QString();   // char(max) and the like do not exist
        return base + QStringLiteral("(%1)").arg(args[0].toInt());
    }
    case Args::Precision: {
        if (args.size() > 2)
            return QString();
        const int precision = args.isEmpty() ? 18 : args[0].toInt();
        const int scale = args.size() < 2 ? 0 : args[1].toInt();
        return base + QStringLiteral("(%1,%2)").arg(precision).arg(scale);
    }
    case Args::Scale:
        if (args.size() > 1)
            return QString();
        return base + QStringLiteral("(%1)").arg(args.isEmpty() ? 7 : args[0].toInt());
    case Args::Float: {
        if (args.size() > 1)
            return QString();
        const int bits = args.isEmpty() ? 53 : args[0].toInt();
        return bits <= 24 ? QStringLiteral("real") : QStringLiteral("float");
    }
    }
    return QString();
}

}  // namespace

QString canonicalType(const QString &type)
{
    return canonical(type, false);
}

QString declaredTypeText(const QString &declared)
{
    return canonical(declared, true);
}

}  // namespace dd::catalog

namespace dd::catalog {

QString typeText(const QString &baseType, int lengthBytes, int precision, int scale)
{
    const QString name = baseType.toLower();
    auto length = [&](int characters) {
        return name + (lengthBytes < 0 ? QStringLiteral("(max)")
                                       : QStringLiteral("(%1)").arg(characters));
    };
    if (name == QLatin1String("varchar") || name == QLatin1String("char")
        || name == QLatin1String("varbinary") || name == QLatin1String("binary"))
        return length(lengthBytes);
    if (name == QLatin1String("nvarchar") || name == QLatin1String("nchar"))
        return length(lengthBytes / 2);
    if (name == QLatin1String("sysname"))
        return QStringLiteral("nvarchar(%1)").arg(lengthBytes / 2);
    if (name == QLatin1String("decimal") || name == QLatin1String("numeric"))
        return name + QStringLiteral("(%1,%2)").arg(precision).arg(scale);
    if (name == QLatin1String("datetime2") || name == QLatin1String("time")
        || name == QLatin1String("datetimeoffset"))
        return name + QStringLiteral("(%1)").arg(scale);
    return name;
}

}  // namespace dd::catalog
