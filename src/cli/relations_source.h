#pragma once
// What the relations and join commands share: the dictionary of the
// account-year database and its catalog, read, and the links built from
// them. A catalog the server will not give is left out (the links then
// rest on the dictionary alone), and said so on standard error.
#include "account_options.h"
#include "data/background_work.h"
#include "relations/relations.h"
#include <memory>

namespace dd::cli {

std::shared_ptr<const relations::Relations> readRelations(const AccountTarget &target, BackgroundWork &work);

}  // namespace dd::cli
