// The installed ODBC drivers, asked of the driver manager itself so that no
// path or registry key of one machine is assumed.
#include "data_source.h"
#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

namespace dd {

namespace {
QStringList readDrivers()
{
    QStringList drivers;
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return drivers;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLWCHAR description[512];
    SQLWCHAR attributes[2048];
    SQLSMALLINT descriptionLength = 0, attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (int i = 0; i < 256; ++i) {
        const SQLRETURN r = SQLDriversW(env, direction, description, 512, &descriptionLength,
                                        attributes, 2048, &attributesLength);
        if (!SQL_SUCCEEDED(r))
            break;
        static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "UTF-16 wide ODBC characters");
        drivers << QString(reinterpret_cast<const QChar *>(description), descriptionLength);
        direction = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return drivers;
}
}  // namespace

QStringList installedOdbcDrivers()
{
    static const QStringList drivers = readDrivers();
    return drivers;
}

}  // namespace dd
