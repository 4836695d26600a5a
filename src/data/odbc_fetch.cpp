#include "odbc_fetch.h"
#include "error.h"
#include "error_text.h"
#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <QSqlQuery>
#include <QSqlResult>
#include <QVariant>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

namespace dd {

namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "UTF-16 wide ODBC characters");

QString wide(const SQLWCHAR *text, qsizetype length)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text), length);
}

Error statementError(SQLHSTMT statement)
{
    QStringList messages;
    long number = 0;
    for (SQLSMALLINT i = 1; i <= 8; ++i) {
        SQLWCHAR state[6];
        SQLINTEGER native = 0;
        SQLWCHAR message[1024];
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(SQL_HANDLE_STMT, statement, i, state, &native, message,
                                          SQLSMALLINT(sizeof message / sizeof *message), &length)))
            break;
        if (number == 0 && native != 0)
            number = native;
        messages << wide(message, qMin<qsizetype>(length, 1023));
    }
    if (number == 0)
        number = errc::ProviderError;
    QString text = clientFailureText(number);
    if (text.isEmpty())
        text = cleanDriverMessage(messages.join(QLatin1Char('\n')));
    if (text.isEmpty())
        text = QStringLiteral("读取结果失败。");
    return Error(number, text);
}

// One cell as text; a NULL as a null QVariant.
QVariant readCell(SQLHSTMT statement, SQLUSMALLINT column)
{
    SQLWCHAR buffer[512];
    QString value;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN r = SQLGetData(statement, column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
        if (r == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(r))
            throw statementError(statement);
        if (indicator == SQL_NULL_DATA)
            return QVariant();
        const qsizetype capacity = qsizetype(sizeof buffer / sizeof *buffer) - 1;
        const qsizetype available =
            indicator == SQL_NO_TOTAL ? capacity : qMin<qsizetype>(indicator / qsizetype(sizeof(SQLWCHAR)), capacity);
        value += wide(buffer, available);
        if (r == SQL_SUCCESS)
            break;  // the whole value has been read
    }
    return value;
}

}  // namespace

bool fetchOdbcRows(QSqlQuery &query, RowStore &rows)
{
    const QVariant handle = query.result() ? query.result()->handle() : QVariant();
    if (!handle.isValid() || handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        return false;
    SQLHSTMT statement = *static_cast<const SQLHANDLE *>(handle.constData());
    if (!statement)
        return false;
    const int columns = rows.columnCount();
    for (;;) {
        const SQLRETURN r = SQLFetch(statement);
        if (r == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(r))
            throw statementError(statement);
        for (int c = 0; c < columns; ++c)
            rows.cells.append(readCell(statement, SQLUSMALLINT(c + 1)));
    }
}

}  // namespace dd
