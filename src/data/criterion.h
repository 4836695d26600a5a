#pragma once
// The search criteria a recordset's Find takes: "column like 'pattern'" and
// "column='value'". Inside the quotes two apostrophes stand for one; in a
// pattern % and * match any run of characters, every other character (the
// underscore included) matches itself; letter case is ignored.
#include "error.h"
#include <QString>
#include <QStringList>
#include <QVector>

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
    bool matchesFolded(QStringView foldedValue) const;

private:
    bool isLike_ = false;
    QString column_;
    QString value_;             // the comparison value or the whole pattern, folded
    QStringList pieces_;        // a folded pattern split at its wildcards
};

}  // namespace dd
