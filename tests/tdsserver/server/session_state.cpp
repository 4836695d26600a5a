#include "session_state.h"
#include "server_identity.h"
#include "sql_text.h"

namespace tds {

bool SessionState::useCatalog(const QString &name, bool mustExist)
{
    const QString resolved = folder_.resolve(name);
    if (resolved.isEmpty() && mustExist)
        return false;
    const QString connectionName =
        QStringLiteral("tds-session-%1-%2").arg(sessionId_).arg(++opened_);
    auto connection = std::make_unique<CatalogConnection>(
        resolved.isEmpty() ? QStringLiteral(":memory:") : folder_.filePath(resolved), connectionName,
        fitWidths_, textType_);
    QString error;
    if (resolved.isEmpty()) {
        // No file: an empty in-memory database, so every table is missing.
        if (!connection->openInMemory(&error))
            return false;
    } else if (!connection->open(&error)) {
        return false;
    }
    connection_ = std::move(connection);
    catalog_ = resolved.isEmpty() ? name : resolved;
    return true;
}

QHash<QString, QString> SessionState::sessionValues() const
{
    // Text values are nvarchar on a server, as @@VERSION and DB_NAME() are.
    QHash<QString, QString> v;
    v.insert(QStringLiteral("@@spid"), QString::number(spid()));
    v.insert(QStringLiteral("@@version"), sql::literal(QString::fromLatin1(release_.versionText), true));
    v.insert(QStringLiteral("@@microsoftversion"),
             QString::number((qint64(release_.major) << 24) | (qint64(release_.minor) << 16) | release_.build));
    v.insert(QStringLiteral("@@servername"), sql::literal(identity::serverName(), true));
    v.insert(QStringLiteral("@@servicename"), sql::literal(QStringLiteral("MSSQLSERVER"), true));
    v.insert(QStringLiteral("@@language"), sql::literal(identity::language(), true));
    v.insert(QStringLiteral("@@trancount"), QString::number(transactionDepth));
    v.insert(QStringLiteral("@@rowcount"), QString::number(lastRowCount));
    v.insert(QStringLiteral("@@error"), QString::number(lastError));
    v.insert(QStringLiteral("@@textsize"), QString::number(textSize));
    v.insert(QStringLiteral("@@identity"), QStringLiteral("NULL"));
    v.insert(QStringLiteral("@@max_precision"), QStringLiteral("38"));
    v.insert(QStringLiteral("@@db_name"), sql::literal(catalog_, true));
    v.insert(QStringLiteral("@@user_name"), sql::literal(QStringLiteral("dbo"), true));
    v.insert(QStringLiteral("@@login_name"), sql::literal(loginName, true));
    v.insert(QStringLiteral("@@host_name"), sql::literal(hostName, true));
    v.insert(QStringLiteral("@@app_name"), sql::literal(appName, true));
    return v;
}

}  // namespace tds
