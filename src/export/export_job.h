#pragma once
// One export from start to end: the dictionary is read once on a connection
// of the export's own (the shared dictionary reader), the chosen tables are
// picked out and the file is written beside its target and renamed over it.
// Usable on any thread; the windows and the command line run it as a
// BackgroundWork (data/background_work.h).
#include "data/connection_string.h"
#include "data/error.h"
#include "export_content.h"
#include "export_format.h"
#include "format_writers.h"
#include <QString>
#include <QStringList>
#include <optional>
#include <atomic>
#include <functional>

namespace dd::exporting {

// 当前表, 当前列表, 整个字典
enum class Scope { Table, List, Dictionary };

struct ExportRequest {
    ConnectionString source;   // the account-year database
    QString user, password;
    Scope scope = Scope::Dictionary;
    QString module;            // Scope::List: the module shown; empty for every module
    // Scope::List, when the list is filtered where it is shown (隐藏空表):
    // the names it lists; only those tables are written.
    std::optional<QStringList> listed;
    QString table;             // Scope::Table: the current table's name ...
    int tablePosition = -1;    // ... and its 0-based position in the list, when known
    Format format = Format::Xlsx;
    QString output;            // a file, or "-" for standard output
    ExportHeading heading;
    bool csvRaw = false;       // CSV: every cell as it is, without the guard for spreadsheets
    bool physical = false;     // the database's own facts beside the dictionary's
};

// How a format is written.
struct WriteOptions {
    bool csvRaw = false;
    XlsxLimits xlsx;
};

// What an export wrote.
struct ExportResult {
    int tables = 0;
    int fields = 0;
    int cutCells = 0;   // xlsx: cells whose text was cut at Excel's limit
};
// The user's note on cells cut at Excel's limit; empty when none was.
QString cutCellsNote(const ExportResult &result);

struct ExportProgress {
    enum Stage { Reading, Writing, ReadingStructure } stage = Reading;
    int done = 0;    // fields read or written; tables read while reading the structure
    int total = 0;   // fields to write; 0 while reading
};
using JobProgress = std::function<void(const ExportProgress &)>;

// Throws Error: the reader's, an unknown module or table, the file's. Once
// *cancel is set it stops at its next step and throws; whatever it throws
// then, the caller knows it was cancelled by its flag, not by the error.
// Inside a BackgroundWork, pass work.token().flag(): the statement running
// is then cancelled too.
ExportResult runExport(const ExportRequest &request, const JobProgress &progress = {},
                       const std::atomic<bool> *cancel = nullptr);

// The tables of `dictionary` that a scope takes, in the dictionary's order.
// Throws Error naming a module or table the dictionary does not have.
std::vector<int> selectTables(const Dictionary &dictionary, Scope scope, const QString &module,
                              const QString &table, int tablePosition = -1);

// Writes content in a format to `output` (see ExportTarget).
ExportResult writeExport(const ExportContent &content, Format format, const QString &output,
                         const WriteProgress &progress = {}, const WriteOptions &options = {});

Error unknownModule(const QString &module);
Error unknownTable(const QString &table);

}  // namespace dd::exporting
