#include "captions.h"

namespace browser {

QString fieldCaption(const QString &tableName, int fieldCount)
{
    return tableName + QStringLiteral("表字段说明:") + QStringLiteral("(此表共")
           + QString::number(fieldCount) + QStringLiteral("个字段)");
}

QString tableCountCaption(bool allModules, const QString &moduleName, int tableCount)
{
    if (allModules)
        return QStringLiteral("【共加载") + QString::number(tableCount) + QStringLiteral("个表】");
    return QStringLiteral("【") + moduleName + QStringLiteral("】模块共加载了")
           + QString::number(tableCount) + QStringLiteral("个表");
}

}  // namespace browser
