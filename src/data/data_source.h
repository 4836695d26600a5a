#pragma once
// Where a connection goes, read from its Data Source text: a dictionary
// folder (the local SQLite source) or a SQL Server; and the ODBC driver and
// connection string that reach a SQL Server.
#include "odbc_diagnostics.h"
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

// A folder is the local source only when it holds svsystem.db; any other
// text is a server name, even one that happens to name a folder.
// Throws Error for a port that is no port.
DataTarget resolveDataSource(const QString &dataSource);

// An ODBC attribute value in braces, so ; = { } inside it stay data: the
// standard form, where a doubled closing brace stands for one.
QString odbcValue(const QString &value);
// The same for FreeTDS, whose parser ends a braced value at the first "};"
// and knows no doubling. A value holding "};" cannot be passed: Error.
QString freeTdsValue(const QString &value);

// A SQL Server driver, known by its exact name as the driver manager lists
// it; Other for any name not in the list of sqlServerDriverOrder.
enum class OdbcDriverKind { Other, Microsoft18, Microsoft, FreeTds, WindowsLegacy };
OdbcDriverKind odbcDriverKind(const QString &driver);
inline bool isFreeTdsDriver(const QString &driver) { return odbcDriverKind(driver) == OdbcDriverKind::FreeTds; }

// The DSN-less ODBC connection string for a SQL Server target; every
// attribute ends in ";". Microsoft's drivers are told to take the server's
// certificate as it is (encryption stays on where the server asks for it)
// unless validateCertificate. Throws Error for a value the driver cannot take.
QString odbcConnectionString(const QString &driver, const DataTarget &target,
                             const QString &catalog, const QString &user,
                             const QString &password, bool validateCertificate = false);

// The SQL Server drivers to try, best first: ODBC Driver 18, 17, FreeTDS,
// and on Windows SQL Server Native Client 11.0 and SQL Server, those of
// them that are installed. A driver named in `chosen` (the environment's
// DATADICT_ODBC_DRIVER) is the only one, installed or not.
QStringList sqlServerDriverOrder(const QStringList &installedDrivers, const QString &chosen = QString());

// Whether a failed connection may succeed with another driver: the driver
// could not be loaded, or it and the server found no protocol, version or
// encryption in common. A refused login, a missing database or a host that
// cannot be reached fail the same way on every driver.
bool anotherDriverMayHelp(const QVector<OdbcDiagnostic> &records);

// The ODBC drivers the driver manager knows (read once).
QStringList installedOdbcDrivers();

}  // namespace dd
