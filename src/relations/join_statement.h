#pragma once
// The SELECT that joins the tables of a plan, written like the single
// table's copied SELECT: each chosen table's fields one a line with their
// meanings as comments, each join with the evidence it rests on. A chosen
// table no path reaches is said so in a comment and listed in a SELECT of
// its own.
#include "join_path.h"
#include <QString>

namespace dd::relations {

QString joinStatement(const Relations &relations, const JoinPlan &plan);

}  // namespace dd::relations
