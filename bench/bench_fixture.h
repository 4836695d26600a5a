#pragma once
#include "dictionary_generator.h"
#include <QString>

namespace bench {

// The benchmarks' dictionary: one account, one year (svdata_001_2009),
// `tables` tables of 30 fields each.
inline bool makeDictionary(const QString &folder, int tables, QString *error)
{
    dictgen::Options o;
    o.accounts = 1;
    o.yearsPerAccount = 1;
    o.tables = tables;
    o.fieldsMin = o.fieldsMax = 30;
    return dictgen::generate(o, folder, error);
}

}  // namespace bench
