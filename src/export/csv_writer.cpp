#include "format_writers.h"
#include "output_file.h"
#include <algorithm>

namespace dd::exporting {

QString quotedIfHolding(const QString &value, QStringView special)
{
    const bool quote = std::any_of(value.begin(), value.end(),
                                   [&](QChar c) { return special.contains(c); });
    if (!quote)
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString spreadsheetSafe(const QString &value)
{
    if (value.isEmpty() || !QStringView(u"=+-@\t\r").contains(value.front()))
        return value;
    return QLatin1Char('\'') + value;
}

QString csvValue(const QString &value, bool raw)
{
    return quotedIfHolding(raw ? value : spreadsheetSafe(value), u",\"\r\n");
}

namespace {
void writeRow(OutputFile &out, const QStringList &values, bool raw)
{
    QString line;
    for (int i = 0; i < values.size(); ++i) {
        if (i)
            line += QLatin1Char(',');
        line += csvValue(values[i], raw);
    }
    line += QStringLiteral("\r\n");
    out.write(line);
}
}  // namespace

void writeCsv(OutputFile &out, const ExportContent &content, const WriteProgress &progress,
              bool raw)
{
    out.write(QByteArray("\xEF\xBB\xBF"));
    writeRow(out, fieldColumns() + content.fieldExtraColumns(), raw);
    const auto &fields = content.dictionary->fields;
    int written = 0;
    for (int i = 0; i < content.tableCount(); ++i) {
        const DictionaryTable &t = content.table(i);
        for (int f = t.firstField; f < t.firstField + t.fieldCount; ++f) {
            const DictionaryField &field = fields[f];
            writeRow(out, QStringList{t.name, t.description, t.module, QString::number(field.number),
                                      field.name, field.meaning, field.type}
                              + content.fieldExtras(f),
                     raw);
        }
        written += t.fieldCount;
        if (progress && !progress(written))
            throw exportCancelled();
    }
}

}  // namespace dd::exporting
