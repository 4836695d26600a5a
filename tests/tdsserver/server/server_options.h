#pragma once
// The command line of the test server.
#include "server_identity.h"
#include "text_typing.h"
#include <QString>
#include <QStringList>

namespace tds {

struct ServerOptions {
    QString folder;            // the catalogs: X.db for catalog X
    QString password;          // of the one login, "sa"
    QString listen = QStringLiteral("127.0.0.1");
    int port = 0;              // 0: any free port
    QString portFile, pidFile; // written once listening
    QString logFile;           // statement log
    QString traceFile;         // packet trace ("-" for standard error)

    // Faults, for the tests of the clients.
    bool refuseLogins = false;
    int delayMs = 0;
    int dropAfter = -1;        // statements per session before the connection drops
    bool closeOnAccept = false;
    bool hangAfterLogin = false;
    int hangAfter = -1;        // statements per session answered before it goes silent
    // Text columns declared as wide as their longest value, as a server's
    // narrow columns are (default: 4000 characters).
    bool fitTextWidths = false;
    // The server's catalog refuses row counts (sys.partitions, the rows of
    // sysindexes), as a login without the permission would see.
    bool refuseRowCounts = false;
    TextType textType = TextType::NVarChar;
    // The release a login is answered as (--tds-version).
    const identity::Release *release = &identity::latestRelease();
    // Answers the SQL Server Browser's request for this instance's port.
    QString browserInstance;
    int browserPort = 1434;

    // It never outlives these.
    int maxSeconds = 900;      // 0: no limit
    int idleSeconds = 0;       // without any connection open; 0: no limit
    qint64 parentPid = 0;      // exits when this process is gone
};

// Returns false with a message (or the usage text for --help) in *error.
bool parseServerOptions(const QStringList &arguments, ServerOptions *options, QString *error);
QString serverUsage();

}  // namespace tds
