#pragma once
// The search criteria a recordset's Find takes: "column like 'pattern'" and
// "column='value'". Inside the quotes two apostrophes stand for one; in a
// pattern % and * match any run of characters, every other character (the
// underscore included) matches itself; letter case is ignored.
#include "error.h"
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstring>

namespace dd {

class Criterion {
public:
    // Throws Error on a malformed criterion.
    static Criterion parse(const QString &text);

    const QString &column() const { return column_; }
    bool matches(const QString &value) const { return matchesFolded(fold(value)); }

    // The text with every character case-folded on its own, the length kept:
    // comparing folded texts exactly is comparing the originals ignoring case.
    static QString fold(const QString &text);
    // For many values against one criterion: the value already folded.
    bool matchesFolded(QStringView foldedValue) const
    {
        if (prefixOnly_)  // what typing in a name box asks, row after row
            return foldedValue.size() >= value_.size() - 1
                   && std::memcmp(foldedValue.data(), value_.data(), (value_.size() - 1) * sizeof(QChar)) == 0;
        return matchesPattern(foldedValue);
    }

private:
    bool matchesPattern(QStringView foldedValue) const;

    bool isLike_ = false;
    bool prefixOnly_ = false;   // a pattern with one wildcard, at its end
    QString column_;
    QString value_;             // the comparison value or the whole pattern, folded
    QStringList pieces_;        // a folded pattern split at its wildcards
};

}  // namespace dd
