#include "result_typing.h"

namespace tds {

namespace {

bool isSymbol(const sql::Token &t, const char *s) { return t.kind == sql::Token::Symbol && t.text == QLatin1String(s); }

// Index of the ")" that closes the "(" at open (or the end).
int closing(const QVector<sql::Token> &tokens, int open)
{
    int depth = 0;
    for (int i = open; i < tokens.size(); ++i) {
        if (isSymbol(tokens[i], "("))
            ++depth;
        else if (isSymbol(tokens[i], ")") && --depth == 0)
            return i;
    }
    return int(tokens.size());
}

TextSource::Kind kindOfTypeName(const QString &typeName)
{
    switch (sql::textKindOf(typeName)) {
    case sql::TextKind::National: return TextSource::National;
    case sql::TextKind::Narrow: return TextSource::Narrow;
    case sql::TextKind::None: break;
    }
    return TextSource::Unknown;
}

TextSource::Kind expressionKind(const QVector<sql::Token> &e, TextType textType, const ColumnLookup &isColumn)
{
    bool national = false, narrow = false;
    auto count = [&](TextSource::Kind k) {
        national = national || k == TextSource::National;
        narrow = narrow || k == TextSource::Narrow;
    };
    for (int i = 0; i < e.size(); ++i) {
        const sql::Token &t = e[i];
        const bool call = i + 1 < e.size() && isSymbol(e[i + 1], "(");
        if (t.kind == sql::Token::String) {
            count(t.national ? TextSource::National : TextSource::Narrow);
        } else if (call && t.is("CAST")) {
            // CAST(x AS type): the type alone decides.
            const int end = closing(e, i + 1);
            for (int j = i + 2, depth = 0; j < end; ++j) {
                if (isSymbol(e[j], "("))
                    ++depth;
                else if (isSymbol(e[j], ")"))
                    --depth;
                else if (depth == 0 && e[j].is("AS") && j + 1 < end)
                    count(kindOfTypeName(e[j + 1].value()));
            }
            i = end;
        } else if (!call && (t.kind == sql::Token::Word || t.kind == sql::Token::QuotedName)
                   && !(i + 1 < e.size() && isSymbol(e[i + 1], ".")) && isColumn(t.value())) {
            count(isNationalColumn(t.value(), textType) ? TextSource::National : TextSource::Narrow);
        }
    }
    return national ? TextSource::National : narrow ? TextSource::Narrow : TextSource::Unknown;
}

}  // namespace

bool isNationalColumn(const QString &column, TextType textType)
{
    return textColumnType(ColumnType::NVarChar, column, textType) == ColumnType::NVarChar;
}

QVector<TextSource> selectListSources(const QVector<sql::Token> &tokens, TextType textType,
                                      const ColumnLookup &isColumn)
{
    QVector<TextSource> sources;
    const auto items = selectList(tokens);
    if (!items)
        return sources;
    for (const SelectItem &item : *items) {
        TextSource s;
        const auto column = plainColumnName(item.expression);
        if (column && isColumn(*column)) {
            s.kind = TextSource::TableColumn;
            s.column = *column;
        } else {
            s.kind = expressionKind(item.expression, textType, isColumn);
        }
        sources << s;
    }
    return sources;
}

}  // namespace tds
