#include "criterion.h"

namespace dd {

namespace {

[[noreturn]] void malformed() { throw badArguments(); }

bool isWildcard(QChar c) { return c == QLatin1Char('%') || c == QLatin1Char('*'); }

// Reads a quoted literal starting at text[pos] == '\''; returns its value and
// moves pos past the closing quote.
QString readLiteral(const QString &text, int &pos)
{
    QString value;
    ++pos;
    while (pos < text.size()) {
        const QChar c = text[pos];
        if (c == QLatin1Char('\'')) {
            if (pos + 1 < text.size() && text[pos + 1] == QLatin1Char('\'')) {
                value += c;
                pos += 2;
                continue;
            }
            ++pos;
            return value;
        }
        value += c;
        ++pos;
    }
    malformed();
}

}  // namespace

Criterion Criterion::parse(const QString &text)
{
    Criterion c;
    int pos = 0;
    const int n = text.size();
    auto skipSpace = [&] { while (pos < n && text[pos].isSpace()) ++pos; };

    skipSpace();
    const int nameStart = pos;
    while (pos < n && !text[pos].isSpace() && text[pos] != QLatin1Char('=')
           && text[pos] != QLatin1Char('\''))
        ++pos;
    c.column_ = text.mid(nameStart, pos - nameStart);
    if (c.column_.startsWith(QLatin1Char('[')) && c.column_.endsWith(QLatin1Char(']')))
        c.column_ = c.column_.mid(1, c.column_.size() - 2);
    if (c.column_.isEmpty())
        malformed();

    skipSpace();
    if (pos < n && text[pos] == QLatin1Char('=')) {
        ++pos;
    } else if (text.mid(pos, 4).compare(QLatin1String("like"), Qt::CaseInsensitive) == 0
               && pos + 4 < n && (text[pos + 4].isSpace() || text[pos + 4] == QLatin1Char('\''))) {
        c.isLike_ = true;
        pos += 4;
    } else {
        malformed();
    }
    skipSpace();
    if (pos >= n || text[pos] != QLatin1Char('\''))
        malformed();
    c.value_ = fold(readLiteral(text, pos));
    skipSpace();
    if (pos != n)
        malformed();

    if (c.isLike_) {
        QString piece;
        for (const QChar ch : c.value_) {
            if (isWildcard(ch)) {
                c.pieces_ << piece;
                piece.clear();
            } else {
                piece += ch;
            }
        }
        c.pieces_ << piece;
        c.prefixOnly_ = c.pieces_.size() == 2 && c.pieces_.back().isEmpty();
    }
    return c;
}

QString Criterion::fold(const QString &text)
{
    QString folded = text;
    char16_t *out = reinterpret_cast<char16_t *>(folded.data());
    const int n = folded.size();
    for (int i = 0; i < n; ++i) {
        if (QChar::isHighSurrogate(out[i]) && i + 1 < n && QChar::isLowSurrogate(out[i + 1])) {
            const char32_t c = QChar::surrogateToUcs4(out[i], out[i + 1]);
            const char32_t f = QChar::toCaseFolded(c);
            if (QChar::requiresSurrogates(f)) {
                out[i] = QChar::highSurrogate(f);
                out[i + 1] = QChar::lowSurrogate(f);
            }
            ++i;
            continue;
        }
        const char32_t f = QChar::toCaseFolded(char32_t(out[i]));
        if (!QChar::requiresSurrogates(f))
            out[i] = char16_t(f);
    }
    return folded;
}

bool Criterion::matchesPattern(QStringView value) const
{
    if (!isLike_ || pieces_.size() == 1)
        return value == value_;

    // First piece anchored at the start, last at the end, the ones between
    // found left to right.
    const QString &first = pieces_.front();
    const QString &last = pieces_.back();
    if (!value.startsWith(first))
        return false;
    qsizetype from = first.size();
    for (int i = 1; i + 1 < pieces_.size(); ++i) {
        const QString &piece = pieces_[i];
        if (piece.isEmpty())
            continue;
        const qsizetype at = value.indexOf(piece, from);
        if (at < 0)
            return false;
        from = at + piece.size();
    }
    return value.size() - from >= last.size() && value.endsWith(last);
}

}  // namespace dd
