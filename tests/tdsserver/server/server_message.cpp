#include "server_message.h"

namespace tds::messages {

namespace {
ServerMessage make(qint32 number, quint8 state, quint8 severity, const QString &text)
{
    ServerMessage m;
    m.number = number;
    m.state = state;
    m.severity = severity;
    m.text = text;
    return m;
}
}  // namespace

ServerMessage loginFailed(const QString &user)
{
    return make(18456, 1, 14, QStringLiteral("Login failed for user '%1'.").arg(user));
}

ServerMessage untrustedDomain()
{
    return make(18452, 1, 14,
                QStringLiteral("Login failed. The login is from an untrusted domain and cannot be "
                               "used with Integrated authentication."));
}

ServerMessage cannotOpenDatabase(const QString &catalog)
{
    return make(4060, 1, 11,
                QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed.")
                    .arg(catalog));
}

ServerMessage databaseDoesNotExist(const QString &catalog)
{
    return make(911, 1, 16,
                QStringLiteral("Database '%1' does not exist. Make sure that the name is entered "
                               "correctly.")
                    .arg(catalog));
}

ServerMessage changedDatabase(const QString &catalog)
{
    return make(5701, 2, 0, QStringLiteral("Changed database context to '%1'.").arg(catalog));
}

ServerMessage changedLanguage(const QString &language)
{
    return make(5703, 1, 0, QStringLiteral("Changed language setting to %1.").arg(language));
}

ServerMessage invalidObject(const QString &name)
{
    return make(208, 1, 16, QStringLiteral("Invalid object name '%1'.").arg(name));
}

ServerMessage invalidColumn(const QString &name)
{
    return make(207, 1, 16, QStringLiteral("Invalid column name '%1'.").arg(name));
}

ServerMessage ambiguousColumn(const QString &name)
{
    return make(209, 1, 16, QStringLiteral("Ambiguous column name '%1'.").arg(name));
}

ServerMessage incorrectSyntax(const QString &near)
{
    return make(102, 1, 15, QStringLiteral("Incorrect syntax near '%1'.").arg(near));
}

ServerMessage unclosedQuotation(const QString &rest)
{
    return make(105, 1, 15,
                QStringLiteral("Unclosed quotation mark after the character string '%1'.").arg(rest));
}

ServerMessage unknownFunction(const QString &name)
{
    return make(195, 10, 15,
                QStringLiteral("'%1' is not a recognized built-in function name.").arg(name));
}

ServerMessage mustDeclareVariable(const QString &name)
{
    return make(137, 2, 15, QStringLiteral("Must declare the scalar variable \"%1\".").arg(name));
}

ServerMessage readOnlyDatabase(const QString &catalog)
{
    return make(3906, 1, 16,
                QStringLiteral("Failed to update database \"%1\" because the database is read-only.")
                    .arg(catalog));
}

ServerMessage unknownProcedure(const QString &name)
{
    return make(2812, 62, 16, QStringLiteral("Could not find stored procedure '%1'.").arg(name));
}

ServerMessage noCursor()
{
    return make(16954, 1, 10, QStringLiteral("Executing SQL directly; no cursor."));
}

ServerMessage invalidCursor()
{
    return make(16916, 1, 16, QStringLiteral("A cursor with the name '' does not exist."));
}

ServerMessage invalidPreparedHandle(qint32 handle)
{
    return make(8179, 1, 16,
                QStringLiteral("Could not find prepared statement with handle %1.").arg(handle));
}

ServerMessage commitWithoutBegin()
{
    return make(3902, 1, 16,
                QStringLiteral("The COMMIT TRANSACTION request has no corresponding BEGIN "
                               "TRANSACTION."));
}

ServerMessage rollbackWithoutBegin()
{
    return make(3903, 1, 16,
                QStringLiteral("The ROLLBACK TRANSACTION request has no corresponding BEGIN "
                               "TRANSACTION."));
}

ServerMessage protocolError(const QString &what)
{
    return make(4002, 1, 16,
                QStringLiteral("The incoming tabular data stream (TDS) protocol stream is "
                               "incorrect. %1")
                    .arg(what));
}

ServerMessage cannotRun(const QString &why)
{
    return make(50000, 1, 16, why);
}

}  // namespace tds::messages
