// The workbook, written by libxlsxwriter in its constant-memory mode: rows
// go to disk as they are written, so a whole dictionary never sits in memory.
#include "format_writers.h"
#include "output_file.h"
#include "rows_report.h"
#include "data/error.h"
#include <QDir>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>
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

// Owns the workbook until it is closed (assembled and written) or dropped.
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
        if (!book_)
            return;
        // Dropped (stopped or failed): freed without assembling a file. The
        // library closes a sheet's row file only when it assembles the sheet.
        for (lxw_worksheet *sheet : sheets_)
            if (sheet->optimize_tmpfile) {
                std::fclose(sheet->optimize_tmpfile);
                sheet->optimize_tmpfile = nullptr;
                sheet->file = nullptr;
            }
        lxw_workbook_free(book_);
    }
    lxw_workbook *get() const { return book_; }
    lxw_worksheet *addSheet(const QString &name)
    {
        lxw_worksheet *sheet = workbook_add_worksheet(book_, name.toUtf8().constData());
        if (!sheet)
            throw workbookError(LXW_ERROR_MEMORY_MALLOC_FAILED, path_);
        sheets_.push_back(sheet);
        return sheet;
    }
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
    std::vector<lxw_worksheet *> sheets_;
};

class Sheet {
public:
    Sheet(lxw_worksheet *sheet, const QString &path, const XlsxLimits &limits, int &cut)
        : sheet_(sheet), path_(path), limits_(limits), cut_(cut)
    {
    }
    void text(int row, int column, const QString &value, lxw_format *format = nullptr)
    {
        // An empty cell stays empty (a NULL is an empty cell).
        if (value.isEmpty())
            return;
        check(worksheet_write_string(sheet_, lxw_row_t(row), lxw_col_t(column),
                                     fitted(cellText(value)).toUtf8().constData(), format));
    }
    void number(int row, int column, double value)
    {
        check(worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(column), value, nullptr));
    }
    // A link while the sheet has links left, the plain name after.
    void link(int row, int column, const QString &target, const QString &shown, lxw_format *format)
    {
        if (links_ >= limits_.linksPerSheet || shown.isEmpty()) {
            text(row, column, shown);
            return;
        }
        ++links_;
        check(worksheet_write_url_opt(sheet_, lxw_row_t(row), lxw_col_t(column),
                                      target.toUtf8().constData(), format,
                                      fitted(cellText(shown)).toUtf8().constData(), nullptr));
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
    // The text as a cell can hold it: a longer one is cut (never inside a
    // surrogate pair) and marked.
    QString fitted(QString text)
    {
        if (text.size() <= limits_.cellLength)
            return text;
        const QString marker = cutMarker();
        int keep = std::max(0, limits_.cellLength - int(marker.size()));
        if (keep > 0 && text[keep - 1].isHighSurrogate())
            --keep;
        ++cut_;
        text.truncate(keep);
        return text + marker;
    }
    void check(lxw_error error)
    {
        if (error != LXW_NO_ERROR)
            throw workbookError(error, path_);
    }
    lxw_worksheet *sheet_;
    QString path_;
    const XlsxLimits &limits_;
    int &cut_;
    int links_ = 0;
};

// The sheets one list is written on, "字段", "字段(2)", ...: each with the
// heading, the captions and its own filter, rows going on where the last
// sheet is full.
class SheetSeries {
public:
    SheetSeries(Workbook &book, const QString &name, int rows, const XlsxLimits &limits,
                const QString &shownName, int &cut)
        : rowsPerSheet_(std::max(1, limits.rowsPerSheet - kFirstDataRow)), rows_(rows)
    {
        const int count = std::max(1, (rows + rowsPerSheet_ - 1) / rowsPerSheet_);
        for (int i = 0; i < count; ++i) {
            names_ << (i ? QStringLiteral("%1(%2)").arg(name).arg(i + 1) : name);
            sheets_.emplace_back(book.addSheet(names_.back()), shownName, limits, cut);
        }
    }
    void header(const QStringList &captions, const QString &heading, lxw_format *bold,
                const std::vector<double> &widths)
    {
        for (Sheet &s : sheets_)
            s.header(captions, heading, bold, widths);
    }
    // The sheet and its row for the i-th row of the list.
    Sheet &sheetOf(int i) { return sheets_[size_t(i / rowsPerSheet_)]; }
    int rowOf(int i) const { return kFirstDataRow + i % rowsPerSheet_; }
    // "internal:'字段(2)'!A3": where a link to the i-th row goes.
    QString address(int i) const
    {
        return QStringLiteral("internal:'%1'!A%2").arg(names_[i / rowsPerSheet_]).arg(rowOf(i) + 1);
    }
    void filter(int columns)
    {
        for (size_t s = 0; s < sheets_.size(); ++s) {
            const int rowsHere = std::min(rowsPerSheet_, rows_ - int(s) * rowsPerSheet_);
            sheets_[s].filter(kFirstDataRow + rowsHere - 1, columns);
        }
    }

private:
    int rowsPerSheet_, rows_;
    QStringList names_;
    std::vector<Sheet> sheets_;
};

}  // namespace

QString cutMarker() { return QStringLiteral("…（已截断）"); }

int writeXlsx(const QString &path, const QString &shownName, const ExportContent &content,
              const WriteProgress &progress, const XlsxLimits &limits)
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
    int cut = 0;
    // In constant-memory mode rows are written top to bottom, one sheet
    // after the other; the link targets are known beforehand.
    SheetSeries tables(book, QStringLiteral("数据表"), content.tableCount(), limits, shownName, cut);
    SheetSeries fields(book, QStringLiteral("字段"), content.fieldCount(), limits, shownName, cut);

    const QStringList tableExtraColumns = content.tableExtraColumns();
    const QStringList fieldExtraColumns = content.fieldExtraColumns();
    std::vector<double> tableWidths{24, 30, 16, 8}, fieldWidths{24, 30, 16, 6, 24, 36, 16};
    tableWidths.insert(tableWidths.end(), size_t(tableExtraColumns.size()), 12);
    fieldWidths.insert(fieldWidths.end(), size_t(fieldExtraColumns.size()), 16);
    tables.header(tableColumns() + tableExtraColumns, heading, bold, tableWidths);
    int firstField = 0;
    for (int i = 0; i < content.tableCount(); ++i) {
        const DictionaryTable &t = content.table(i);
        Sheet &sheet = tables.sheetOf(i);
        const int row = tables.rowOf(i);
        if (t.fieldCount > 0)
            sheet.link(row, 0, fields.address(firstField), t.name, link);
        else
            sheet.text(row, 0, t.name);
        sheet.text(row, 1, t.description);
        sheet.text(row, 2, t.module);
        sheet.number(row, 3, t.fieldCount);
        const QStringList extras = content.tableExtras(i);
        for (int e = 0; e < extras.size(); ++e)
            sheet.text(row, 4 + e, extras[e]);
        firstField += t.fieldCount;
    }
    tables.filter(4 + int(tableExtraColumns.size()));

    fields.header(fieldColumns() + fieldExtraColumns, heading, bold, fieldWidths);
    const auto &all = content.dictionary->fields;
    int written = 0;
    for (int i = 0; i < content.tableCount(); ++i) {
        const DictionaryTable &t = content.table(i);
        for (int f = t.firstField; f < t.firstField + t.fieldCount; ++f, ++written) {
            const DictionaryField &field = all[f];
            Sheet &sheet = fields.sheetOf(written);
            const int row = fields.rowOf(written);
            sheet.text(row, 0, t.name);
            sheet.text(row, 1, t.description);
            sheet.text(row, 2, t.module);
            sheet.number(row, 3, field.number);
            sheet.text(row, 4, field.name);
            sheet.text(row, 5, field.meaning);
            sheet.text(row, 6, field.type);
            const QStringList extras = content.fieldExtras(f);
            for (int e = 0; e < extras.size(); ++e)
                sheet.text(row, 7 + e, extras[e]);
        }
        if (progress && !progress(written))
            throw exportCancelled();
    }
    fields.filter(7 + int(fieldExtraColumns.size()));
    book.close();
    return cut;
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
    const XlsxLimits limits;
    int cut = 0;
    SheetSeries sheets(book, QStringLiteral("核对结果"), int(report.rows.size()), limits, shownName, cut);
    sheets.header(report.columns, report.heading + QStringLiteral("　") + report.summary, bold,
                  std::vector<double>(size_t(report.columns.size()), 18));
    for (int r = 0; r < int(report.rows.size()); ++r)
        for (int c = 0; c < report.rows[size_t(r)].size(); ++c)
            sheets.sheetOf(r).text(sheets.rowOf(r), c, report.rows[size_t(r)][c]);
    sheets.filter(int(report.columns.size()));
    book.close();
}

}  // namespace dd::exporting
