#pragma once
// One line of the test server's statement log: tab-separated fields, with
// backslash, tab, CR and LF inside a field written as \\ \t \r \n.
//
//   time  session  catalog  request  procedure  outcome  text
//
// request:  login | batch | rpc | attention | transaction
// outcome:  ok | error <number> | refused | unanswered | dropped
#include <QString>
#include <QStringList>

namespace tdslog {

enum Field { Time, Session, Catalog, Request, Procedure, Outcome, Text, FieldCount };

inline QString escapeField(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        default: out += c;
        }
    }
    return out;
}

inline QString unescapeField(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        if (s.at(i) != QLatin1Char('\\') || i + 1 == s.size()) {
            out += s.at(i);
            continue;
        }
        const QChar n = s.at(++i);
        out += n == QLatin1Char('t') ? QChar('\t') : n == QLatin1Char('n') ? QChar('\n')
             : n == QLatin1Char('r') ? QChar('\r') : n;
    }
    return out;
}

inline QString formatLine(const QStringList &fields)
{
    QStringList escaped;
    for (const QString &f : fields)
        escaped << escapeField(f);
    return escaped.join(QLatin1Char('\t'));
}

}  // namespace tdslog
