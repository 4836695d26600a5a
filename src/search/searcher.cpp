#include "searcher.h"
#include "data/text_fold.h"
#include <algorithm>

namespace search {

namespace {

// How a text matches a term (flags).
enum Kind : quint8 { Exact = 1, Prefix = 2, Contains = 4, InInitials = 8 };

constexpr int kRecentTerms = 8;

// The rank of a match kind in a name column and in a meaning column.
Rank nameRank(quint8 kind)
{
    return kind & Exact ? ExactName : kind & Prefix ? NamePrefix : kind & Contains ? Substring
           : kind & InInitials ? Initials : NoMatch;
}

Rank meaningRank(quint8 kind)
{
    return kind & Exact ? ExactMeaning : kind & (Prefix | Contains) ? Substring
           : kind & InInitials ? Initials : NoMatch;
}

bool isLatinOrDigits(const QString &term)
{
    for (QChar c : term)
        if (!((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))))
            return false;
    return true;
}

// The term's letters and digits as the masks SearchIndex::initials uses.
std::vector<quint32> termMasks(const QString &term)
{
    std::vector<quint32> masks;
    for (QChar c : term)
        masks.push_back(c.isDigit() ? SearchIndex::DigitMark | quint32(c.unicode() - '0')
                                    : 1u << (c.unicode() - 'a'));
    return masks;
}

bool initialsContain(const quint32 *seq, int length, const std::vector<quint32> &term)
{
    const int n = int(term.size());
    for (int start = 0; start + n <= length; ++start) {
        int i = 0;
        for (; i < n; ++i) {
            const quint32 want = term[i];
            const quint32 have = seq[start + i];
            if (want & SearchIndex::DigitMark ? have != want : (have & SearchIndex::DigitMark) || !(have & want))
                break;
        }
        if (i == n)
            return true;
    }
    return false;
}

Rank worse(Rank a, Rank b)
{
    return a == NoMatch || b == NoMatch ? NoMatch : std::max(a, b);
}

}  // namespace

struct Searcher::TermMatch {
    QString term;
    std::vector<quint8> kinds;  // per text
    std::vector<qint32> texts;  // the texts that match at all
};

QStringList queryTerms(const QString &query)
{
    QStringList terms;
    const QString folded = dd::foldText(query);
    qsizetype start = -1;
    for (qsizetype i = 0; i <= folded.size(); ++i) {
        const bool space = i == folded.size() || folded.at(i).isSpace();
        if (space && start >= 0) {
            terms << folded.mid(start, i - start);
            start = -1;
        } else if (!space && start < 0) {
            start = i;
        }
    }
    return terms;
}

Searcher::Searcher(std::shared_ptr<const SearchIndex> index) : index_(std::move(index)) {}

Searcher::~Searcher() = default;

std::shared_ptr<const Searcher::TermMatch> Searcher::match(const QString &term)
{
    // The narrowest earlier match of a part of this term: only its texts can match.
    std::shared_ptr<const TermMatch> within;
    for (auto it = recent_.begin(); it != recent_.end(); ++it) {
        if ((*it)->term == term) {
            auto found = *it;
            recent_.erase(it);
            recent_.push_back(found);
            return found;
        }
        if (term.contains((*it)->term) && (!within || (*it)->texts.size() < within->texts.size()))
            within = *it;
    }

    auto m = std::make_shared<TermMatch>();
    m->term = term;
    const int count = index_->textCount();
    m->kinds.assign(size_t(count), 0);
    const bool pinyin = isLatinOrDigits(term);
    const std::vector<quint32> masks = pinyin ? termMasks(term) : std::vector<quint32>();
    auto look = [&](int text) {
        const QStringView folded = index_->folded(text);
        const qsizetype at = folded.indexOf(QStringView(term));
        quint8 kind = 0;
        if (at == 0)
            kind = folded.size() == term.size() ? Exact : Prefix;
        else if (at > 0)
            kind = Contains;
        else if (pinyin) {
            int length = 0;
            const quint32 *seq = index_->initials(text, &length);
            if (length >= int(masks.size()) && initialsContain(seq, length, masks))
                kind = InInitials;
        }
        if (kind) {
            m->kinds[size_t(text)] = kind;
            m->texts.push_back(text);
        }
    };
    if (within && within->texts.size() < size_t(count) / 8) {
        for (qint32 text : within->texts)
            look(text);
    } else {
        scanAll(*m, pinyin, masks);
    }

    if (int(recent_.size()) >= kRecentTerms)
        recent_.erase(recent_.begin());
    recent_.push_back(m);
    return m;
}

// Every text at once: one pass of the term over all folded texts laid end
// to end (each occurrence mapped to its text), then the initials of the
// texts that hold Han characters and did not match already.
void Searcher::scanAll(TermMatch &m, bool pinyin, const std::vector<quint32> &masks) const
{
    const QStringView all = index_->foldedAll();
    const QStringView term(m.term);
    const int count = index_->textCount();
    qsizetype from = 0;
    int text = 0;  // occurrences come in order: the text they lie in only moves on
    while (from <= all.size() - term.size()) {
        const qsizetype at = all.indexOf(term, from);
        if (at < 0)
            break;
        while (text + 1 < count && index_->foldedEnd(text) <= at)
            ++text;
        const qsizetype end = index_->foldedEnd(text);
        if (at + term.size() > end) {  // runs on into the next text
            from = at + 1;
            continue;
        }
        const qsizetype begin = index_->foldedBegin(text);
        m.kinds[size_t(text)] = at > begin ? Contains : end - begin == term.size() ? Exact : Prefix;
        from = end;  // the first occurrence in a text is the one that counts
    }
    if (pinyin) {
        for (qint32 text : index_->hanTexts()) {
            if (m.kinds[size_t(text)])
                continue;
            int length = 0;
            const quint32 *seq = index_->initials(text, &length);
            if (length >= int(masks.size()) && initialsContain(seq, length, masks))
                m.kinds[size_t(text)] = InInitials;
        }
    }
    for (int t = 0; t < count; ++t)
        if (m.kinds[size_t(t)])
            m.texts.push_back(t);
}

std::vector<Hit> Searcher::find(const QString &query)
{
    const QStringList terms = queryTerms(query);
    if (terms.isEmpty())
        return {};
    std::vector<std::shared_ptr<const TermMatch>> matches;
    for (const QString &term : terms) {
        matches.push_back(match(term));
        if (matches.back()->texts.empty())
            return {};
    }

    const dd::Dictionary &d = index_->dictionary();
    const int tableCount = int(d.tables.size());
    // Each term's best rank on each table's own texts.
    std::vector<std::vector<quint8>> tableRanks(matches.size());
    for (size_t k = 0; k < matches.size(); ++k) {
        const std::vector<quint8> &kinds = matches[k]->kinds;
        tableRanks[k].resize(size_t(tableCount));
        for (int t = 0; t < tableCount; ++t)
            tableRanks[k][t] = std::min(nameRank(kinds[index_->tableName(t)]),
                                        meaningRank(kinds[index_->tableDescription(t)]));
    }

    std::vector<Hit> buckets[RankCount][2];  // [rank][0: tables, 1: fields]
    for (int t = 0; t < tableCount; ++t) {
        Rank rank = ExactName;
        for (size_t k = 0; k < matches.size() && rank != NoMatch; ++k)
            rank = worse(rank, Rank(tableRanks[k][t]));
        if (rank != NoMatch)
            buckets[rank][0].push_back({t, -1, rank});
    }
    const int fieldCount = int(d.fields.size());
    for (int f = 0; f < fieldCount; ++f) {
        const int table = d.fields[f].table;
        Rank rank = ExactName;
        bool own = false;
        for (size_t k = 0; k < matches.size() && rank != NoMatch; ++k) {
            const std::vector<quint8> &kinds = matches[k]->kinds;
            const Rank self = std::min(nameRank(kinds[index_->fieldName(f)]),
                                       meaningRank(kinds[index_->fieldMeaning(f)]));
            own = own || self != NoMatch;
            rank = worse(rank, self != NoMatch ? self : Rank(tableRanks[k][table]));
        }
        if (rank != NoMatch && own)
            buckets[rank][1].push_back({table, f, rank});
    }

    std::vector<Hit> hits;
    size_t total = 0;
    for (auto &rank : buckets)
        total += rank[0].size() + rank[1].size();
    hits.reserve(total);
    for (auto &rank : buckets)
        for (auto &kind : rank)
            hits.insert(hits.end(), kind.begin(), kind.end());
    return hits;
}

}  // namespace search
