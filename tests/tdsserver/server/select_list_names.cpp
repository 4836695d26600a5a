#include "select_list_names.h"

namespace tds {

namespace {

bool isSymbol(const sql::Token &t, const char *s) { return t.kind == sql::Token::Symbol && t.text == QLatin1String(s); }
bool isName(const sql::Token &t) { return t.kind == sql::Token::Word || t.kind == sql::Token::QuotedName; }

bool endsSelectList(const sql::Token &t)
{
    static const char *const words[] = {"FROM", "INTO", "WHERE", "GROUP", "ORDER", "HAVING", "UNION",
                                        "EXCEPT", "INTERSECT", "LIMIT", "WINDOW"};
    for (const char *w : words)
        if (t.is(w))
            return true;
    return isSymbol(t, ";");
}

// The item less its alias: "expr AS name" or "expr name".
SelectItem withoutAlias(const QVector<sql::Token> &item)
{
    for (int i = 0, depth = 0; i < item.size(); ++i) {
        if (isSymbol(item[i], "("))
            ++depth;
        else if (isSymbol(item[i], ")"))
            --depth;
        else if (depth == 0 && item[i].is("AS"))
            return {item.mid(0, i), true};
    }
    if (item.size() >= 2 && isName(item.last()) && !item.last().is("END") && !item.last().is("NULL")
        && !item.last().is("NOCASE")) {
        const sql::Token &before = item[item.size() - 2];
        if (before.kind != sql::Token::Symbol || isSymbol(before, ")"))
            return {item.mid(0, item.size() - 1), true};
    }
    return {item, false};
}

}  // namespace

std::optional<QString> plainColumnName(const QVector<sql::Token> &expression)
{
    bool plain = !expression.isEmpty() && expression.size() % 2 == 1;
    for (int i = 0; plain && i < expression.size(); ++i)
        plain = (i % 2 == 0) ? isName(expression[i]) : isSymbol(expression[i], ".");
    if (plain)
        return expression.last().value();
    return std::nullopt;
}

std::optional<QVector<SelectItem>> selectList(const QVector<sql::Token> &tokens)
{
    int i = 0, depth = 0;
    for (; i < tokens.size(); ++i) {
        if (isSymbol(tokens[i], "("))
            ++depth;
        else if (isSymbol(tokens[i], ")"))
            --depth;
        else if (depth == 0 && tokens[i].is("SELECT"))
            break;
    }
    if (i == tokens.size())
        return std::nullopt;
    ++i;
    if (i < tokens.size() && (tokens[i].is("DISTINCT") || tokens[i].is("ALL")))
        ++i;
    QVector<SelectItem> items;
    QVector<sql::Token> item;
    depth = 0;
    for (; i <= tokens.size(); ++i) {
        const bool end = i == tokens.size() || (depth == 0 && endsSelectList(tokens[i]));
        if (end || (depth == 0 && isSymbol(tokens[i], ","))) {
            int itemDepth = 0;
            for (const sql::Token &t : item) {
                if (isSymbol(t, "("))
                    ++itemDepth;
                else if (isSymbol(t, ")"))
                    --itemDepth;
                else if (itemDepth == 0 && isSymbol(t, "*"))
                    return std::nullopt;
            }
            if (item.isEmpty())
                return std::nullopt;
            items << withoutAlias(item);
            item.clear();
            if (end)
                break;
            continue;
        }
        if (isSymbol(tokens[i], "("))
            ++depth;
        else if (isSymbol(tokens[i], ")"))
            --depth;
        item << tokens[i];
    }
    return items;
}

std::optional<QVector<std::optional<QString>>> selectListNames(const QVector<sql::Token> &tokens)
{
    const auto items = selectList(tokens);
    if (!items)
        return std::nullopt;
    QVector<std::optional<QString>> names;
    for (const SelectItem &item : *items) {
        if (item.aliased)
            names << std::nullopt;  // SQLite already uses it
        else
            names << plainColumnName(item.expression).value_or(QString());
    }
    return names;
}

}  // namespace tds
