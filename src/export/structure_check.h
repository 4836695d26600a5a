#pragma once
// One structure check from start to end: the dictionary and the physical
// catalog read on connections of the check's own, compared, and the
// findings written as a report (findings_report.h) in the chosen format.
// Usable on any thread; the command line runs it on its main thread.
#include "data/connection_string.h"
#include "data/error.h"
#include "export_content.h"
#include "rows_report.h"
#include <QString>
#include <atomic>
#include <functional>

namespace dd::exporting {

struct CheckRequest {
    ConnectionString source;   // the account-year database
    QString user, password;
    QString module;            // only this module's tables; empty for the whole dictionary
    ReportFormat format = ReportFormat::Csv;
    QString output;            // a file, or "-" for standard output
    ExportHeading heading;
};

struct CheckResult {
    int errors = 0, warnings = 0, hints = 0;
};

// Told what is being read: the fields of the dictionary, then the tables of the catalog.
using CheckProgress = std::function<void(bool readingCatalog, int done)>;

// Throws Error: a reader's, an unknown module, the file's, or
// exportCancelled() once *cancel is set.
CheckResult runCheck(const CheckRequest &request, const CheckProgress &progress = {},
                     const std::atomic<bool> *cancel = nullptr);

}  // namespace dd::exporting
