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
    bool matches(const QString &value) const;

private:
    bool isLike_ = false;
    QString column_;
    QString value_;             // the comparison value, or the whole pattern
    QStringList pieces_;        // a pattern split at its wildcards
};

}  // namespace dd
