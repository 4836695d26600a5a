#include "sql_text.h"
#include <QDate>
#include <QDateTime>
#include <QTime>

namespace tds::sql {

namespace {

bool isWordStart(QChar c) { return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('#'); }
bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#')
           || c == QLatin1Char('$') || c == QLatin1Char('@');
}

// Scans a quoted run starting at i (the opening quote); a doubled closing
// quote stands for itself. Returns the index past the closing quote.
int scanQuoted(const QString &s, int i, QChar close, bool *unterminated)
{
    int j = i + 1;
    while (j < s.size()) {
        if (s.at(j) == close) {
            if (j + 1 < s.size() && s.at(j + 1) == close) {
                j += 2;
                continue;
            }
            return j + 1;
        }
        ++j;
    }
    *unterminated = true;
    return int(s.size());
}

const QStringList &writeVerbs()
{
    static const QStringList verbs = {
        "INSERT", "UPDATE", "DELETE", "MERGE", "REPLACE", "UPSERT", "CREATE", "DROP", "ALTER",
        "TRUNCATE", "GRANT", "REVOKE", "DENY", "BULK", "WRITETEXT", "UPDATETEXT", "DBCC",
        "BACKUP", "RESTORE", "RECONFIGURE", "SHUTDOWN", "KILL", "CHECKPOINT", "ATTACH", "DETACH",
        "VACUUM", "REINDEX", "ANALYZE", "PRAGMA", "RENAME", "DISABLE", "ENABLE", "OPENROWSET",
    };
    return verbs;
}

bool isWriteVerb(const Token &t)
{
    return t.kind == Token::Word && writeVerbs().contains(t.text, Qt::CaseInsensitive);
}

// Words that begin a statement. WITH is not among them: a common table
// expression must follow a semicolon.
bool startsStatement(const Token &t)
{
    static const QStringList starters = {
        "SELECT", "SET", "USE", "EXEC", "EXECUTE", "DECLARE", "IF", "BEGIN", "COMMIT",
        "ROLLBACK", "SAVE", "PRINT", "WHILE", "RETURN", "INSERT", "UPDATE", "DELETE", "MERGE",
        "CREATE", "DROP", "ALTER", "TRUNCATE",
    };
    return t.kind == Token::Word && starters.contains(t.text, Qt::CaseInsensitive);
}

// Statements whose body holds statements of its own (or keywords that also
// begin statements): they run to a semicolon or the end of the batch.
bool runsToTheEnd(const QVector<Token> &tokens, int head)
{
    static const QStringList words = {"CREATE", "ALTER", "MERGE", "GRANT", "REVOKE", "DENY", "IF", "WHILE"};
    const Token &t = tokens[head];
    if (t.kind != Token::Word)
        return false;
    if (t.is("BEGIN"))
        return !(head + 1 < tokens.size()
                 && (tokens[head + 1].is("TRAN") || tokens[head + 1].is("TRANSACTION")
                     || tokens[head + 1].is("DISTRIBUTED")));
    return words.contains(t.text, Qt::CaseInsensitive);
}

// The statement being read while a batch is split, as far as telling where
// the next one begins needs it.
struct OpenStatement {
    int first = -1;      // its first token
    int head = -1;       // the token that decides its kind (past WITH's definitions)
    bool tookPart = false;  // INSERT took its source, UPDATE its SET

    // Does the top-level statement word at i begin the next statement?
    bool endsBefore(const QVector<Token> &tokens, int i)
    {
        const Token &t = tokens[i];
        const Token &previous = tokens[i - 1];
        if (previous.is("UNION") || previous.is("ALL") || previous.is("EXCEPT") || previous.is("INTERSECT")
            || previous.is("FOR") || previous.text == QLatin1String("."))
            return false;
        if (head < 0) {  // WITH ...: the first statement word is its body
            head = i;
            return false;
        }
        const Token &h = tokens[head];
        if (runsToTheEnd(tokens, head))
            return false;
        if (h.is("SET"))
            return i - first >= 2;
        if (!tookPart && ((h.is("INSERT") && (t.is("SELECT") || t.is("EXEC") || t.is("EXECUTE")))
                          || (h.is("UPDATE") && t.is("SET")))) {
            tookPart = true;
            return false;
        }
        return true;
    }
};

// Is there a top-level word among the tokens (from `from` on) that makes
// this statement write?
bool writesAtTopLevel(const QVector<Token> &tokens, int from, bool intoWrites)
{
    int depth = 0;
    for (int i = from; i < tokens.size(); ++i) {
        const Token &t = tokens[i];
        if (t.kind == Token::Symbol && t.text == QLatin1String("("))
            ++depth;
        else if (t.kind == Token::Symbol && t.text == QLatin1String(")"))
            depth = qMax(0, depth - 1);
        else if (depth == 0 && (isWriteVerb(t) || (intoWrites && t.is("INTO"))))
            return true;
    }
    return false;
}

QString sessionFunctionLiteral(const QString &lowerName, const QHash<QString, QString> &values)
{
    static const QHash<QString, QString> functions = {
        {"db_name", "@@db_name"},       {"user_name", "@@user_name"},
        {"suser_sname", "@@login_name"}, {"suser_name", "@@login_name"},
        {"host_name", "@@host_name"},   {"app_name", "@@app_name"},
    };
    const auto it = functions.find(lowerName);
    if (it != functions.end())
        return values.value(it.value());
    if (lowerName == QLatin1String("getdate") || lowerName == QLatin1String("current_timestamp"))
        return QStringLiteral("datetime('now','localtime')");
    return QString();
}

}  // namespace

bool Token::is(const char *keyword) const
{
    return kind == Word && text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

QString Token::value() const
{
    if (kind == String) {
        QString inner = text.mid(national ? 2 : 1);
        if (!unterminated)
            inner.chop(1);
        return inner.replace(QLatin1String("''"), QLatin1String("'"));
    }
    if (kind == QuotedName) {
        const QChar open = text.at(0);
        const QChar close = open == QLatin1Char('[') ? QLatin1Char(']') : open;
        QString inner = text.mid(1);
        if (!unterminated)
            inner.chop(1);
        return inner.replace(QString(2, close), QString(close));
    }
    return text;
}

QVector<Token> tokenize(const QString &s)
{
    QVector<Token> out;
    int i = 0;
    const int n = int(s.size());
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && s.at(i + 1) == QLatin1Char('-')) {
            while (i < n && s.at(i) != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && s.at(i + 1) == QLatin1Char('*')) {
            // T-SQL block comments nest.
            int depth = 0;
            while (i < n) {
                if (s.at(i) == QLatin1Char('/') && i + 1 < n && s.at(i + 1) == QLatin1Char('*')) {
                    ++depth;
                    i += 2;
                } else if (s.at(i) == QLatin1Char('*') && i + 1 < n && s.at(i + 1) == QLatin1Char('/')) {
                    i += 2;
                    if (--depth == 0)
                        break;
                } else {
                    ++i;
                }
            }
            continue;
        }
        Token t;
        t.begin = i;
        if ((c == QLatin1Char('N') || c == QLatin1Char('n')) && i + 1 < n
            && s.at(i + 1) == QLatin1Char('\'')) {
            t.kind = Token::String;
            t.national = true;
            i = scanQuoted(s, i + 1, QLatin1Char('\''), &t.unterminated);
        } else if (c == QLatin1Char('\'')) {
            t.kind = Token::String;
            i = scanQuoted(s, i, QLatin1Char('\''), &t.unterminated);
        } else if (c == QLatin1Char('[')) {
            t.kind = Token::QuotedName;
            i = scanQuoted(s, i, QLatin1Char(']'), &t.unterminated);
        } else if (c == QLatin1Char('"') || c == QLatin1Char('`')) {
            t.kind = Token::QuotedName;
            i = scanQuoted(s, i, c, &t.unterminated);
        } else if (c == QLatin1Char('@')) {
            t.kind = Token::Variable;
            int j = i + 1;
            if (j < n && s.at(j) == QLatin1Char('@'))
                ++j;
            while (j < n && isWordChar(s.at(j)))
                ++j;
            i = j;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit())) {
            t.kind = Token::Number;
            int j = i;
            while (j < n && (s.at(j).isLetterOrNumber() || s.at(j) == QLatin1Char('.')))
                ++j;
            i = j;
        } else if (isWordStart(c)) {
            t.kind = Token::Word;
            int j = i;
            while (j < n && isWordChar(s.at(j)))
                ++j;
            i = j;
        } else {
            t.kind = Token::Symbol;
            ++i;
        }
        t.end = i;
        t.text = s.mid(t.begin, t.end - t.begin);
        out << t;
    }
    return out;
}

QStringList splitBatch(const QString &batch)
{
    const QVector<Token> tokens = tokenize(batch);
    QStringList statements;
    OpenStatement open;
    int depth = 0;
    auto finish = [&](int lastExclusive) {
        if (open.first >= 0 && lastExclusive > open.first) {
            const int begin = tokens[open.first].begin;
            const int end = tokens[lastExclusive - 1].end;
            statements << batch.mid(begin, end - begin);
        }
        open = OpenStatement();
        depth = 0;
    };
    auto begin = [&](int i) {
        open.first = i;
        open.head = tokens[i].is("WITH") ? -1 : i;
    };
    for (int i = 0; i < tokens.size(); ++i) {
        const Token &t = tokens[i];
        if (t.kind == Token::Symbol && t.text == QLatin1String(";") && depth == 0) {
            finish(i);
            continue;
        }
        if (open.first < 0) {
            begin(i);
        } else if (depth == 0 && tokens[open.first].is("USE") && i - open.first >= 2) {
            finish(i);
            begin(i);
        } else if (depth == 0 && startsStatement(t) && open.endsBefore(tokens, i)) {
            finish(i);
            begin(i);
        }
        if (t.kind == Token::Symbol && t.text == QLatin1String("("))
            ++depth;
        else if (t.kind == Token::Symbol && t.text == QLatin1String(")"))
            depth = qMax(0, depth - 1);
    }
    finish(int(tokens.size()));
    return statements;
}

StatementKind classify(const QVector<Token> &tokens)
{
    if (tokens.isEmpty())
        return StatementKind::Empty;
    const Token &t = tokens.first();
    if (t.kind == Token::Symbol && t.text == QLatin1String("("))
        return writesAtTopLevel(tokens, 0, true) ? StatementKind::Write : StatementKind::Query;
    if (t.kind != Token::Word)
        return StatementKind::Other;
    if (t.is("SELECT"))
        return writesAtTopLevel(tokens, 1, true) ? StatementKind::Write : StatementKind::Query;
    if (t.is("WITH"))
        return writesAtTopLevel(tokens, 1, true) ? StatementKind::Write : StatementKind::Query;
    if (t.is("VALUES"))
        return StatementKind::Query;
    if (t.is("SET"))
        return StatementKind::Set;
    if (t.is("USE"))
        return StatementKind::Use;
    if (t.is("COMMIT") || t.is("ROLLBACK") || t.is("SAVE"))
        return StatementKind::Transaction;
    if (t.is("BEGIN") && tokens.size() > 1
        && (tokens[1].is("TRAN") || tokens[1].is("TRANSACTION") || tokens[1].is("DISTRIBUTED")))
        return StatementKind::Transaction;
    if (t.is("EXEC") || t.is("EXECUTE") || t.text.startsWith(QLatin1String("sp_"), Qt::CaseInsensitive)
        || t.text.startsWith(QLatin1String("xp_"), Qt::CaseInsensitive))
        return StatementKind::Procedure;
    if (isWriteVerb(t))
        return StatementKind::Write;
    return StatementKind::Other;
}

const char *kindName(StatementKind kind)
{
    switch (kind) {
    case StatementKind::Empty: return "empty";
    case StatementKind::Query: return "query";
    case StatementKind::Set: return "set";
    case StatementKind::Use: return "use";
    case StatementKind::Transaction: return "transaction";
    case StatementKind::Procedure: return "procedure";
    case StatementKind::Write: return "write";
    case StatementKind::Other: return "other";
    }
    return "?";
}

QString literal(const QVariant &v, bool national)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("NULL");
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::SChar:
        return v.toString();
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(v.toDouble(), 'g', 17);
    case QMetaType::QByteArray:
        return QStringLiteral("X'%1'").arg(QString::fromLatin1(v.toByteArray().toHex()));
    case QMetaType::QDateTime:
        return QStringLiteral("'%1'").arg(v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
    case QMetaType::QDate:
        return QStringLiteral("'%1'").arg(v.toDate().toString(Qt::ISODate));
    case QMetaType::QTime:
        return QStringLiteral("'%1'").arg(v.toTime().toString(QStringLiteral("HH:mm:ss.zzz")));
    default: {
        QString text = v.toString();
        text.replace(QLatin1Char('\''), QLatin1String("''"));
        return (national ? QStringLiteral("N'") : QStringLiteral("'")) + text + QLatin1Char('\'');
    }
    }
}

QStringList declaredParameters(const QString &declarations)
{
    QStringList names;
    const QVector<Token> tokens = tokenize(declarations);
    int depth = 0;
    bool expectName = true;
    for (const Token &t : tokens) {
        if (t.kind == Token::Symbol && t.text == QLatin1String("("))
            ++depth;
        else if (t.kind == Token::Symbol && t.text == QLatin1String(")"))
            depth = qMax(0, depth - 1);
        else if (depth == 0 && t.kind == Token::Symbol && t.text == QLatin1String(","))
            expectName = true;
        else if (expectName && t.kind == Token::Variable) {
            names << t.text;
            expectName = false;
        }
    }
    return names;
}

QHash<QString, QString> declaredTypes(const QString &declarations)
{
    QHash<QString, QString> types;
    const QVector<Token> tokens = tokenize(declarations);
    for (int i = 0; i + 1 < tokens.size(); ++i)
        if (tokens[i].kind == Token::Variable && (i == 0 || tokens[i - 1].text == QLatin1String(",")))
            types.insert(tokens[i].text.toLower(), tokens[i + 1].value().toLower());
    return types;
}

TextKind textKindOf(const QString &typeName)
{
    static const QStringList national = {"nvarchar", "nchar", "ntext", "sysname", "national"};
    static const QStringList narrow = {"varchar", "char", "text", "character"};
    if (national.contains(typeName, Qt::CaseInsensitive))
        return TextKind::National;
    return narrow.contains(typeName, Qt::CaseInsensitive) ? TextKind::Narrow : TextKind::None;
}

QString typedNull(const QString &typeName)
{
    switch (textKindOf(typeName)) {
    case TextKind::National: return QStringLiteral("CAST(NULL AS nvarchar)");
    case TextKind::Narrow: return QStringLiteral("CAST(NULL AS varchar)");
    case TextKind::None: break;
    }
    return QStringLiteral("NULL");
}

namespace {

QString stripNationalPrefixes(const QString &statement)
{
    QString out;
    int copied = 0;
    for (const Token &t : tokenize(statement)) {
        if (t.kind == Token::String && t.national) {
            out += statement.mid(copied, t.begin - copied);
            copied = t.begin + 1;
        }
    }
    return out + statement.mid(copied);
}

}  // namespace

Rewrite rewriteForSqlite(const QString &statement, const QVector<Token> &tokens,
                         const QHash<QString, QString> &values)
{
    Rewrite r;
    QString &out = r.tsql;
    int copied = 0;
    auto replace = [&](int begin, int end, const QString &with) {
        out += statement.mid(copied, begin - copied);
        out += with;
        copied = end;
    };
    for (int i = 0; i < tokens.size(); ++i) {
        const Token &t = tokens[i];
        if (t.kind == Token::Variable) {
            const QString key = t.text.toLower();
            const auto it = values.find(key);
            if (it != values.end())
                replace(t.begin, t.end, it.value());
            else if (r.undeclaredVariable.isEmpty() && !key.startsWith(QLatin1String("@@")))
                r.undeclaredVariable = t.text;
        } else if (t.kind == Token::Word && i + 2 < tokens.size() && tokens[i + 1].text == QLatin1String("(")
                   && tokens[i + 2].text == QLatin1String(")")) {
            const QString with = sessionFunctionLiteral(t.text.toLower(), values);
            if (!with.isEmpty()) {
                replace(t.begin, tokens[i + 2].end, with);
                i += 2;
            }
        }
    }
    out += statement.mid(copied);
    r.text = stripNationalPrefixes(out);
    return r;
}

}  // namespace tds::sql
