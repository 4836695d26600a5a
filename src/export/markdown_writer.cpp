#include "format_writers.h"
#include "output_file.h"

namespace dd::exporting {

// Inline text that renders as itself in the common dialects: every mark
// that can start emphasis, code, a link, strike-through, raw HTML or a
// heading is escaped, line breaks become <br>, so a value never ends a
// table row or a heading. `~` is written as a character reference, since
// not every reader takes \~ for an escape.
QString markdownText(const QString &value)
{
    QString out;
    out.reserve(value.size() + 8);
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        switch (c.unicode()) {
        case '\r':
            if (i + 1 < value.size() && value[i + 1] == QLatin1Char('\n'))
                ++i;
            Q_FALLTHROUGH();
        case '\n':
            out += QStringLiteral("<br>");
            break;
        case '\t':   // Markdown turns a raw tab into spaces
            out += QStringLiteral("&#9;");
            break;
        case '~':
            out += QStringLiteral("&#126;");
            break;
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        case '-': case '+':   // a list item or a rule only where a text starts
            if (i == 0)
                out += QLatin1Char('\\');
            out += c;
            break;
        case '\\': case '|': case '*': case '_': case '`': case '[': case ']': case '#':
            out += QLatin1Char('\\');
            out += c;
            break;
        default:
            out += c;
        }
    }
    return out;
}

namespace {

QString row(const QStringList &cells)
{
    QString line = QStringLiteral("|");
    for (const QString &cell : cells)
        line += QLatin1Char(' ') + cell + QStringLiteral(" |");
    return line + QLatin1Char('\n');
}

QString rule(int columns)
{
    QString line = QStringLiteral("|");
    for (int i = 0; i < columns; ++i)
        line += QStringLiteral(" --- |");
    return line + QLatin1Char('\n');
}

QString moduleTitle(const QString &module)
{
    return module.isEmpty() ? QStringLiteral("（未指定模块）") : markdownText(module);
}

}  // namespace

void writeMarkdown(OutputFile &out, const ExportContent &content, const WriteProgress &progress)
{
    const auto groups = groupByModule(content);
    out.write(QStringLiteral("# ") + markdownText(documentTitle(content.heading)) + QStringLiteral("\n\n")
              + markdownText(headingLine(content.heading)) + QStringLiteral("\n\n"));

    const QStringList tableHead = tableColumns() + content.tableExtraColumns();
    out.write(QStringLiteral("## 数据表\n\n") + row(tableHead) + rule(tableHead.size()));
    for (int i = 0; i < content.tableCount(); ++i) {
        const DictionaryTable &t = content.table(i);
        QStringList cells{markdownText(t.name), markdownText(t.description), markdownText(t.module),
                          QString::number(t.fieldCount)};
        for (const QString &extra : content.tableExtras(i))
            cells << markdownText(extra);
        out.write(row(cells));
    }
    out.write("\n");

    const QStringList columns = fieldColumns().mid(3) + content.fieldExtraColumns();
    const auto &fields = content.dictionary->fields;
    int written = 0;
    for (const ModuleGroup &group : groups) {
        out.write(QStringLiteral("## ") + moduleTitle(group.module) + QStringLiteral("\n\n"));
        for (int position : group.positions) {
            const DictionaryTable &t = content.table(position);
            QString text = QStringLiteral("### ") + markdownText(t.name);
            if (!t.description.isEmpty())
                text += QLatin1Char(' ') + markdownText(t.description);
            text += QStringLiteral("\n\n");
            // A table without fields gets a line, not a pipe table without rows.
            if (t.fieldCount == 0)
                text += QStringLiteral("（无字段）\n");
            else
                text += row(columns) + rule(columns.size());
            for (int f = t.firstField; f < t.firstField + t.fieldCount; ++f) {
                const DictionaryField &field = fields[f];
                QStringList cells{QString::number(field.number), markdownText(field.name),
                                  markdownText(field.meaning), markdownText(field.type)};
                for (const QString &extra : content.fieldExtras(f))
                    cells << markdownText(extra);
                text += row(cells);
            }
            text += QLatin1Char('\n');
            out.write(text);
            written += t.fieldCount;
            if (progress && !progress(written))
                throw exportCancelled();
        }
    }
}

}  // namespace dd::exporting
