#include "export_content.h"
#include <QHash>

namespace dd::exporting {

int ExportContent::fieldCount() const
{
    int n = 0;
    for (int t : tables)
        n += dictionary->tables[t].fieldCount;
    return n;
}

QStringList ExportContent::tableExtras(int position) const
{
    if (!physical)
        return {};
    const size_t t = size_t(tables[size_t(position)]);
    return {t < physical->rowCount.size() ? physical->rowCount[t] : QString()};
}

QStringList ExportContent::fieldExtras(int field) const
{
    if (!physical)
        return {};
    if (size_t(field) >= physical->field.size())
        return {QString(), QString(), QString(), QString()};
    const auto &facts = physical->field[size_t(field)];
    return {facts[0], facts[1], facts[2], facts[3]};
}

QStringList ExportContent::tableExtraColumns() const
{
    return physical ? QStringList{QStringLiteral("约行数")} : QStringList();
}

QStringList ExportContent::fieldExtraColumns() const
{
    return physical ? QStringList{QStringLiteral("实际类型"), QStringLiteral("允许空"),
                                  QStringLiteral("键"), QStringLiteral("核对")}
                    : QStringList();
}

QStringList tableColumns()
{
    return {QStringLiteral("数据表"), QStringLiteral("中文表名"), QStringLiteral("所属模块"),
            QStringLiteral("字段数")};
}

QStringList fieldColumns()
{
    return {QStringLiteral("数据表"), QStringLiteral("中文表名"), QStringLiteral("所属模块"),
            QStringLiteral("序号"), QStringLiteral("字段名称"), QStringLiteral("字段含义"),
            QStringLiteral("字段类型")};
}

QString headingLine(const ExportHeading &heading)
{
    return QStringLiteral("账套：") + heading.account + QStringLiteral("　会计年度：") + heading.year
           + QStringLiteral("　导出时间：")
           + heading.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString documentTitle(const ExportHeading &heading)
{
    return QStringLiteral("数据字典 ") + heading.account + QLatin1Char(' ') + heading.year;
}

std::vector<ModuleGroup> groupByModule(const ExportContent &content)
{
    std::vector<ModuleGroup> groups;
    QHash<QString, int> index;
    for (int i = 0; i < content.tableCount(); ++i) {
        const QString &module = content.table(i).module;
        auto it = index.find(module);
        if (it == index.end()) {
            it = index.insert(module, int(groups.size()));
            groups.push_back({module, {}});
        }
        groups[*it].positions.push_back(i);
    }
    return groups;
}

}  // namespace dd::exporting
