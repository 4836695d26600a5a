#include "dictionary_reader.h"
#include "background_work.h"
#include "error.h"
#include "object_names.h"
#include "sql_session.h"
#include <QHash>
#include <QSet>

namespace dd {

namespace {

QString text(const QVariant &cell) { return cell.isNull() ? QString() : cell.toString(); }

// Field names, meanings and types repeat across tables: each distinct text
// is kept once and shared.
class TextPool {
public:
    QString take(const QVariant &cell)
    {
        if (cell.isNull())
            return QString();
        const QString value = cell.toString();
        auto it = pool_.constFind(value);
        if (it != pool_.constEnd())
            return *it;
        pool_.insert(value);
        return value;
    }

private:
    QSet<QString> pool_;
};

void checkCancel(const std::atomic<bool> *cancel)
{
    if (cancel && cancel->load())
        throw readStopped();
}

Dictionary readAll(const ConnectionString &target, const QString &user, const QString &password,
                   const DictionaryReader::Progress &progress, const std::atomic<bool> *cancel);

}  // namespace

QString DictionaryReader::tablesStatement()
{
    return QStringLiteral("select Tablename,Tabledefine,SystemName from RPT_GRPDEF order by systemid");
}

QString DictionaryReader::fieldsStatement()
{
    return QStringLiteral("select TableName,FieldName,FieldDef,FieldType from RPT_ItmDEF "
                          "order by TableName,FieldID");
}

bool DictionaryReader::isCancelled(const Error &e) { return e.Number() == errc::OperationCancelled; }

Dictionary DictionaryReader::read(const ConnectionString &target, const QString &user,
                                  const QString &password, CancelToken &token,
                                  const Progress &progress)
{
    const CancelToken::Scope scope(&token);
    return read(target, user, password, progress, token.flag());
}

Dictionary DictionaryReader::read(const ConnectionString &target, const QString &user,
                                  const QString &password, const Progress &progress,
                                  const std::atomic<bool> *cancel)
{
    try {
        return readAll(target, user, password, progress, cancel);
    } catch (const Error &) {
        // A statement cancelled from another thread ends in whatever error
        // its driver reports; the flag says what happened.
        checkCancel(cancel);
        throw;
    }
}

namespace {

Dictionary readAll(const ConnectionString &target, const QString &user, const QString &password,
                   const DictionaryReader::Progress &progress, const std::atomic<bool> *cancel)
{
    checkCancel(cancel);
    const std::unique_ptr<SqlSession> session = SqlSession::open(target, user, password);
    checkCancel(cancel);

    Dictionary dictionary;
    session->run(DictionaryReader::tablesStatement(), [&](RowStore &rows) {
        for (int r = 0; r < rows.rowCount(); ++r) {
            DictionaryTable table;
            table.name = text(rows.cell(r, 0));
            table.description = text(rows.cell(r, 1));
            table.module = text(rows.cell(r, 2));
            dictionary.tables.push_back(std::move(table));
        }
        return !(cancel && cancel->load());
    });

    // The fields arrive grouped by table name; each group is kept until
    // every field is read, then laid out in the table list's order.
    QHash<QString, int> groupOfName;
    std::vector<std::vector<DictionaryField>> groups;
    TextPool pool;
    QString lastName;
    int lastGroup = -1;
    int read = 0;
    session->run(DictionaryReader::fieldsStatement(), [&](RowStore &rows) {
        for (int r = 0; r < rows.rowCount(); ++r) {
            const QString name = text(rows.cell(r, 0));
            if (lastGroup < 0 || name != lastName) {
                const QString key = nameKey(name);
                auto it = groupOfName.constFind(key);
                if (it == groupOfName.constEnd()) {
                    it = groupOfName.insert(key, int(groups.size()));
                    groups.emplace_back();
                }
                lastGroup = *it;
                lastName = name;
            }
            DictionaryField field;
            field.name = pool.take(rows.cell(r, 1));
            field.meaning = pool.take(rows.cell(r, 2));
            field.type = pool.take(rows.cell(r, 3));
            groups[size_t(lastGroup)].push_back(std::move(field));
        }
        read += rows.rowCount();
        if (progress && !progress(read))
            return false;
        return !(cancel && cancel->load());
    });

    // A table listed more than once shows the same fields each time: every
    // listing but the last takes a copy.
    std::vector<int> listingsLeft(groups.size(), 0);
    std::vector<int> groupOfTable(dictionary.tables.size(), -1);
    for (size_t t = 0; t < dictionary.tables.size(); ++t) {
        const auto it = groupOfName.constFind(nameKey(dictionary.tables[t].name));
        if (it != groupOfName.constEnd()) {
            groupOfTable[t] = *it;
            ++listingsLeft[size_t(*it)];
        }
    }
    dictionary.fields.reserve(size_t(read));
    for (int t = 0; t < int(dictionary.tables.size()); ++t) {
        DictionaryTable &table = dictionary.tables[size_t(t)];
        table.firstField = int(dictionary.fields.size());
        const int g = groupOfTable[size_t(t)];
        if (g < 0)
            continue;
        std::vector<DictionaryField> &group = groups[size_t(g)];
        const bool copy = --listingsLeft[size_t(g)] > 0;
        int number = 0;
        for (DictionaryField &f : group) {
            DictionaryField field = copy ? f : std::move(f);
            field.table = t;
            field.number = ++number;
            dictionary.fields.push_back(std::move(field));
        }
        table.fieldCount = number;
        if (!copy)
            std::vector<DictionaryField>().swap(group);
    }
    return dictionary;
}

}  // namespace

}  // namespace dd
