#pragma once
// The way to join tables a user chose: from the first chosen table, each
// further chosen table is reached by the cheapest path of at most three
// joins from the tables joined so far. Declared and 高 links cost least,
// 中 more; a table the catalog says is empty costs extra as a table passed
// through. 低 links are never used.
#include "relations.h"
#include <vector>

namespace dd::relations {

struct JoinPlan {
    struct Step {
        int table = -1;
        int link = -1;   // index into Relations::links(): joins table to one before it; -1 for the first
        bool chosen = true;   // false for a table only passed through
    };
    std::vector<Step> steps;        // in join order
    std::vector<int> unreachable;   // chosen tables no path of three joins or fewer reaches
};

constexpr int kMaxJoins = 3;

// chosen: Dictionary::tables indexes (repeats are ignored).
JoinPlan planJoin(const Relations &relations, const std::vector<int> &chosen);

}  // namespace dd::relations
