#include "clipboard_text.h"
#include "format_writers.h"
#include <QSet>

namespace dd::exporting {

namespace {

QString tsvValue(const QString &value) { return quotedIfHolding(value, u"\t\n\r\""); }

void tsvLine(QString &out, const QStringList &values)
{
    for (int i = 0; i < values.size(); ++i) {
        if (i)
            out += QLatin1Char('\t');
        out += tsvValue(values[i]);
    }
    out += QStringLiteral("\r\n");
}

// A line break inside a cell is a <br> with the style spreadsheets honour.
QString htmlCell(const QString &value)
{
    QString text = htmlText(value);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("<br style=\"mso-data-placement:same-cell;\">"));
    return text;
}

// Words a name cannot be without brackets (the usual reserved words).
const QSet<QString> &reservedWords()
{
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const char *w :
             {"add", "all", "alter", "and", "any", "as", "asc", "authorization", "backup", "begin",
              "between", "break", "browse", "bulk", "by", "cascade", "case", "check", "checkpoint",
              "close", "clustered", "coalesce", "collate", "column", "commit", "compute",
              "constraint", "contains", "continue", "convert", "create", "cross", "current",
              "cursor", "database", "dbcc", "deallocate", "declare", "default", "delete", "deny",
              "desc", "disk", "distinct", "distributed", "double", "drop", "dump", "else", "end",
              "errlvl", "escape", "except", "exec", "execute", "exists", "exit", "external",
              "fetch", "file", "fillfactor", "for", "foreign", "freetext", "from", "full",
              "function", "goto", "grant", "group", "having", "holdlock", "identity", "if", "in",
              "index", "inner", "insert", "intersect", "into", "is", "join", "key", "kill", "left",
              "like", "lineno", "merge", "national", "nocheck", "nonclustered", "not", "null",
              "nullif", "of", "off", "offsets", "on", "open", "option", "or", "order", "outer",
              "over", "percent", "pivot", "plan", "precision", "primary", "print", "proc",
              "procedure", "public", "raiserror", "read", "readtext", "reconfigure", "references",
              "replication", "restore", "restrict", "return", "revert", "revoke", "right",
              "rollback", "rowcount", "rowguidcol", "rule", "save", "schema", "select",
              "session_user", "set", "setuser", "shutdown", "some", "statistics", "system_user",
              "table", "tablesample", "textsize", "then", "to", "top", "tran", "transaction",
              "trigger", "truncate", "union", "unique", "unpivot", "update", "updatetext", "use",
              "user", "values", "varying", "view", "waitfor", "when", "where", "while", "with",
              "writetext"})
            set.insert(QString::fromLatin1(w));
        return set;
    }();
    return words;
}

bool isRegularName(const QString &name)
{
    if (name.isEmpty())
        return false;
    const QList<uint> points = name.toUcs4();   // CJK extension B is letters too
    const auto letter = [](uint c) { return QChar::isLetter(char32_t(c)) || c == '_'; };
    // A name starting with # or @ would name a temporary table or a variable.
    if (!letter(points.first()))
        return false;
    for (uint c : points)
        if (!(letter(c) || QChar::isNumber(char32_t(c)) || c == '@' || c == '#' || c == '$'))
            return false;
    return !reservedWords().contains(name.toLower());
}

}  // namespace

QString commentText(const QString &text)
{
    QString line = text;
    for (QChar &c : line)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    return line;
}

QString tabSeparated(const CopiedRows &rows, bool withHeaders)
{
    QString out;
    if (withHeaders)
        tsvLine(out, rows.headers);
    for (const QStringList &row : rows.rows)
        tsvLine(out, row);
    return out;
}

QString htmlTable(const CopiedRows &rows, bool withHeaders)
{
    QString out = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><table>");
    if (withHeaders) {
        out += QStringLiteral("<tr>");
        for (const QString &h : rows.headers)
            out += QStringLiteral("<th>") + htmlCell(h) + QStringLiteral("</th>");
        out += QStringLiteral("</tr>");
    }
    for (const QStringList &row : rows.rows) {
        out += QStringLiteral("<tr>");
        for (const QString &v : row)
            out += QStringLiteral("<td style=\"mso-number-format:'\\@'\">") + htmlCell(v)
                   + QStringLiteral("</td>");
        out += QStringLiteral("</tr>");
    }
    return out + QStringLiteral("</table></body></html>");
}

QString sqlName(const QString &name)
{
    if (isRegularName(name))
        return name;
    QString inner = name;
    inner.replace(QLatin1Char(']'), QStringLiteral("]]"));
    return QLatin1Char('[') + inner + QLatin1Char(']');
}

QString selectStatement(const QString &table, const std::vector<SelectField> &all)
{
    // A field without a name cannot be selected.
    std::vector<SelectField> fields;
    for (const SelectField &f : all)
        if (!f.name.isEmpty())
            fields.push_back(f);
    QString out = QStringLiteral("select ");
    if (fields.empty())
        out += QStringLiteral("*\n");
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i)
            out += QStringLiteral("       ");
        out += sqlName(fields[i].name);
        if (i + 1 < fields.size())
            out += QLatin1Char(',');
        const QString comment = commentText(fields[i].meaning);
        if (!comment.isEmpty())
            out += QStringLiteral(" -- ") + comment;
        out += QLatin1Char('\n');
    }
    return out + QStringLiteral("from ") + sqlName(table) + QLatin1Char('\n');
}

}  // namespace dd::exporting
