#pragma once
// Starts the TDS test server as a child process on a free loopback port and
// stops it again (at the latest when this object is destroyed). The server
// also exits by itself if this process dies.
#include "statement_log.h"
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace tdstest {

struct ServerSettings {
    QString folder;                // catalogs: X.db for catalog X
    QString password = QStringLiteral("Secret;Pw={x}=1");
    QStringList faults;            // e.g. {"--delay-ms", "500"}
    QString traceFile;             // packet trace, for debugging a test
    int maxSeconds = 600;
};

class TdsServerProcess {
public:
    explicit TdsServerProcess(ServerSettings settings);
    ~TdsServerProcess();
    TdsServerProcess(const TdsServerProcess &) = delete;
    TdsServerProcess &operator=(const TdsServerProcess &) = delete;

    // Waits until the server listens; false with a reason otherwise.
    bool start(QString *error = nullptr, int timeoutMs = 15000);
    void stop();
    bool isRunning() const;

    quint16 port() const { return port_; }
    const QString &password() const { return settings_.password; }
    // "127.0.0.1,PORT"
    QString dataSource() const;
    QString logFile() const { return logFile_; }
    StatementLog log() const { return StatementLog::read(logFile_, logStart_); }
    // Whether the log has a statement the server holds and will never answer
    // (--hang-after-login and its kin).
    bool holdsUnansweredStatement() const;
    // From now on log() holds only what comes next, so a test sees only its
    // own statements. The file itself is left alone: the server appends to
    // it, and on Windows an append continues at the offset the writer had.
    void clearLog() const;

    // The server executable (the build's, or $TDSSERVER_BINARY).
    static QString binary();

private:
    ServerSettings settings_;
    QTemporaryDir dir_;
    QString logFile_;
    QProcess process_;
    quint16 port_ = 0;
    mutable qint64 logStart_ = 0;
};

// A DSN-less connection string for the FreeTDS ODBC driver, the catalog,
// user and password braced so that ; = { } in them stay data. FreeTDS reads
// a braced value up to the first "};", so a value holding "};" cannot be
// written at all.
QString freeTdsConnectionString(quint16 port, const QString &catalog, const QString &user,
                                const QString &password, const QString &extra = QString());
QString freeTdsBraced(const QString &value);

// The server that CTest's "tdsserver" fixture keeps running: its port (0
// when the fixture is not running), password, folder and statement log.
quint16 fixturePort();
QString fixturePassword();
QString fixtureFolder();
QString fixtureLogFile();

}  // namespace tdstest
