#include "sqlite_errors.h"
#include <QRegularExpression>

namespace tds {

namespace {
QString capture(const QString &text, const char *pattern)
{
    const QRegularExpression re(QString::fromLatin1(pattern), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1) : QString();
}
}  // namespace

ServerMessage fromSqliteError(const QString &text, const QVector<sql::Token> &statement,
                              const QString &catalog)
{
    QString name;
    if (!(name = capture(text, "no such table: (.+)$")).isEmpty())
        return messages::invalidObject(name.startsWith(QLatin1String("main."), Qt::CaseInsensitive)
                                           ? name.mid(5) : name);
    if (!(name = capture(text, "no such column: (.+)$")).isEmpty())
        return messages::invalidColumn(name);
    if (!(name = capture(text, "ambiguous column name: (.+)$")).isEmpty())
        return messages::ambiguousColumn(name);
    if (!(name = capture(text, "no such function: (.+)$")).isEmpty())
        return messages::unknownFunction(name);
    if (!(name = capture(text, "near \"(.*)\": syntax error")).isEmpty())
        return messages::incorrectSyntax(name);
    if (!(name = capture(text, "unrecognized token: \"(.*)\"")).isEmpty()) {
        if (name.startsWith(QLatin1Char('\'')))
            return messages::unclosedQuotation(name.mid(1));
        return messages::incorrectSyntax(name);
    }
    if (text.contains(QLatin1String("incomplete input"), Qt::CaseInsensitive))
        return messages::incorrectSyntax(statement.isEmpty() ? QString() : statement.last().text);
    if (text.contains(QLatin1String("readonly database"), Qt::CaseInsensitive)
        || text.contains(QLatin1String("read-only"), Qt::CaseInsensitive))
        return messages::readOnlyDatabase(catalog);
    return messages::cannotRun(text);
}

}  // namespace tds
