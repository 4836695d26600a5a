#include "dictionary.h"

namespace dd {

std::vector<int> Dictionary::tablesOfModule(const QString &module) const
{
    std::vector<int> found;
    for (int i = 0; i < int(tables.size()); ++i)
        if (tables[size_t(i)].module == module)
            found.push_back(i);
    return found;
}

}  // namespace dd
