#include "test_folder.h"
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace ddtest {

DictionaryFolder::DictionaryFolder() : path_(dir_.path()) {}

void DictionaryFolder::generate(const dictgen::Options &options)
{
    QString error;
    QVERIFY2(dictgen::generate(options, path_, &error), qPrintable(error));
}

void DictionaryFolder::accounts(const QVector<dictgen::AccountRow> &accounts)
{
    QString error;
    QVERIFY2(dictgen::writeSystemCatalog(path_, accounts, &error), qPrintable(error));
}

void DictionaryFolder::catalog(const QString &name, const QVector<dictgen::TableRow> &tables)
{
    QString error;
    QVERIFY2(dictgen::writeDataCatalog(path_, name, tables, &error), qPrintable(error));
}

void DictionaryFolder::emptyCatalog(const QString &name)
{
    QString error;
    QVERIFY2(dictgen::writeEmptyCatalog(path_, name, &error), qPrintable(error));
}

void DictionaryFolder::execute(const QString &catalog, const QString &statement)
{
    const QString connection = QStringLiteral("test-folder-edit");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path_ + QLatin1Char('/') + catalog + QStringLiteral(".db"));
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        const bool ran = q.exec(statement);
        QVERIFY2(ran, qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(connection);
}

QMap<QString, QByteArray> DictionaryFolder::fingerprint() const
{
    QMap<QString, QByteArray> sums;
    const QStringList names = QDir(path_).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        QFile f(path_ + QLatin1Char('/') + name);
        if (f.open(QIODevice::ReadOnly))
            sums.insert(name, QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1));
        else
            sums.insert(name, QByteArray("unreadable"));
    }
    return sums;
}

dictgen::TableRow table(const QString &systemid, const QString &module, const QString &name,
                        const QString &description, int fields)
{
    dictgen::TableRow t{systemid, module, name, description, {}};
    for (int i = 1; i <= fields; ++i)
        t.fields.append({QStringLiteral("F%1").arg(i), QStringLiteral("字段%1").arg(i),
                         QStringLiteral("nvarchar(20)")});
    return t;
}

}  // namespace ddtest
