#include "error_text.h"
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

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
        if (line == QLatin1String("Timeout expired"))
            line = QStringLiteral("等待服务器响应超时。");
        else if (line == QLatin1String("Communication link failure"))
            line = QStringLiteral("与服务器的连接已断开。");
        if (!lines.contains(line))
            lines << line;
    }
    // The driver manager's generic line says nothing when a real reason follows.
    const QString generic = QStringLiteral("Unable to connect to data source");
    if (lines.size() > 1)
        lines.removeAll(generic);
    // A server that cannot open the login's database follows that reason
    // with a plain login failure, which adds nothing.
    const bool databaseMissing = std::any_of(lines.cbegin(), lines.cend(), [](const QString &l) {
        return l.startsWith(QLatin1String("Cannot open database"));
    });
    if (databaseMissing)
        lines.erase(std::remove_if(lines.begin(), lines.end(), [](const QString &l) {
                        return l.startsWith(QLatin1String("Login failed for user"));
                    }),
                    lines.end());
    return lines.join(QLatin1Char('\n'));
}

QString clientFailureText(long number)
{
    switch (number) {
    case 20009:
    case 20002:
        return QStringLiteral("无法连接到服务器：服务器不存在、未启动或拒绝连接。");
    case 20012:
    case 20013:
        return QStringLiteral("找不到该服务器名称，请检查服务器名。");
    case 20003:
        return QStringLiteral("等待服务器响应超时。");
    case 20004:
    case 20006:
    case 20017:
    case 20047:
        return QStringLiteral("与服务器的连接已断开。");
    default:
        return QString();
    }
}

}  // namespace dd
