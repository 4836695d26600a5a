#include "connection_string.h"
#include <QStringList>

namespace dd {

ConnectionString ConnectionString::fromText(const QString &text)
{
    QString catalog, source;
    const QStringList parts = text.split(QLatin1Char(';'));
    for (const QString &part : parts) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed();
        const QString value = part.mid(eq + 1);
        if (key.compare(QLatin1String("Initial Catalog"), Qt::CaseInsensitive) == 0)
            catalog = value;
        else if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            source = value;
    }
    return ConnectionString(text, catalog, source);
}

}  // namespace dd
