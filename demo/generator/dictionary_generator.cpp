#include "dictionary_generator.h"
#include "erp_sample.h"
#include "physical_tables.h"
#include "vocabulary.h"
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QAtomicInt>
#include <functional>
#include <random>

namespace dictgen {

namespace {

// Runs fn on a fresh SQLite file (any old file of that name is replaced),
// inside one transaction.
bool withNewDatabase(const QString &file, const std::function<bool(QSqlDatabase &)> &fn,
                     QString *error)
{
    static QAtomicInt counter;
    const QString name = QStringLiteral("dictgen-%1").arg(counter.fetchAndAddRelaxed(1));
    QFile::remove(file);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("PRAGMA journal_mode=OFF"));
            q.exec(QStringLiteral("PRAGMA synchronous=OFF"));
            db.transaction();
            ok = fn(db);
            ok = db.commit() && ok;
            if (!ok && error && error->isEmpty())
                *error = db.lastError().text();
        } else if (error) {
            *error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool run(QSqlDatabase &db, const QString &sql, QString *error)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    if (error)
        *error = q.lastError().text() + QStringLiteral(" in: ") + sql;
    return false;
}

QVariant text(const QString &s) { return s.isNull() ? QVariant() : QVariant(s); }

// Deterministic everywhere: the standard distributions differ between
// library implementations, so only the raw engine output is used.
struct Random {
    explicit Random(quint32 seed) : engine(seed) {}
    int below(int n) { return n <= 0 ? 0 : int(engine() % quint32(n)); }
    std::mt19937 engine;
};

const char *const kVariantSuffix[] = {"", "_his", "_bak", "_tmp", "_log", "_ex", "_cls", "_sum"};
const char *const kVariantNote[] = {"", "(历史)", "(备份)", "(临时)", "(日志)", "(扩展)", "(分类)", "(汇总)"};
constexpr int kVariants = 8;

}  // namespace

bool writeSystemCatalog(const QString &folder, const QVector<AccountRow> &accounts, QString *error)
{
    return withNewDatabase(
        folder + QStringLiteral("/svsystem.db"),
        [&](QSqlDatabase &q) {
            if (!run(q, QStringLiteral("CREATE TABLE ua_account (cAcc_id TEXT COLLATE NOCASE, "
                                       "cAcc_Name TEXT COLLATE NOCASE)"), error)
                || !run(q, QStringLiteral("CREATE TABLE UA_Period (cacc_id TEXT COLLATE NOCASE, "
                                          "iyear INTEGER, iperiod INTEGER)"), error))
                return false;
            QSqlQuery insert(q);
            for (const AccountRow &a : accounts) {
                insert.prepare(QStringLiteral("INSERT INTO ua_account VALUES (?, ?)"));
                insert.addBindValue(text(a.id));
                insert.addBindValue(text(a.name));
                if (!insert.exec())
                    return false;
                for (int year : a.years) {
                    for (int period = 1; period <= 12; ++period) {
                        insert.prepare(QStringLiteral("INSERT INTO UA_Period VALUES (?, ?, ?)"));
                        insert.addBindValue(text(a.id));
                        insert.addBindValue(year);
                        insert.addBindValue(period);
                        if (!insert.exec())
                            return false;
                    }
                }
            }
            return true;
        },
        error);
}

bool writeEmptyCatalog(const QString &folder, const QString &catalog, QString *error)
{
    return withNewDatabase(
        folder + QLatin1Char('/') + catalog + QStringLiteral(".db"),
        [&](QSqlDatabase &q) { return run(q, QStringLiteral("CREATE TABLE placeholder (x INTEGER)"), error); },
        error);
}

bool writeDataCatalog(const QString &folder, const QString &catalog,
                      const QVector<TableRow> &tables, QString *error)
{
    return withNewDatabase(
        folder + QLatin1Char('/') + catalog + QStringLiteral(".db"),
        [&](QSqlDatabase &q) {
            if (!run(q, QStringLiteral("CREATE TABLE RPT_GRPDEF (systemid TEXT COLLATE NOCASE, "
                                       "SystemName TEXT COLLATE NOCASE, Tablename TEXT COLLATE NOCASE, "
                                       "Tabledefine TEXT COLLATE NOCASE)"), error)
                || !run(q, QStringLiteral("CREATE TABLE RPT_ItmDEF (TableName TEXT COLLATE NOCASE, "
                                          "FieldID INTEGER, FieldName TEXT COLLATE NOCASE, "
                                          "FieldDef TEXT COLLATE NOCASE, FieldType TEXT COLLATE NOCASE)"), error))
                return false;
            QSqlQuery table(q), field(q);
            table.prepare(QStringLiteral("INSERT INTO RPT_GRPDEF VALUES (?, ?, ?, ?)"));
            field.prepare(QStringLiteral("INSERT INTO RPT_ItmDEF VALUES (?, ?, ?, ?, ?)"));
            for (const TableRow &t : tables) {
                table.bindValue(0, text(t.systemid));
                table.bindValue(1, text(t.module));
                table.bindValue(2, text(t.name));
                table.bindValue(3, text(t.description));
                if (!table.exec())
                    return false;
                int id = 0;
                for (const FieldRow &f : t.fields) {
                    field.bindValue(0, text(t.name));
                    field.bindValue(1, ++id);
                    field.bindValue(2, text(f.name));
                    field.bindValue(3, text(f.meaning));
                    field.bindValue(4, text(f.type));
                    if (!field.exec())
                        return false;
                }
            }
            // Indexes make "order by systemid" keep insertion order among
            // equal ids, and the field query a lookup rather than a scan.
            return run(q, QStringLiteral("CREATE INDEX grp_systemid ON RPT_GRPDEF (systemid)"), error)
                   && run(q, QStringLiteral("CREATE INDEX itm_table ON RPT_ItmDEF (TableName, FieldID)"), error);
        },
        error);
}

namespace {

QVector<TableRow> makeTables(const Options &o, const Vocabulary &v, Random &rnd)
{
    const int moduleCount = qBound(1, o.modules, int(v.modules.size()));
    QVector<QVector<Vocabulary::Stem>> stemsOf(moduleCount);
    for (int m = 0; m < moduleCount; ++m)
        for (const auto &s : v.stems)
            if (s.prefix == v.modules[m].prefix)
                stemsOf[m].append(s);

    QVector<int> used(moduleCount, 0);
    QVector<TableRow> tables;
    tables.reserve(o.tables);
    for (int i = 0; i < o.tables; ++i) {
        const int m = rnd.below(moduleCount);
        const auto &module = v.modules[m];
        const int n = used[m]++;
        TableRow t;
        t.systemid = module.systemid;
        t.module = module.name;
        const auto &stems = stemsOf[m];
        if (stems.isEmpty()) {
            t.name = QStringLiteral("%1_table%2").arg(module.prefix).arg(n + 1);
            t.description = QStringLiteral("%1数据表%2").arg(module.name).arg(n + 1);
        } else {
            const auto &stem = stems[n % stems.size()];
            const int round = n / stems.size();
            const int variant = round % kVariants;
            const int group = round / kVariants;
            t.name = stem.prefix + QLatin1Char('_') + stem.stem + QLatin1String(kVariantSuffix[variant]);
            t.description = stem.description + QString::fromUtf8(kVariantNote[variant]);
            if (group > 0) {
                t.name += QStringLiteral("_%1").arg(group + 1, 3, 10, QLatin1Char('0'));
                t.description += QStringLiteral("(第%1组)").arg(group + 1);
            }
        }
        const int span = qMax(0, o.fieldsMax - o.fieldsMin);
        const int fieldCount = qMax(0, o.fieldsMin + rnd.below(span + 1));
        QVector<int> order(v.fields.size());
        for (int k = 0; k < order.size(); ++k)
            order[k] = k;
        for (int k = order.size() - 1; k > 0; --k)
            std::swap(order[k], order[rnd.below(k + 1)]);
        for (int k = 0; k < fieldCount; ++k) {
            if (k < order.size()) {
                const auto &f = v.fields[order[k]];
                t.fields.append({f.name, f.meaning, f.type});
            } else {
                const int extra = k - int(order.size()) + 1;
                t.fields.append({QStringLiteral("cDefine%1").arg(extra),
                                 QStringLiteral("自定义项%1").arg(extra),
                                 QStringLiteral("nvarchar(120)")});
            }
        }
        tables.append(t);
    }
    return tables;
}

}  // namespace

bool generate(const Options &o, const QString &folder, QString *error)
{
    Vocabulary v;
    if (!readVocabulary(o.vocabularyFile, &v, error))
        return false;
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(folder);
        return false;
    }
    Random rnd(o.seed);
    QVector<AccountRow> accounts;
    for (int a = 0; a < o.accounts; ++a) {
        AccountRow row;
        if (a < v.accounts.size()) {
            row.id = v.accounts[a].id;
            row.name = v.accounts[a].name;
        } else {
            row.id = QStringLiteral("%1").arg(a + 1, 3, 10, QLatin1Char('0'));
            row.name = QStringLiteral("测试账套%1").arg(a + 1);
        }
        const int years = qMax(1, a == 0 ? o.yearsPerAccount : o.yearsPerAccount - 1);
        for (int y = 0; y < years; ++y)
            row.years.append(o.firstYear + (o.yearsPerAccount - years) + y);
        accounts.append(row);
    }
    if (!writeSystemCatalog(folder, accounts, error))
        return false;
    for (const AccountRow &a : accounts) {
        for (int year : a.years) {
            QVector<TableRow> tables = makeTables(o, v, rnd);
            if (o.erpSample)
                tables += erpSampleTables();
            const QString catalog = QStringLiteral("svdata_%1_%2").arg(a.id).arg(year);
            if (!writeDataCatalog(folder, catalog, tables, error))
                return false;
            // A random stream of their own, so that the dictionaries stay
            // what they were without them.
            const PhysicalOptions physical{o.seed ^ quint32(qHash(catalog)), o.filledPercent, true};
            if (o.physicalTables && !writePhysicalTables(folder, catalog, tables, physical, error))
                return false;
        }
    }
    return true;
}

}  // namespace dictgen
