#include "physical_tables.h"
#include <QAtomicInt>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <functional>
#include <random>

namespace dictgen {

namespace {

struct Rng {
    explicit Rng(quint32 seed) : engine(seed) {}
    int below(int n) { return n <= 0 ? 0 : int(engine() % quint32(n)); }
    bool percent(int p) { return below(100) < p; }
    std::mt19937 engine;
};

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// A documented type that names no SQL Server type (free text, empty) gets
// a plain text column.
QString columnType(const QString &documented)
{
    static const QRegularExpression sqlType(QStringLiteral(
        "^(bigint|int|smallint|tinyint|bit|money|smallmoney|float|real|datetime|smalldatetime|date|"
        "timestamp|uniqueidentifier|text|ntext|image|(n?(var)?char|(var)?binary)\\s*\\(\\s*(\\d+|max)\\s*\\)|"
        "(decimal|numeric)\\s*\\(\\s*\\d+\\s*(,\\s*\\d+\\s*)?\\))$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString t = documented.trimmed();
    return sqlType.match(t).hasMatch() ? t.toLower() : QStringLiteral("nvarchar(50)");
}

int textLength(const QString &type)
{
    static const QRegularExpression length(QStringLiteral("char\\s*\\(\\s*(\\d+)"));
    const QRegularExpressionMatch m = length.match(type);
    if (type.contains(QLatin1String("(max)")))
        return 4000;
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QVariant valueFor(const QString &declared, const QString &meaning, int row)
{
    QString type = declared;
    type.remove(QStringLiteral(" identity"));
    if (type.startsWith(QLatin1String("timestamp")) || type.contains(QLatin1String("binary"))
        || type == QLatin1String("image"))
        return QVariant(QMetaType(QMetaType::QByteArray));
    if (type == QLatin1String("bit"))
        return row % 2;
    if (type == QLatin1String("tinyint"))
        return row % 250;
    if (type.endsWith(QLatin1String("int")))
        return row;
    if (type.contains(QLatin1String("date")))
        return QStringLiteral("2011-%1-%2 00:00:00")
            .arg(row % 12 + 1, 2, 10, QLatin1Char('0'))
            .arg(row % 28 + 1, 2, 10, QLatin1Char('0'));
    if (type.startsWith(QLatin1String("decimal")) || type.startsWith(QLatin1String("numeric"))
        || type.contains(QLatin1String("money")) || type == QLatin1String("float")
        || type == QLatin1String("real"))
        return row * 12.5;
    const int length = textLength(type);
    const QString number = QString::number(row);
    if (length > 0 && length < number.size() + 2)
        return number.right(length);
    const QString text = meaning.isEmpty() ? QStringLiteral("值") : meaning;
    return (text.left(qMax(0, (length > 0 ? length : 40) - number.size())) + number);
}

struct PhysicalColumn {
    QString name, type, meaning;
};

// One table's physical form.
struct Plan {
    QString name;
    QVector<PhysicalColumn> columns;
    bool primaryKey = false;   // on the first column
    bool index = false;        // on the second column
    bool view = false;         // a view over another table's columns
    int rows = 0;
    QString foreignColumn, foreignTable;  // one declared foreign key
};

bool exec(QSqlDatabase &db, const QString &sql, QString *error)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    if (error)
        *error = q.lastError().text() + QStringLiteral(" in: ") + sql;
    return false;
}

bool create(QSqlDatabase &db, const Plan &plan, QString *error)
{
    QStringList parts;
    for (int c = 0; c < plan.columns.size(); ++c) {
        const PhysicalColumn &col = plan.columns[c];
        // SQLite takes (max) only in a quoted type name.
        const QString type = col.type.contains(QLatin1String("(max)")) ? quoted(col.type) : col.type;
        QString part = quoted(col.name) + QLatin1Char(' ') + type;
        if (c == 0 && plan.primaryKey)
            part += QStringLiteral(" not null primary key");
        if (col.name == plan.foreignColumn)
            part += QStringLiteral(" references %1").arg(quoted(plan.foreignTable));
        parts << part;
    }
    if (!exec(db, QStringLiteral("create table %1 (%2)").arg(quoted(plan.name), parts.join(QStringLiteral(", "))),
              error))
        return false;
    if (plan.index && plan.columns.size() > 1
        && !exec(db, QStringLiteral("create index %1 on %2 (%3)")
                         .arg(quoted(QStringLiteral("ix_") + plan.name), quoted(plan.name),
                              quoted(plan.columns[1].name)),
                 error))
        return false;
    if (plan.rows == 0)
        return true;
    QStringList marks;
    for (int c = 0; c < plan.columns.size(); ++c)
        marks << QStringLiteral("?");
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("insert into %1 values (%2)").arg(quoted(plan.name), marks.join(QLatin1Char(','))));
    for (int r = 1; r <= plan.rows; ++r) {
        for (int c = 0; c < plan.columns.size(); ++c)
            insert.bindValue(c, valueFor(plan.columns[c].type, plan.columns[c].meaning, r));
        if (!insert.exec()) {
            if (error)
                *error = insert.lastError().text();
            return false;
        }
    }
    return true;
}

bool writeTables(QSqlDatabase &db, const QVector<TableRow> &tables, const PhysicalOptions &options,
                 QString *error)
{
    Rng rnd(options.seed);
    // The dictionary's own tables are already there; a name listed twice
    // gets one table.
    QSet<QString> taken = {QStringLiteral("rpt_grpdef"), QStringLiteral("rpt_itmdef")};
    QVector<Plan> plans;
    QHash<QString, int> primaryKeyOf;   // folded column name -> plan whose key it is
    for (const TableRow &t : tables) {
        if (t.name.trimmed().isEmpty() || taken.contains(t.name.trimmed().toCaseFolded()))
            continue;
        taken.insert(t.name.trimmed().toCaseFolded());
        Plan plan;
        plan.name = t.name.trimmed();
        QSet<QString> names;
        for (const FieldRow &f : t.fields) {
            const QString name = f.name.trimmed();
            if (name.isEmpty() || names.contains(name.toCaseFolded()))
                continue;
            names.insert(name.toCaseFolded());
            plan.columns.append({name, columnType(f.type), f.meaning});
        }
        if (plan.columns.isEmpty())
            plan.columns.append({QStringLiteral("ID"), QStringLiteral("int"), QString()});
        const QString &firstType = plan.columns.first().type;
        plan.primaryKey = rnd.percent(70)
                          && (firstType.endsWith(QLatin1String("int")) || textLength(firstType) >= 5);
        plan.index = rnd.percent(30);
        plan.rows = rnd.percent(options.filledPercent) ? 1 + rnd.below(rnd.percent(20) ? 300 : 40) : 0;
        if (firstType == QLatin1String("tinyint"))
            plan.rows = qMin(plan.rows, 250);
        if (plan.primaryKey && !primaryKeyOf.contains(plan.columns.first().name.toCaseFolded()))
            primaryKeyOf.insert(plan.columns.first().name.toCaseFolded(), int(plans.size()));
        plans.append(plan);
    }

    // Two declared foreign keys: a code column named as another table's
    // primary key.
    int foreignKeys = 0;
    for (int p = 0; p < plans.size() && foreignKeys < 2; ++p) {
        for (int c = 1; c < plans[p].columns.size(); ++c) {
            const auto target = primaryKeyOf.constFind(plans[p].columns[c].name.toCaseFolded());
            if (target == primaryKeyOf.constEnd() || *target == p
                || plans[*target].columns.first().type != plans[p].columns[c].type
                || !plans[p].columns[c].type.startsWith(QLatin1String("nvarchar")))
                continue;
            plans[p].foreignColumn = plans[p].columns[c].name;
            plans[p].foreignTable = plans[*target].name;
            ++foreignKeys;
            break;
        }
    }

    // A little drift of every kind, on tables spread over the list (each on
    // a table of its own, none on a table with a declared foreign key).
    QSet<int> missing;
    QVector<int> asViews;
    if (options.drift && plans.size() >= 8) {
        const int n = int(plans.size());
        QSet<int> used;
        for (int p = 0; p < n; ++p)
            if (!plans[p].foreignTable.isEmpty()) {
                used.insert(p);
                for (int q = 0; q < n; ++q)
                    if (plans[q].name == plans[p].foreignTable)
                        used.insert(q);
            }
        auto pick = [&](int from, const std::function<bool(const Plan &)> &fits) {
            for (int k = 0; k < n; ++k) {
                const int p = (from + k) % n;
                if (!used.contains(p) && fits(plans[p])) {
                    used.insert(p);
                    return p;
                }
            }
            return -1;
        };
        auto any = [](const Plan &) { return true; };
        auto severalColumns = [](const Plan &p) { return p.columns.size() > 1; };
        const int gone = pick(n / 7, any);                       // a documented table missing
        if (gone >= 0)
            missing.insert(gone);
        const int short_ = pick(n / 5, [](const Plan &p) { return p.columns.size() > 2; });
        if (short_ >= 0)
            plans[short_].columns.removeLast();                  // a documented field missing
        const int extended = pick(n / 3, any);                   // undocumented columns
        if (extended >= 0) {
            plans[extended].columns.append({QStringLiteral("cUserDefine1"), QStringLiteral("nvarchar(60)"),
                                            QStringLiteral("用户自定义")});
            plans[extended].columns.append({QStringLiteral("dModifyTime"), QStringLiteral("datetime"), QString()});
        }
        const int retyped = pick(2 * n / 3, [](const Plan &p) {  // a type that differs
            for (const PhysicalColumn &c : p.columns)
                if (c.type.startsWith(QLatin1String("nvarchar(")) && textLength(c.type) > 0)
                    return true;
            return false;
        });
        if (retyped >= 0)
            for (PhysicalColumn &c : plans[retyped].columns)
                if (c.type.startsWith(QLatin1String("nvarchar(")) && textLength(c.type) > 0) {
                    c.type = QStringLiteral("nvarchar(%1)").arg(textLength(c.type) * 2);
                    break;
                }
        const int view = pick(3 * n / 4, severalColumns);        // a documented table that is a view
        if (view >= 0)
            asViews << view;
    }

    for (int p = 0; p < plans.size(); ++p) {
        if (missing.contains(p) || asViews.contains(p))
            continue;
        if (!create(db, plans[p], error))
            return false;
    }
    for (int p : asViews) {
        // The view shows the documented columns of a table of its own.
        Plan base = plans[p];
        base.name += QStringLiteral("_data");
        base.rows = 5;
        base.foreignColumn.clear();
        if (!create(db, base, error))
            return false;
        QStringList columns;
        for (const PhysicalColumn &c : plans[p].columns)
            columns << quoted(c.name);
        if (!exec(db, QStringLiteral("create view %1 as select %2 from %3")
                          .arg(quoted(plans[p].name), columns.join(QStringLiteral(", ")), quoted(base.name)),
                  error))
            return false;
    }
    if (options.drift && plans.size() >= 8) {
        // Undocumented: a table a customisation added, and a view for a report.
        Plan extra;
        extra.name = QStringLiteral("zz_ImportLog");
        extra.columns = {{QStringLiteral("ID"), QStringLiteral("int identity"), QString()},
                         {QStringLiteral("cFileName"), QStringLiteral("nvarchar(255)"), QStringLiteral("导入文件")},
                         {QStringLiteral("dImportTime"), QStringLiteral("datetime"), QString()}};
        extra.primaryKey = true;
        extra.rows = 17;
        if (!create(db, extra, error))
            return false;
        const Plan &shown = plans.first();
        if (!exec(db, QStringLiteral("create view %1 as select %2 from %3")
                          .arg(quoted(QStringLiteral("v_") + shown.name), quoted(shown.columns.first().name),
                               quoted(shown.name)),
                  error))
            return false;
    }
    return true;
}

}  // namespace

bool writePhysicalTables(const QString &folder, const QString &catalog, const QVector<TableRow> &tables,
                         const PhysicalOptions &options, QString *error)
{
    static QAtomicInt counter;
    const QString name = QStringLiteral("dictgen-physical-%1").arg(counter.fetchAndAddRelaxed(1));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(folder + QLatin1Char('/') + catalog + QStringLiteral(".db"));
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("PRAGMA journal_mode=OFF"));
            q.exec(QStringLiteral("PRAGMA synchronous=OFF"));
            db.transaction();
            ok = writeTables(db, tables, options, error);
            ok = db.commit() && ok;
        } else if (error) {
            *error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

}  // namespace dictgen
