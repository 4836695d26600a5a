#include "join_statement.h"
#include "export/clipboard_text.h"

namespace dd::relations {

namespace {

using dd::exporting::commentText;
using dd::exporting::sqlName;

QString aliasOf(size_t step)
{
    return step < 26 ? QString(QChar(char16_t(u'a' + step))) : QStringLiteral("t%1").arg(step + 1);
}

QString tableTitle(const DictionaryTable &table)
{
    return table.description.isEmpty() ? table.name
                                       : table.name + QStringLiteral("（") + commentText(table.description) + QStringLiteral("）");
}

}  // namespace

QString joinStatement(const Relations &relations, const JoinPlan &plan)
{
    const Dictionary &d = relations.dictionary();
    QString out;
    if (plan.steps.size() == 1) {
        const DictionaryTable &t = d.tables[size_t(plan.steps.front().table)];
        std::vector<dd::exporting::SelectField> fields;
        for (int f = t.firstField; f < t.firstField + t.fieldCount; ++f)
            fields.push_back({d.fields[size_t(f)].name, d.fields[size_t(f)].meaning});
        out = dd::exporting::selectStatement(t.name, fields);
    } else if (!plan.steps.empty()) {
        std::vector<int> aliasStep(d.tables.size(), -1);
        QStringList columns;   // "a.cInvCode", with the comment kept apart
        QStringList comments;
        for (size_t s = 0; s < plan.steps.size(); ++s) {
            aliasStep[size_t(plan.steps[s].table)] = int(s);
            if (!plan.steps[s].chosen)
                continue;
            const DictionaryTable &t = d.tables[size_t(plan.steps[s].table)];
            for (int f = t.firstField; f < t.firstField + t.fieldCount; ++f) {
                const DictionaryField &field = d.fields[size_t(f)];
                if (field.name.isEmpty())
                    continue;
                columns << aliasOf(s) + QLatin1Char('.') + sqlName(field.name);
                comments << commentText(field.meaning);
            }
        }
        out = QStringLiteral("select ");
        if (columns.isEmpty())
            out += QStringLiteral("*\n");
        for (int i = 0; i < columns.size(); ++i) {
            if (i)
                out += QStringLiteral("       ");
            out += columns[i];
            if (i + 1 < columns.size())
                out += QLatin1Char(',');
            if (!comments[i].isEmpty())
                out += QStringLiteral(" -- ") + comments[i];
            out += QLatin1Char('\n');
        }
        for (size_t s = 0; s < plan.steps.size(); ++s) {
            const JoinPlan::Step &step = plan.steps[s];
            const DictionaryTable &t = d.tables[size_t(step.table)];
            if (s == 0) {
                out += QStringLiteral("from ") + sqlName(t.name) + QLatin1Char(' ') + aliasOf(s) + QStringLiteral(" -- ")
                       + tableTitle(t) + QLatin1Char('\n');
                continue;
            }
            const Link &link = relations.links()[size_t(step.link)];
            const bool isChild = link.child == step.table;
            const int ownField = isChild ? link.childField : link.parentField;
            const int otherField = isChild ? link.parentField : link.childField;
            const int otherTable = isChild ? link.parent : link.child;
            const QString other = aliasOf(size_t(aliasStep[size_t(otherTable)]));
            out += QStringLiteral("     left join ") + sqlName(t.name) + QLatin1Char(' ') + aliasOf(s)
                   + QStringLiteral(" on ") + aliasOf(s) + QLatin1Char('.') + sqlName(d.fields[size_t(ownField)].name)
                   + QStringLiteral(" = ") + other + QLatin1Char('.') + sqlName(d.fields[size_t(otherField)].name)
                   + QStringLiteral(" -- ") + (step.chosen ? QString() : QStringLiteral("经由 ")) + tableTitle(t)
                   + QStringLiteral("；") + evidenceText(link.evidence) + QStringLiteral("，")
                   + confidenceText(link.confidence) + QLatin1Char('\n');
        }
    }
    for (int table : plan.unreachable) {
        const DictionaryTable &t = d.tables[size_t(table)];
        out += QStringLiteral("\n-- 没有找到 ") + commentText(t.name) + QStringLiteral(" 与以上各表在")
               + QString::number(kMaxJoins) + QStringLiteral("次连接以内的关联，单独列出：\n");
        std::vector<dd::exporting::SelectField> fields;
        for (int f = t.firstField; f < t.firstField + t.fieldCount; ++f)
            fields.push_back({d.fields[size_t(f)].name, d.fields[size_t(f)].meaning});
        out += dd::exporting::selectStatement(t.name, fields);
    }
    return out;
}

}  // namespace dd::relations
