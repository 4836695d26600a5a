#include "export_job.h"
#include "catalog/catalog_reader.h"
#include "data/dictionary_reader.h"
#include "physical_facts.h"
#include "data/error.h"
#include "data/object_names.h"
#include "format_writers.h"
#include "output_file.h"
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace dd::exporting {

Error unknownModule(const QString &module)
{
    return Error(3265, QStringLiteral("字典中没有模块【%1】。").arg(module));
}

Error unknownTable(const QString &table)
{
    return Error(3265, QStringLiteral("字典中没有数据表【%1】。").arg(table));
}

std::vector<int> selectTables(const Dictionary &dictionary, Scope scope, const QString &module,
                              const QString &table, int tablePosition)
{
    std::vector<int> list;
    const int count = int(dictionary.tables.size());
    for (int i = 0; i < count; ++i)
        if (scope == Scope::Dictionary || module.isEmpty()
            || sameName(dictionary.tables[i].module, module))
            list.push_back(i);
    if (scope != Scope::Dictionary && !module.isEmpty() && list.empty())
        throw unknownModule(module);
    if (scope != Scope::Table)
        return list;
    if (tablePosition >= 0 && tablePosition < int(list.size())
        && sameName(dictionary.tables[list[tablePosition]].name, table))
        return {list[tablePosition]};
    for (int i : list)
        if (sameName(dictionary.tables[i].name, table))
            return {i};
    throw unknownTable(table);
}

namespace {
void keepListed(const Dictionary &dictionary, const QStringList &listed, std::vector<int> &tables)
{
    QSet<QString> keys;
    for (const QString &name : listed)
        keys.insert(nameKey(name));
    tables.erase(std::remove_if(tables.begin(), tables.end(),
                                [&](int i) { return !keys.contains(nameKey(dictionary.tables[i].name)); }),
                 tables.end());
}
}  // namespace

QString cutCellsNote(const ExportResult &result)
{
    if (result.cutCells == 0)
        return QString();
    return QStringLiteral("有 %1 个单元格的文字超过 Excel 单元格的上限（%2 个字符），已截断，截断处标有“%3”。")
        .arg(result.cutCells)
        .arg(XlsxLimits().cellLength)
        .arg(cutMarker());
}

ExportResult writeExport(const ExportContent &content, Format format, const QString &output,
                         const WriteProgress &progress, const WriteOptions &options)
{
    ExportResult result{content.tableCount(), content.fieldCount(), 0};
    ExportTarget target(output);
    OutputFile out(target.device(), target.shownName());
    switch (format) {
    case Format::Xlsx: {
        // The workbook library writes to a path of its own choosing; the
        // finished workbook is then copied into the target.
        QTemporaryDir folder;
        if (!folder.isValid())
            throw fileError(ENOENT, folder.path());
        const QString workbook = folder.filePath(QStringLiteral("export.xlsx"));
        result.cutCells = writeXlsx(workbook, target.shownName(), content, progress, options.xlsx);
        QFile written(workbook);
        if (!written.open(QIODevice::ReadOnly))
            throw fileError(written, workbook);
        while (!written.atEnd())
            out.write(written.read(1 << 16));
        break;
    }
    case Format::Csv: writeCsv(out, content, progress, options.csvRaw); break;
    case Format::Markdown: writeMarkdown(out, content, progress); break;
    case Format::Html: writeHtml(out, content, progress); break;
    }
    out.finish();
    target.commit();
    return result;
}

ExportResult runExport(const ExportRequest &request, const JobProgress &progress,
                       const std::atomic<bool> *cancel)
{
    const auto stopped = [cancel] { return cancel && cancel->load(); };
    const Dictionary dictionary = DictionaryReader::read(
        request.source, request.user, request.password,
        [&](int fieldsRead) {
            if (progress)
                progress({ExportProgress::Reading, fieldsRead, 0});
            return !stopped();
        },
        cancel);
    if (stopped())
        throw exportCancelled();

    ExportContent content;
    PhysicalFacts facts;
    if (request.physical) {
        catalog::Catalog physical;
        try {
            physical = catalog::CatalogReader::read(
                request.source, request.user, request.password,
                [&](int tablesRead) {
                    if (progress)
                        progress({ExportProgress::ReadingStructure, tablesRead, 0});
                    return !stopped();
                },
                cancel);
        } catch (const Error &e) {
            if (DictionaryReader::isCancelled(e))
                throw exportCancelled();
            throw;
        }
        if (stopped())
            throw exportCancelled();
        facts = physicalFacts(dictionary, physical, catalog::compare(dictionary, physical));
        content.physical = &facts;
    }
    content.dictionary = &dictionary;
    content.tables = selectTables(dictionary, request.scope, request.module, request.table,
                                  request.tablePosition);
    if (request.scope == Scope::List && request.listed)
        keepListed(dictionary, *request.listed, content.tables);
    content.heading = request.heading;
    const int total = content.fieldCount();
    if (progress)
        progress({ExportProgress::Writing, 0, total});
    WriteOptions options;
    options.csvRaw = request.csvRaw;
    return writeExport(
        content, request.format, request.output,
        [&](int written) {
            if (progress)
                progress({ExportProgress::Writing, written, total});
            return !stopped();
        },
        options);
}

}  // namespace dd::exporting
