#include "catalog_folder.h"
#include <QDir>

namespace tds {

namespace {
bool isPlainName(const QString &name)
{
    return !name.isEmpty() && name.size() <= 128 && !name.contains(QLatin1Char('/'))
           && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0))
           && name != QLatin1String(".") && name != QLatin1String("..");
}
}  // namespace

QString CatalogFolder::resolve(const QString &name) const
{
    if (!isPlainName(name))
        return QString();
    // The file's own name, also where the file system ignores case (Windows).
    const QStringList files = QDir(path_).entryList({QStringLiteral("*.db")}, QDir::Files);
    if (files.contains(name + QStringLiteral(".db")))
        return name;
    for (const QString &file : files) {
        const QString base = file.left(file.size() - 3);
        if (base.compare(name, Qt::CaseInsensitive) == 0)
            return base;
    }
    return QString();
}

QString CatalogFolder::filePath(const QString &resolvedName) const
{
    return path_ + QLatin1Char('/') + resolvedName + QStringLiteral(".db");
}

}  // namespace tds
