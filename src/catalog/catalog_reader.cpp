#include "catalog_reader.h"
#include "data/error.h"

namespace dd::catalog {

Catalog CatalogReader::read(const ConnectionString &, const QString &, const QString &,
                            const Progress &, const std::atomic<bool> *cancel)
{
    if (cancel && cancel->load())
        throw readStopped();
    return Catalog();
}

}  // namespace dd::catalog
