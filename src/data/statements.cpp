#include "statements.h"
#include "sql_literal.h"

namespace dd::sql {

namespace {
const QString kTableColumns = QStringLiteral(
    "select Tablename as 数据表,Tabledefine as 中文表名,SystemName as 所属模块 from   RPT_GRPDEF");
const QString kProvider = QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=True;");
}  // namespace

QString accountQuery() { return QStringLiteral("Select cAcc_id,cAcc_Name from ua_account"); }

QString yearQuery(const QString &accountId)
{
    return QStringLiteral("select distinct iyear from UA_Period where cacc_id='")
           + quoteInside(accountId) + QLatin1Char('\'');
}

QString allTablesQuery() { return kTableColumns + QStringLiteral("  order by systemid"); }

QString moduleTablesQuery(const QString &moduleName)
{
    return kTableColumns + QStringLiteral(" where SystemName='") + quoteInside(moduleName)
           + QStringLiteral("' order by systemid");
}

QString moduleQuery() { return QStringLiteral("select distinct systemid ,systemname from rpt_GRPDEF"); }

QString fieldQuery(const QString &tableName)
{
    return QStringLiteral("Select FieldName as 字段名称,FieldDef as 字段含义,FieldType as 字段类型 "
                          "From RPT_ItmDEF where TableName='")
           + quoteInside(tableName) + QStringLiteral("' order by FieldID");
}

QString prefixCriterion(const QString &typedText)
{
    return QStringLiteral("数据表 like '") + quoteInside(typedText) + QStringLiteral("%'");
}

QString exactCriterion(const QString &tableName)
{
    return QStringLiteral("数据表='") + quoteInside(tableName) + QLatin1Char('\'');
}

QString accountEntry(const QString &id, const QString &name)
{
    return QLatin1Char('[') + id + QLatin1Char(']') + name;
}

QString accountIdFromEntry(const QString &entry)
{
    if (entry.startsWith(QLatin1Char('['))) {
        const int close = entry.indexOf(QLatin1Char(']'), 1);
        if (close > 0)
            return entry.mid(1, close - 1);
    }
    return entry.mid(1, 3);
}

QString accountYearDatabase(const QString &accountId, const QString &yearText)
{
    return QStringLiteral("svdata_") + accountId + QLatin1Char('_') + yearText;
}

ConnectionString systemConnectionString(const QString &serverName)
{
    return ConnectionString(
        kProvider + QStringLiteral("Initial Catalog=svsystem;Data Source=") + serverName + QString(),
        QStringLiteral("svsystem"), serverName);
}

ConnectionString accountYearConnectionString(const QString &databaseName, const QString &serverName)
{
    return ConnectionString(kProvider + QStringLiteral("Initial Catalog=") + databaseName
                                + QStringLiteral(";Data Source=") + serverName + QString(),
                            databaseName, serverName);
}

}  // namespace dd::sql
