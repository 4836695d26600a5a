#include "error_text.h"
#include <QRegularExpression>
#include <QStringList>

namespace dd {

QString cleanDriverMessage(const QString &raw)
{
    static const QRegularExpression prefixes(QStringLiteral("^(\\s*\\[[^\\]]*\\])+\\s*"));
    static const QRegularExpression sqlState(QStringLiteral("^\\(?[0-9A-Z]{5}\\)?\\s*[:-]?\\s*$"));
    // Several diagnostic records arrive on separate lines or each starting
    // with its own bracketed prefix.
    QString text = raw;
    text.replace(QRegularExpression(QStringLiteral("\\s*(\\[[^\\]]*\\]){2,}")),
                 QStringLiteral("\n"));
    QStringList lines;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line.remove(prefixes);
        line = line.trimmed();
        if (line.isEmpty() || sqlState.match(line).hasMatch())
            continue;
        if (!lines.contains(line))
            lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace dd
