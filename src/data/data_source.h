#pragma once
// Where a connection goes, read from its Data Source text: an existing
// dictionary folder (the local SQLite source) or a SQL Server.
#include <QString>
#include <QStringList>

namespace dd {

struct DataTarget {
    enum Kind { SqliteFolder, SqlServer } kind = SqlServer;
    QString folder;      // SqliteFolder: the folder holding <catalog>.db
    QString serverText;  // SqlServer: the server as typed ("" means this machine)
    QString host;        // SqlServer: host part, local aliases mapped to 127.0.0.1
    QString instance;    // "host\INSTANCE"
    int port = 0;        // "host,port"; 0 when not given
};

// Throws Error for a port that is no port.
DataTarget resolveDataSource(const QString &dataSource);

// An ODBC attribute value in braces, so ; = { } inside it stay data: the
// standard form, where a doubled closing brace stands for one.
QString odbcValue(const QString &value);
// The same for FreeTDS, whose parser ends a braced value at the first "};"
// and knows no doubling. A value holding "};" cannot be passed: Error.
QString freeTdsValue(const QString &value);

// The DSN-less ODBC connection string for a SQL Server target; every
// attribute ends in ";". Throws Error for a value the driver cannot take.
QString odbcConnectionString(const QString &driver, const DataTarget &target,
                             const QString &catalog, const QString &user,
                             const QString &password);

// The best SQL Server driver among the installed ones, or empty.
QString chooseSqlServerDriver(const QStringList &installedDrivers);
bool isFreeTdsDriver(const QString &driver);

// The ODBC drivers the driver manager knows (read once).
QStringList installedOdbcDrivers();

}  // namespace dd
