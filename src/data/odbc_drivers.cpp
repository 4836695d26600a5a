// The installed ODBC drivers, asked of the driver manager itself so that no
// path or registry key of one machine is assumed.
#include "data_source.h"
#include "odbc_api.h"

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
        drivers << fromOdbcText(description, qMin<qsizetype>(descriptionLength, 511));
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
