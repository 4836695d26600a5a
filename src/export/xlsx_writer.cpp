// The workbook, written by libxlsxwriter in its constant-memory mode: rows
// go to disk as they are written, so a whole dictionary never sits in memory.
#include "format_writers.h"
#include "output_file.h"
#include "rows_report.h"
#include "data/error.h"
#include <QDir>
#include <cerrno>
#include <xlsxwriter.h>

namespace dd::exporting {

namespace {

constexpr int kHeadingRow = 0;   // the account, the year and the time
constexpr int kHeaderRow = 1;    // the bold captions
constexpr int kFirstDataRow = 2;

// A line break in a cell is a line feed, as a spreadsheet makes one; a
// carriage return would be kept as an escape that readers show as it is.
QString cellText(const QString &value)
{
    if (!value.contains(QLatin1Char('\r')))
        return value;
    QString text = value;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

Error workbookError(lxw_error error, const QString &path)
{
    if (error == LXW_ERROR_CREATING_XLSX_FILE || error == LXW_ERROR_CREATING_TMPFILE
        || error == LXW_ERROR_ZIP_FILE_OPERATION || error == LXW_ERROR_ZIP_CLOSE)
        return fileError(errno ? errno : EIO, path);
    return Error(75, QStringLiteral("无法写入【%1】：%2")
                         .arg(QDir::toNativeSeparators(path), QString::fromUtf8(lxw_strerror(error))));
}

// Owns the workbook until it is closed (written) or dropped unwritten.
class Workbook {
public:
    // Written to path; failures name shownName, the file the user chose.
    Workbook(const QString &path, const QString &shownName)
        : path_(shownName), file_(QFile::encodeName(path))
    {
        tmpdir_ = QFile::encodeName(QDir::tempPath());
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = tmpdir_.data();
        options.use_zip64 = LXW_TRUE;
        book_ = workbook_new_opt(file_.constData(), &options);
        if (!book_)
            throw fileError(errno ? errno : ENOMEM, path_);
    }
    ~Workbook()
    {
        if (book_) {
            // Closing is the only way to free it; the unfinished file is
            // the temporary one, removed by its owner.
            workbook_close(book_);
        }
    }
    lxw_workbook *get() const { return book_; }
    void close()
    {
        errno = 0;
        const lxw_error error = workbook_close(book_);
        book_ = nullptr;
        if (error != LXW_NO_ERROR)
            throw workbookError(error, path_);
    }

private:
    QString path_;
    QByteArray file_, tmpdir_;
    lxw_workbook *book_ = nullptr;
};

class Sheet {
public:
    Sheet(lxw_worksheet *sheet, const QString &path) : sheet_(sheet), path_(path) {}
    void text(int row, int column, const QString &value, lxw_format *format = nullptr)
    {
        // An empty cell stays empty (a NULL is an empty cell).
        if (value.isEmpty())
            return;
        check(worksheet_write_string(sheet_, lxw_row_t(row), lxw_col_t(column),
                                     cellText(value).toUtf8().constData(), format));
    }
    void number(int row, int column, double value)
    {
        check(worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(column), value, nullptr));
    }
    void link(int row, int column, const QString &target, const QString &shown, lxw_format *format)
    {
        check(worksheet_write_url_opt(sheet_, lxw_row_t(row), lxw_col_t(column),
                                      target.toUtf8().constData(), format,
                                      shown.toUtf8().constData(), nullptr));
    }
    void header(const QStringList &captions, const QString &heading, lxw_format *bold,
                const std::vector<double> &widths)
    {
        for (int c = 0; c < int(widths.size()); ++c)
            worksheet_set_column(sheet_, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr);
        worksheet_freeze_panes(sheet_, kFirstDataRow, 0);
        // Printed: landscape, as wide as a page, the captions on every page.
        worksheet_set_landscape(sheet_);
        worksheet_fit_to_pages(sheet_, 1, 0);
        worksheet_repeat_rows(sheet_, kHeaderRow, kHeaderRow);
        text(kHeadingRow, 0, heading);
        for (int c = 0; c < captions.size(); ++c)
            text(kHeaderRow, c, captions[c], bold);
    }
    void filter(int lastRow, int columns)
    {
        check(worksheet_autofilter(sheet_, kHeaderRow, 0, lxw_row_t(std::max(lastRow, kHeaderRow)),
                                   lxw_col_t(columns - 1)));
    }

private:
    void check(lxw_error error)
    {
        if (error != LXW_NO_ERROR)
            throw workbookError(error, path_);
    }
    lxw_worksheet *sheet_;
    QString path_;
};

}  // namespace

void writeXlsx(const QString &path, const QString &shownName, const ExportContent &content,
               const WriteProgress &progress)
{
    Workbook book(path, shownName);
    lxw_workbook *wb = book.get();
    lxw_format *bold = workbook_add_format(wb);
    format_set_bold(bold);
    lxw_format *link = workbook_add_format(wb);
    format_set_underline(link, LXW_UNDERLINE_SINGLE);
    format_set_font_color(link, LXW_COLOR_BLUE);

    const QByteArray title = documentTitle(content.heading).toUtf8();
    const QByteArray comments = headingLine(content.heading).toUtf8();
    lxw_doc_properties properties{};
    properties.title = const_cast<char *>(title.constData());
    properties.comments = const_cast<char *>(comments.constData());
    workbook_set_properties(wb, &properties);

    const QString heading = headingLine(content.heading);
    const QString fieldSheetName = QStringLiteral("字段");
    // In constant-memory mode rows are written top to bottom, one sheet
    // after the other; the link targets are known beforehand.
    Sheet tables(workbook_add_worksheet(wb, "数据表"), shownName);
    Sheet fieldSheet(workbook_add_worksheet(wb, fieldSheetName.toUtf8().constData()), shownName);

    const QStringList tableExtraColumns = content.tableExtraColumns();
    const QStringList fieldExtraColumns = content.fieldExtraColumns();
    std::vector<double> tableWidths{24, 30, 16, 8}, fieldWidths{24, 30, 16, 6, 24, 36, 16};
    tableWidths.insert(tableWidths.end(), size_t(tableExtraColumns.size()), 12);
    fieldWidths.insert(fieldWidths.end(), size_t(fieldExtraColumns.size()), 16);
    tables.header(tableColumns() + tableExtraColumns, heading, bold, tableWidths);
    int fieldRow = kFirstDataRow;
    for (int i = 0; i < content.tableCount(); ++i) {
        const DictionaryTable &t = content.table(i);
        const int row = kFirstDataRow + i;
        if (t.fieldCount > 0)
            tables.link(row, 0, QStringLiteral("internal:'%1'!A%2").arg(fieldSheetName).arg(fieldRow + 1),
                        t.name, link);
        else
            tables.text(row, 0, t.name);
        tables.text(row, 1, t.description);
        tables.text(row, 2, t.module);
        tables.number(row, 3, t.fieldCount);
        const QStringList extras = content.tableExtras(i);
        for (int e = 0; e < extras.size(); ++e)
            tables.text(row, 4 + e, extras[e]);
        fieldRow += t.fieldCount;
    }
    tables.filter(kFirstDataRow + content.tableCount() - 1, 4 + int(tableExtraColumns.size()));

    fieldSheet.header(fieldColumns() + fieldExtraColumns, heading, bold, fieldWidths);
    const auto &fields = content.dictionary->fields;
    int row = kFirstDataRow;
    int written = 0;
    for (int i = 0; i < content.tableCount(); ++i) {
        const DictionaryTable &t = content.table(i);
        for (int f = t.firstField; f < t.firstField + t.fieldCount; ++f, ++row) {
            const DictionaryField &field = fields[f];
            fieldSheet.text(row, 0, t.name);
            fieldSheet.text(row, 1, t.description);
            fieldSheet.text(row, 2, t.module);
            fieldSheet.number(row, 3, field.number);
            fieldSheet.text(row, 4, field.name);
            fieldSheet.text(row, 5, field.meaning);
            fieldSheet.text(row, 6, field.type);
            const QStringList extras = content.fieldExtras(f);
            for (int e = 0; e < extras.size(); ++e)
                fieldSheet.text(row, 7 + e, extras[e]);
        }
        written += t.fieldCount;
        if (progress && !progress(written))
            throw exportCancelled();
    }
    fieldSheet.filter(row - 1, 7 + int(fieldExtraColumns.size()));
    book.close();
}

}  // namespace dd::exporting

namespace dd::exporting {

void writeXlsxRows(const QString &path, const QString &shownName, const RowsReport &report)
{
    Workbook book(path, shownName);
    lxw_workbook *wb = book.get();
    lxw_format *bold = workbook_add_format(wb);
    format_set_bold(bold);
    const QByteArray title = report.title.toUtf8();
    lxw_doc_properties properties{};
    properties.title = const_cast<char *>(title.constData());
    workbook_set_properties(wb, &properties);

    // The summary beside the heading, on the row above the captions.
    Sheet sheet(workbook_add_worksheet(wb, nullptr), shownName);
    sheet.header(report.columns, report.heading + QStringLiteral("　") + report.summary, bold,
                 std::vector<double>(size_t(report.columns.size()), 18));
    int row = kFirstDataRow;
    for (const QStringList &values : report.rows) {
        for (int c = 0; c < values.size(); ++c)
            sheet.text(row, c, values[c]);
        ++row;
    }
    sheet.filter(row - 1, int(report.columns.size()));
}

}  // namespace dd::exporting
