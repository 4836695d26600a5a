#pragma once
// What a dictionary-wide search looks at, made once per loaded dictionary:
// every distinct name, meaning and description once, folded (data/text_fold.h),
// with the pinyin initials of those that hold Han characters; every table
// and field refers to its texts by number. Searches then compare each
// distinct text once, however many fields share it.
#include "data/dictionary.h"
#include <QString>
#include <QStringView>
#include <atomic>
#include <memory>
#include <vector>

namespace search {

class SearchIndex {
public:
    // Builds the index of a dictionary (on any thread); nullptr when
    // *cancel turned true meanwhile.
    static std::shared_ptr<const SearchIndex> build(std::shared_ptr<const dd::Dictionary> dictionary,
                                                    const std::atomic<bool> *cancel = nullptr);

    const dd::Dictionary &dictionary() const { return *dictionary_; }
    const std::shared_ptr<const dd::Dictionary> &sharedDictionary() const { return dictionary_; }

    int textCount() const { return int(foldedStart_.size()) - 1; }
    QStringView folded(int text) const
    {
        return QStringView(folded_).mid(foldedStart_[text], foldedStart_[text + 1] - foldedStart_[text]);
    }
    // Every folded text, one after the other: text i spans
    // [foldedBegin(i), foldedEnd(i)).
    QStringView foldedAll() const { return folded_; }
    qsizetype foldedBegin(int text) const { return foldedStart_[text]; }
    qsizetype foldedEnd(int text) const { return foldedStart_[text + 1]; }
    // The texts that hold Han characters (those with initials).
    const std::vector<qint32> &hanTexts() const { return hanTexts_; }
    // One mask per character of the folded text: a Han character's initials
    // (pinyin_initials.h), a letter's own bit, DigitMark | value for a
    // digit, 0 for anything else. Empty for texts without Han characters.
    static constexpr quint32 DigitMark = 0x80000000u;
    const quint32 *initials(int text, int *length) const
    {
        *length = int(initialsStart_[text + 1] - initialsStart_[text]);
        return initials_.data() + initialsStart_[text];
    }

    int tableName(int table) const { return tableName_[table]; }
    int tableDescription(int table) const { return tableDescription_[table]; }
    int fieldName(int field) const { return fieldName_[field]; }
    int fieldMeaning(int field) const { return fieldMeaning_[field]; }

private:
    class Builder;
    std::shared_ptr<const dd::Dictionary> dictionary_;
    QString folded_;                    // every distinct folded text, one after another
    std::vector<quint32> foldedStart_;  // text i is folded_[start[i], start[i + 1])
    std::vector<quint32> initials_;
    std::vector<quint32> initialsStart_;
    std::vector<qint32> hanTexts_;
    std::vector<qint32> tableName_, tableDescription_, fieldName_, fieldMeaning_;
};

}  // namespace search
