#include "structure_check.h"
#include "catalog/catalog_reader.h"
#include "catalog/drift.h"
#include "data/dictionary_reader.h"
#include "data/object_names.h"
#include "export_job.h"
#include "findings_report.h"
#include "output_file.h"

namespace dd::exporting {

namespace {

// Runs a read, turning its cancelled error into the export's.
template <typename Read>
auto reading(Read read)
{
    try {
        return read();
    } catch (const Error &e) {
        if (DictionaryReader::isCancelled(e))
            throw exportCancelled();
        throw;
    }
}

}  // namespace

CheckResult runCheck(const CheckRequest &request, const CheckProgress &progress,
                     const std::atomic<bool> *cancel)
{
    const auto goOn = [cancel] { return !(cancel && cancel->load()); };
    const Dictionary dictionary = reading([&] {
        return DictionaryReader::read(
            request.source, request.user, request.password,
            [&](int fields) {
                if (progress)
                    progress(false, fields);
                return goOn();
            },
            cancel);
    });
    const catalog::Catalog physical = reading([&] {
        return catalog::CatalogReader::read(
            request.source, request.user, request.password,
            [&](int tables) {
                if (progress)
                    progress(true, tables);
                return goOn();
            },
            cancel);
    });
    if (!goOn())
        throw exportCancelled();

    std::vector<catalog::Finding> findings = catalog::compare(dictionary, physical).findings;
    if (!request.module.isEmpty()) {
        // The module's tables only: the tables nobody documented belong to none.
        selectTables(dictionary, Scope::List, request.module, QString());   // an unknown module throws
        std::vector<catalog::Finding> inModule;
        for (const catalog::Finding &f : findings)
            if (f.dictionaryTable >= 0
                && sameName(dictionary.tables[size_t(f.dictionaryTable)].module, request.module))
                inModule.push_back(f);
        findings = std::move(inModule);
    }
    writeRowsReport(findingsReport(findings, request.heading), request.format, request.output);

    CheckResult result;
    for (const catalog::Finding &f : findings)
        ++(f.level == catalog::Level::Error     ? result.errors
           : f.level == catalog::Level::Warning ? result.warnings
                                                : result.hints);
    return result;
}

}  // namespace dd::exporting
