#pragma once
// Answers a query over a SearchIndex: which tables and fields match, best
// first.
//
// The query is split at spaces; every term must match the same row. A term
// matches a text when the folded text contains it (data/text_fold.h), or, for a
// term of Latin letters and digits, when the text's pinyin initials contain
// it (a Han character matches by any of its readings). A table row is a hit
// when every term matches its name or description; a field row when every
// term matches its name, meaning, or its table's name or description, and
// at least one term matches the field itself.
//
// Order: by rank (the row's weakest term; a term counts where it matches
// best on the field itself, else on its table), table rows before field rows of one rank, then dictionary
// order (tables in the table list's order, fields in FieldID order).
#include "search_index.h"
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace search {

enum Rank : quint8 {
    ExactName = 0,      // a field or table name equal to the term
    NamePrefix = 1,     // a name that starts with it
    ExactMeaning = 2,   // a meaning or description equal to it
    Substring = 3,      // any text that contains it
    Initials = 4,       // pinyin initials that contain it
    RankCount = 5,
    NoMatch = 0xFF
};

// One row of the results: a table, or one field of it.
struct Hit {
    int table = -1;
    int field = -1;  // index into Dictionary::fields; -1 for the table itself
    Rank rank = NoMatch;
    bool isTable() const { return field < 0; }
};

// The terms of a query: folded, split at white space.
QStringList queryTerms(const QString &query);

class Searcher {
public:
    explicit Searcher(std::shared_ptr<const SearchIndex> index);
    ~Searcher();

    std::vector<Hit> find(const QString &query);
    const SearchIndex &index() const { return *index_; }

private:
    struct TermMatch;
    std::shared_ptr<const TermMatch> match(const QString &term);
    void scanAll(TermMatch &m, bool pinyin, const std::vector<quint32> &masks) const;

    std::shared_ptr<const SearchIndex> index_;
    // The terms of the last few queries: typing on narrows the texts a
    // term's match was found in instead of looking at every text again.
    std::vector<std::shared_ptr<const TermMatch>> recent_;
};

}  // namespace search
