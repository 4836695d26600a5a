#pragma once
// Everything a session's statements can see or change: the current catalog
// (an open read-only SQLite file), transaction depth, server cursors and
// prepared statements.
#include "catalog_connection.h"
#include "catalog_folder.h"
#include "result_set.h"
#include "server_identity.h"
#include "text_typing.h"
#include <QHash>
#include <QStringList>
#include <memory>

namespace tds {

struct ServerCursor {
    ResultSet rows;
    int position = 0;     // index of the first row of the last fetch
    int lastFetched = 0;  // rows in the last fetch
};

struct PreparedStatement {
    QString statement;
    QStringList parameters;  // declared names, in order
    QHash<QString, QString> types;  // their types, by lower-case name
};

class SessionState {
public:
    SessionState(const CatalogFolder &folder, int sessionId, bool fitWidths = false,
                 TextType textType = TextType::NVarChar,
                 const identity::Release &release = identity::latestRelease())
        : folder_(folder), sessionId_(sessionId), fitWidths_(fitWidths), textType_(textType),
          release_(release) {}

    const identity::Release &release() const { return release_; }
    TextType textType() const { return textType_; }

    int sessionId() const { return sessionId_; }
    int spid() const { return 50 + sessionId_; }
    const CatalogFolder &folder() const { return folder_; }

    // Makes `name` current; false (and nothing changed) when it does not exist.
    // A name without a file (the default catalog) gets an empty database.
    bool useCatalog(const QString &name, bool mustExist = true);
    const QString &catalog() const { return catalog_; }
    CatalogConnection *connection() const { return connection_.get(); }

    QString loginName, hostName, appName;
    QString loginCatalog;
    int transactionDepth = 0;
    qint64 lastRowCount = 0;
    qint32 lastError = 0;
    int textSize = 2147483647;
    bool refuseRowCounts = false;   // the server's catalog denies row counts

    QHash<qint32, ServerCursor> cursors;
    qint32 nextCursor = 180150000;
    QHash<qint32, PreparedStatement> prepared;
    qint32 nextPrepared = 1;

    // Values of @@globals and session functions for the SQL rewrite.
    QHash<QString, QString> sessionValues() const;

private:
    const CatalogFolder &folder_;
    int sessionId_;
    bool fitWidths_;
    TextType textType_;
    const identity::Release &release_;
    int opened_ = 0;
    QString catalog_;
    std::unique_ptr<CatalogConnection> connection_;
};

}  // namespace tds
