#include "search_index.h"
#include "pinyin_initials.h"
#include "data/text_fold.h"
#include <QHash>

namespace search {

class SearchIndex::Builder {
public:
    explicit Builder(SearchIndex &index) : index_(index)
    {
        index_.foldedStart_.push_back(0);
        index_.initialsStart_.push_back(0);
    }

    void reserve(qsizetype texts)
    {
        byData_.reserve(texts);
        byFolded_.reserve(texts);
    }

    // The number of a text, adding it when it is new. The reader hands out
    // each distinct text once, shared: most look-ups are by its data's
    // address, without reading the text.
    int textOf(const QString &text)
    {
        const auto shared = byData_.constFind(text.constData());
        if (shared != byData_.constEnd() && shared->first == text.size())
            return shared->second;
        const int id = lookUp(text);
        byData_.insert(text.constData(), {text.size(), id});
        return id;
    }

private:
    int lookUp(const QString &text)
    {
        const QString folded = dd::foldText(text);
        int id;
        const auto same = byFolded_.constFind(folded);
        if (same != byFolded_.constEnd()) {
            id = *same;
        } else {
            id = index_.textCount();
            byFolded_.insert(folded, id);
            index_.folded_ += folded;
            index_.foldedStart_.push_back(quint32(index_.folded_.size()));
            addInitials(folded, id);
        }
        return id;
    }

    void addInitials(const QString &folded, int id)
    {
        std::vector<quint32> &out = index_.initials_;
        const size_t start = out.size();
        bool han = false;
        for (qsizetype i = 0; i < folded.size(); ++i) {
            char32_t c = folded.at(i).unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < folded.size() && folded.at(i + 1).isLowSurrogate())
            {
                c = QChar::surrogateToUcs4(folded.at(i).unicode(), folded.at(i + 1).unicode());
                ++i;
            }
            quint32 mask = pinyinInitials(c);
            if (mask)
                han = true;
            else if (c >= 'a' && c <= 'z')
                mask = 1u << (c - 'a');
            else if (c >= '0' && c <= '9')
                mask = DigitMark | quint32(c - '0');
            out.push_back(mask);
        }
        if (han)
            index_.hanTexts_.push_back(id);
        else
            out.resize(start);
        index_.initialsStart_.push_back(quint32(out.size()));
    }

    SearchIndex &index_;
    QHash<const QChar *, std::pair<qsizetype, int>> byData_;
    QHash<QString, int> byFolded_;
};

std::shared_ptr<const SearchIndex> SearchIndex::build(std::shared_ptr<const dd::Dictionary> dictionary,
                                                      const std::atomic<bool> *cancel)
{
    auto index = std::make_shared<SearchIndex>();
    index->dictionary_ = std::move(dictionary);
    const dd::Dictionary &d = *index->dictionary_;
    Builder builder(*index);
    builder.reserve(qsizetype(d.tables.size() + d.fields.size()));
    index->tableName_.reserve(d.tables.size());
    index->tableDescription_.reserve(d.tables.size());
    for (const dd::DictionaryTable &t : d.tables) {
        index->tableName_.push_back(builder.textOf(t.name));
        index->tableDescription_.push_back(builder.textOf(t.description));
    }
    index->fieldName_.reserve(d.fields.size());
    index->fieldMeaning_.reserve(d.fields.size());
    for (size_t i = 0; i < d.fields.size(); ++i) {
        if (cancel && (i & 0xFFF) == 0 && cancel->load())
            return nullptr;
        index->fieldName_.push_back(builder.textOf(d.fields[i].name));
        index->fieldMeaning_.push_back(builder.textOf(d.fields[i].meaning));
    }
    index->folded_.squeeze();
    index->initials_.shrink_to_fit();
    index->hanTexts_.shrink_to_fit();
    return index;
}

}  // namespace search
