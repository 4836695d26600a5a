#pragma once
// One client connection: PRELOGIN, LOGIN7, then requests answered one at a
// time in arrival order. Fault switches act here.
#include "executor.h"
#include "packets.h"
#include "server_logs.h"
#include "server_options.h"
#include "tokens.h"
#include "session_state.h"
#include <QObject>
#include <QQueue>
#include <QTimer>

class QTcpSocket;

namespace tds {

class Session : public QObject {
    Q_OBJECT
public:
    Session(QTcpSocket *socket, int id, const ServerOptions &options, const CatalogFolder &folder,
            ServerLogs logs, QObject *parent = nullptr);
    ~Session() override;
    int id() const { return id_; }

signals:
    void finished(tds::Session *session);

private:
    enum class Phase { PreLogin, Login, LoggedIn, Closing };

    void onReadyRead();
    void pump();
    void handle(const Message &m);
    void handlePreLogin(const Message &m);
    void handleLogin(const Message &m);
    void handleBatch(const Message &m);
    void handleRpc(const Message &m);
    void handleTransaction(const Message &m);
    void handleAttention();
    void refuseLogin(TokenWriter &w, const QVector<ServerMessage> &errors, const QString &user);
    void resetConnection(TokenWriter &w);
    // Sends a reply (after --delay-ms); closes afterwards if asked.
    void reply(const QByteArray &payload, bool closeAfter = false);
    void writeNow(const QByteArray &framed, bool closeAfter);
    void protocolFailure(const QString &what);
    // Drops the connection without a word, as a broken network would.
    void closeHard();
    void log(const QString &request, const QString &procedure, const QString &outcome, const QString &text);
    // Counts a request against --drop-after; false when the connection was dropped.
    bool admitRequest(const QString &request, const QString &procedure, const QString &text);

    QTcpSocket *socket_;
    int id_;
    const ServerOptions &options_;
    ServerLogs logs_;
    SessionState state_;
    Executor executor_;
    MessageAssembler assembler_;
    QQueue<Message> queue_;
    Phase phase_ = Phase::PreLogin;
    quint32 tdsVersion_ = 0x74000004;
    int packetSize_ = 4096;
    int statements_ = 0;
    bool silent_ = false;            // --hang-after: answers nothing any more
    bool busy_ = false;              // a delayed reply is on its way
    QByteArray delayed_;
    bool closeAfterDelayed_ = false;
    QTimer delayTimer_;
    bool done_ = false;
};

}  // namespace tds
