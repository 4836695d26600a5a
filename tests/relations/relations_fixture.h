#pragma once
// Dictionaries and catalogs for the links' tests, from the generator's
// table rows: a dictionary as the reader gives it, and a catalog declaring
// the keys given.
#include "catalog/catalog.h"
#include "data/dictionary.h"
#include "dictionary_generator.h"
#include "erp_sample.h"
#include <memory>

namespace reltest {

std::shared_ptr<const dd::Dictionary> dictionaryOf(const QVector<dictgen::TableRow> &tables);
std::shared_ptr<const dd::catalog::Catalog> catalogOf(const QVector<dictgen::TableRow> &tables,
                                                      const QVector<dictgen::DeclaredKey> &keys);

}  // namespace reltest
