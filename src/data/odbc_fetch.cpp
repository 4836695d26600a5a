#include "odbc_fetch.h"
#include "error.h"
#include "odbc_diagnostics.h"
#include <QVariant>
#include <algorithm>
#include <vector>

namespace dd {

namespace {

Error statementError(SQLHSTMT statement)
{
    return odbcError(readOdbcDiagnostics(SQL_HANDLE_STMT, statement), QStringLiteral("读取结果失败。"));
}

// One cell as text; a NULL as a null QVariant.
QVariant readCell(SQLHSTMT statement, SQLUSMALLINT column)
{
    SQLWCHAR buffer[512];
    QString value;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN r = SQLGetData(statement, column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
        if (r == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(r))
            throw statementError(statement);
        if (indicator == SQL_NULL_DATA)
            return QVariant();
        const qsizetype capacity = qsizetype(sizeof buffer / sizeof *buffer) - 1;
        const qsizetype available =
            indicator == SQL_NO_TOTAL ? capacity : qMin<qsizetype>(indicator / qsizetype(sizeof(SQLWCHAR)), capacity);
        value += fromOdbcText(buffer, available);
        if (r == SQL_SUCCESS)
            break;  // the whole value has been read
    }
    return value;
}

// Columns of text no wider than this are read many rows at a time.
constexpr SQLLEN kWidestBlockColumn = 4000;  // characters
constexpr size_t kBlockBytes = 256 * 1024;
constexpr SQLULEN kMostRowsPerBlock = 256;

// The widest text each column can show, or 0 when some column has no such
// bound (long texts), in which case rows are read cell by cell.
std::vector<SQLLEN> blockWidths(SQLHSTMT statement, int columns)
{
    std::vector<SQLLEN> widths(columns);
    for (int c = 0; c < columns; ++c) {
        SQLLEN display = 0;
        if (!SQL_SUCCEEDED(SQLColAttributeW(statement, SQLUSMALLINT(c + 1), SQL_DESC_DISPLAY_SIZE,
                                            nullptr, 0, nullptr, &display))
            || display <= 0 || display > kWidestBlockColumn)
            return {};
        widths[c] = display;
    }
    return widths;
}

// On leaving, puts the statement back to one row per fetch with nothing
// bound, however the block read ended.
struct RestoreSingleRowUnbound {
    SQLHSTMT statement;
    ~RestoreSingleRowUnbound()
    {
        SQLFreeStmt(statement, SQL_UNBIND);
        SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
        SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
    }
};

// Reads the rows a block at a time into bound buffers, each cell as wide as
// its column's widest text. false when the driver takes no blocks or the
// first block fails (nothing has been read then).
bool fetchBlocks(SQLHSTMT statement, const std::vector<SQLLEN> &widths, RowStore &rows,
                 const RowSink &sink)
{
    const int columns = int(widths.size());
    size_t rowCharacters = 0;
    for (SQLLEN w : widths)
        rowCharacters += size_t(w + 1);
    const size_t rowBytes = rowCharacters * sizeof(SQLWCHAR) + size_t(columns) * sizeof(SQLLEN);
    const SQLULEN perBlock = std::clamp<SQLULEN>(kBlockBytes / rowBytes, 1, kMostRowsPerBlock);

    // Kept between statements: a fresh quarter megabyte per field query
    // would be fresh pages to fault in each time. Texts and lengths live in
    // arrays of their own type, so every length is aligned as SQLLEN needs.
    static thread_local std::vector<SQLWCHAR> textSpace;
    static thread_local std::vector<SQLLEN> lengthSpace;
    textSpace.resize(std::max(textSpace.size(), size_t(perBlock) * rowCharacters));
    lengthSpace.resize(std::max(lengthSpace.size(), size_t(perBlock) * size_t(columns)));
    std::vector<SQLWCHAR *> text(columns);
    std::vector<SQLLEN *> lengths(columns);
    SQLWCHAR *textAt = textSpace.data();
    for (int c = 0; c < columns; ++c) {
        lengths[c] = lengthSpace.data() + size_t(c) * perBlock;
        text[c] = textAt;
        textAt += perBlock * size_t(widths[c] + 1);
    }

    SQLULEN fetched = 0;
    RestoreSingleRowUnbound restore{statement};
    if (!SQL_SUCCEEDED(SQLSetStmtAttr(statement, SQL_ATTR_ROW_BIND_TYPE,
                                      reinterpret_cast<SQLPOINTER>(SQLULEN(SQL_BIND_BY_COLUMN)), 0))
        || !SQL_SUCCEEDED(SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE,
                                         reinterpret_cast<SQLPOINTER>(perBlock), 0))
        || !SQL_SUCCEEDED(SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0)))
        return false;
    for (int c = 0; c < columns; ++c) {
        const SQLLEN cellBytes = (widths[c] + 1) * SQLLEN(sizeof(SQLWCHAR));
        if (!SQL_SUCCEEDED(SQLBindCol(statement, SQLUSMALLINT(c + 1), SQL_C_WCHAR, text[c], cellBytes,
                                      lengths[c])))
            return false;
    }
    // Blocks need the scrolling fetch: the toolkit's driver speaks the older
    // interface to the driver manager, under which the plain fetch takes
    // one row whatever the block size.
    for (bool first = true;; first = false) {
        fetched = 0;
        const SQLRETURN r = SQLFetchScroll(statement, SQL_FETCH_NEXT, 0);
        if (r == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(r)) {
            if (first)
                return false;  // nothing read: row by row it is
            throw statementError(statement);
        }
        for (SQLULEN row = 0; row < fetched; ++row) {
            for (int c = 0; c < columns; ++c) {
                const SQLLEN length = lengths[c][row];
                if (length == SQL_NULL_DATA) {
                    rows.cells.append(QVariant());
                    continue;
                }
                // A text longer than its column said it could be would be
                // cut here; better no list than a wrong one.
                if (length < 0 || length > widths[c] * SQLLEN(sizeof(SQLWCHAR)))
                    throw Error(errc::ProviderError, QStringLiteral("读取结果失败。"));
                rows.cells.append(
                    fromOdbcText(text[c] + row * size_t(widths[c] + 1), length / SQLLEN(sizeof(SQLWCHAR))));
            }
        }
        if (!handOver(rows, sink, 1))
            throw readStopped();
    }
}

}  // namespace

void fetchOdbcRows(SQLHSTMT statement, RowStore &rows, const RowSink &sink)
{
    const int columns = rows.columnCount();
    const std::vector<SQLLEN> widths = blockWidths(statement, columns);
    if (!widths.empty() && fetchBlocks(statement, widths, rows, sink))
        return;
    for (;;) {
        const SQLRETURN r = SQLFetch(statement);
        if (r == SQL_NO_DATA) {
            if (!handOver(rows, sink, 1))
                throw readStopped();
            return;
        }
        if (!SQL_SUCCEEDED(r))
            throw statementError(statement);
        for (int c = 0; c < columns; ++c)
            rows.cells.append(readCell(statement, SQLUSMALLINT(c + 1)));
        if (!handOver(rows, sink, int(kMostRowsPerBlock)))
            throw readStopped();
    }
}

}  // namespace dd
