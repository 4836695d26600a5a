#pragma once
// Listens on loopback, starts a Session per connection, and ends the process
// when its time is up, its parent is gone, or it was told to stop.
#include "catalog_folder.h"
#include "server_logs.h"
#include "server_options.h"
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

class QTcpServer;

namespace tds {

class Session;

class TdsServer : public QObject {
    Q_OBJECT
public:
    explicit TdsServer(ServerOptions options, QObject *parent = nullptr);
    ~TdsServer() override;

    // Listens and writes the port and pid files.
    bool start(QString *error);
    quint16 port() const { return port_; }

private:
    void accept(QTcpServer *listener);
    void checkLifetime();

    ServerOptions options_;
    CatalogFolder folder_;
    StatementLogWriter statementLog_;
    TraceWriter trace_;
    std::vector<QTcpServer *> listeners_;
    QTimer lifetimeTimer_;
    QElapsedTimer running_, idle_;
    quint16 port_ = 0;
    int nextSession_ = 1;
    int openSessions_ = 0;
};

// Set from a signal handler; the lifetime check stops the server.
void requestStop();

}  // namespace tds
