#pragma once
// What the end-to-end benchmarks need around the program: a TDS test server
// of their own on a loopback port, the raw FreeTDS client (tsql) timed on
// the same server, and the statements the server saw.
#include "tds_server_process.h"
#include <QString>
#include <QStringList>

namespace bench {

// The test server serving one dictionary folder (the tests' own harness);
// stopped on destruction, and it also exits by itself when this process is
// gone or after a while.
class TdsServer : public tdstest::TdsServerProcess {
public:
    TdsServer(const QString &folder, const QString &password);

    // The batches logged since the last clearLog, optionally of one catalog
    // only, in order.
    QStringList statements(const QString &catalog = QString()) const;
};

// The raw client: one tsql process that logs in to catalog on port and
// runs each statement as its own batch ("go" after each), its output
// thrown away.
struct TsqlTime {
    double ms = -1;        // wall time from process start to exit
    bool finished = false; // false: killed after the time-out
    int exitCode = -1;
};
TsqlTime timeTsql(quint16 port, const QString &password, const QString &catalog,
                  const QStringList &statements);

// A port on which nothing listens (connections are refused at once), for
// timing tsql's process start and library set-up without a login.
quint16 refusedPort();

// Peak resident memory of this process (VmHWM), in MB; -1 when unreadable.
double peakResidentMB();

}  // namespace bench
