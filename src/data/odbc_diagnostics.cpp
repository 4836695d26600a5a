#include "odbc_diagnostics.h"
#include "error_text.h"
#include "odbc_api.h"
#include <QStringList>
#include <vector>

namespace dd {

QVector<OdbcDiagnostic> readOdbcDiagnostics(short handleType, void *handle)
{
    QVector<OdbcDiagnostic> records;
    if (!handle)
        return records;
    for (SQLSMALLINT i = 1; i <= 32; ++i) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        std::vector<SQLWCHAR> message(1024);
        SQLRETURN r = SQLGetDiagRecW(handleType, handle, i, state, &native, message.data(),
                                     SQLSMALLINT(message.size()), &length);
        if (r == SQL_SUCCESS_WITH_INFO && length >= SQLSMALLINT(message.size())) {
            message.resize(size_t(length) + 1);
            r = SQLGetDiagRecW(handleType, handle, i, state, &native, message.data(),
                               SQLSMALLINT(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(r))
            break;
        OdbcDiagnostic d;
        d.state = fromOdbcText(state, 5);
        d.native = long(native);
        d.message = fromOdbcText(message.data(), qMin<qsizetype>(length, qsizetype(message.size()) - 1));
        records << d;
    }
    return records;
}

Error odbcError(const QVector<OdbcDiagnostic> &records, const QString &fallback)
{
    long number = 0;
    for (const OdbcDiagnostic &d : records)
        if (number == 0 && !clientFailureText(d.native).isEmpty())
            number = d.native;
    // A server that cannot open the login's database follows its reason
    // with a plain login failure.
    constexpr long LoginFailed = 18456;
    for (const OdbcDiagnostic &d : records)
        if (number == 0 && d.native != 0 && d.native != LoginFailed)
            number = d.native;
    for (const OdbcDiagnostic &d : records)
        if (number == 0 && d.native != 0)
            number = d.native;
    if (number == 0)
        number = errc::ProviderError;
    QString text = clientFailureText(number);
    if (text.isEmpty()) {
        QStringList messages;
        for (const OdbcDiagnostic &d : records)
            messages << d.message;
        text = cleanDriverMessage(messages.join(QLatin1Char('\n')));
    }
    if (text.isEmpty())
        text = fallback;
    return Error(number, text);
}

}  // namespace dd
