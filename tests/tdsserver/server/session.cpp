#include "session.h"
#include "login7.h"
#include "prelogin.h"
#include "reply_writer.h"
#include "rpc_request.h"
#include "server_identity.h"
#include "tokens.h"
#include <QTcpSocket>

namespace tds {

namespace {

QString outcomeOf(const QVector<StatementResult> &results)
{
    for (const StatementResult &r : results)
        if (r.refusedWrite)
            return QStringLiteral("refused");
    for (const StatementResult &r : results)
        for (const ServerMessage &m : r.messages)
            if (m.isError())
                return QStringLiteral("error %1").arg(m.number);
    return QStringLiteral("ok");
}

QString outcomeOf(const ProcedureReply &reply)
{
    if (!reply.callErrors.isEmpty())
        return QStringLiteral("error %1").arg(reply.callErrors.first().number);
    return outcomeOf(reply.results);
}

// The statement an RPC call carries, as the log shows it.
QString statementOf(const RpcCall &call, const SessionState &state)
{
    const QString name = call.name.toLower();
    auto param = [&](int i) { return i < call.parameters.size() ? call.parameters[i].value.toString() : QString(); };
    if (name == QLatin1String("sp_executesql"))
        return param(0);
    if (name == QLatin1String("sp_cursoropen"))
        return param(1);
    if (name == QLatin1String("sp_prepare") || name == QLatin1String("sp_prepexec")
        || name == QLatin1String("sp_cursorprepare") || name == QLatin1String("sp_cursorprepexec"))
        return param(2);
    if (name == QLatin1String("sp_execute")) {
        const auto it = state.prepared.constFind(call.parameters.value(0).value.toInt());
        if (it != state.prepared.constEnd())
            return it->statement;
    }
    QStringList args;
    for (const ProcedureArgument &p : call.parameters)
        args << (p.name.isEmpty() ? QString() : p.name + QLatin1Char('='))
                    + (p.value.isNull() ? QStringLiteral("NULL") : p.value.toString());
    return args.join(QStringLiteral(", "));
}

}  // namespace

Session::Session(QTcpSocket *socket, int id, const ServerOptions &options, const CatalogFolder &folder,
                 ServerLogs logs, QObject *parent)
    : QObject(parent), socket_(socket), id_(id), options_(options), logs_(logs), state_(folder, id, options.fitTextWidths, options.textType,
             *options.release),
      executor_(state_)
{
    state_.refuseRowCounts = options.refuseRowCounts;
    socket_->setParent(this);
    delayTimer_.setSingleShot(true);
    delayTimer_.setTimerType(Qt::PreciseTimer);
    connect(&delayTimer_, &QTimer::timeout, this, [this] {
        busy_ = false;
        writeNow(delayed_, closeAfterDelayed_);
        delayed_.clear();
        pump();
    });
    connect(socket_, &QTcpSocket::readyRead, this, &Session::onReadyRead);
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        if (!done_) {
            done_ = true;
            logs_.trace->note(id_, QStringLiteral("disconnected"));
            emit finished(this);
        }
    });
    logs_.trace->note(id_, QStringLiteral("connected from %1:%2")
                               .arg(socket_->peerAddress().toString())
                               .arg(socket_->peerPort()));
}

Session::~Session() = default;

void Session::onReadyRead()
{
    assembler_.feed(socket_->readAll());
    Message m;
    while (assembler_.next(m)) {
        logs_.trace->packet(id_, true, m.type, m.payload);
        if (m.type == packet::Attention)
            handleAttention();
        else
            queue_.enqueue(std::move(m));
    }
    if (!assembler_.error().isEmpty()) {
        protocolFailure(assembler_.error());
        return;
    }
    pump();
}

void Session::pump()
{
    while (!busy_ && phase_ != Phase::Closing && !queue_.isEmpty())
        handle(queue_.dequeue());
}

void Session::handle(const Message &m)
{
    switch (phase_) {
    case Phase::PreLogin:
        if (m.type == packet::PreLogin) {
            handlePreLogin(m);
            return;
        }
        [[fallthrough]];  // a client may skip PRELOGIN
    case Phase::Login:
        if (m.type == packet::Login7) {
            handleLogin(m);
            return;
        }
        protocolFailure(QStringLiteral("expected a login, got message type 0x%1").arg(m.type, 2, 16, QLatin1Char('0')));
        return;
    case Phase::LoggedIn:
        break;
    case Phase::Closing:
        return;
    }
    switch (m.type) {
    case packet::SqlBatch:
        handleBatch(m);
        break;
    case packet::Rpc:
        handleRpc(m);
        break;
    case packet::TransactionManager:
        handleTransaction(m);
        break;
    case packet::BulkLoad: {
        log(QStringLiteral("bulk"), QString(), QStringLiteral("refused"), QString());
        TokenWriter w(tdsVersion_);
        w.message(messages::readOnlyDatabase(state_.catalog()));
        w.done(done::DoneToken, done::Error, 0, 0);
        reply(w.take());
        break;
    }
    default:
        protocolFailure(QStringLiteral("unexpected message type 0x%1").arg(m.type, 2, 16, QLatin1Char('0')));
    }
}

void Session::handlePreLogin(const Message &m)
{
    const PreLoginRequest request = parsePreLogin(m.payload);
    logs_.trace->note(id_, request.describe());
    if (!request.valid) {
        protocolFailure(QStringLiteral("unreadable PRELOGIN"));
        return;
    }
    phase_ = Phase::Login;
    const identity::Release &r = state_.release();
    reply(preLoginReply(r.major, r.minor, r.build));
}

void Session::refuseLogin(TokenWriter &w, const QVector<ServerMessage> &errors, const QString &user)
{
    for (const ServerMessage &e : errors)
        w.message(e);
    w.done(done::DoneToken, done::Error, 0, 0);
    log(QStringLiteral("login"), QString(), QStringLiteral("error %1").arg(errors.first().number), user);
    phase_ = Phase::Closing;
    reply(w.take(), true);
}

void Session::handleLogin(const Message &m)
{
    const Login7Request login = parseLogin7(m.payload);
    logs_.trace->note(id_, login.describe());
    if (!login.valid) {
        protocolFailure(login.error);
        return;
    }
    // An older server answers a newer client with its own version.
    tdsVersion_ = qMin(version::negotiate(login.tdsVersion), state_.release().tdsVersion);
    TokenWriter w(tdsVersion_);
    const QString user = login.userName;
    if (options_.refuseLogins) {
        refuseLogin(w, {messages::loginFailed(user)}, user);
        return;
    }
    if (login.integratedSecurity() && user.isEmpty()) {
        refuseLogin(w, {messages::untrustedDomain()}, user);
        return;
    }
    if (user.compare(QLatin1String("sa"), Qt::CaseInsensitive) != 0 || login.password != options_.password) {
        refuseLogin(w, {messages::loginFailed(user)}, user);
        return;
    }
    const bool named = !login.database.isEmpty();
    const QString catalog = named ? login.database : identity::defaultCatalog();
    if (!state_.useCatalog(catalog, named)) {
        refuseLogin(w, {messages::cannotOpenDatabase(catalog), messages::loginFailed(user)}, user);
        return;
    }
    state_.loginName = user;
    state_.hostName = login.hostName;
    state_.appName = login.appName;
    state_.loginCatalog = state_.catalog();
    packetSize_ = login.packetSize == 0 ? 4096 : int(qBound<quint32>(512, login.packetSize, 32767));

    w.envChange(env::Database, state_.catalog(), identity::defaultCatalog());
    w.message(messages::changedDatabase(state_.catalog()));
    if (tdsVersion_ >= version::V71)
        w.envChangeBytes(env::Collation, identity::collation(), QByteArray());
    w.envChange(env::Language, identity::language(), QString());
    w.message(messages::changedLanguage(identity::language()));
    w.loginAck(state_.release().major, state_.release().minor, state_.release().build);
    if (tdsVersion_ >= version::V74 && !login.features.isEmpty())
        w.featureExtAck();
    w.envChange(env::PacketSize, QString::number(packetSize_), QString::number(packetSize_));
    w.done(done::DoneToken, done::Final, 0, 0);
    log(QStringLiteral("login"), QString(), QStringLiteral("ok"), user);
    logs_.trace->note(id_, QStringLiteral("logged in: TDS %1, packet size %2, catalog %3")
                               .arg(version::name(tdsVersion_))
                               .arg(packetSize_)
                               .arg(state_.catalog()));
    phase_ = Phase::LoggedIn;
    reply(w.take());
}

bool Session::admitRequest(const QString &request, const QString &procedure, const QString &text)
{
    if (options_.dropAfter >= 0 && statements_ >= options_.dropAfter) {
        log(request, procedure, QStringLiteral("dropped"), text);
        logs_.trace->note(id_, QStringLiteral("dropping the connection (--drop-after %1)").arg(options_.dropAfter));
        closeHard();
        return false;
    }
    ++statements_;
    if (options_.hangAfterLogin || (options_.hangAfter >= 0 && statements_ > options_.hangAfter)) {
        silent_ = true;
        log(request, procedure, QStringLiteral("unanswered"), text);
        return false;
    }
    return true;
}

void Session::resetConnection(TokenWriter &w)
{
    // A pooled connection handed to a new user: back to the state after login.
    const QString old = state_.catalog();
    state_.useCatalog(state_.loginCatalog, false);
    state_.transactionDepth = 0;
    state_.cursors.clear();
    state_.prepared.clear();
    w.envChangeBytes(env::ResetAck, QByteArray(), QByteArray());
    if (old != state_.catalog())
        w.envChange(env::Database, state_.catalog(), old);
}

void Session::handleBatch(const Message &m)
{
    const QString text = decodeUtf16(m.payload.mid(skipAllHeaders(m.payload, tdsVersion_)));
    if (!admitRequest(QStringLiteral("batch"), QString(), text))
        return;
    TokenWriter w(tdsVersion_);
    if (m.firstStatus & packet::ResetConnection)
        resetConnection(w);
    const QString catalog = state_.catalog();
    const QVector<StatementResult> results = executor_.runBatch(text);
    logs_.statements->write(id_, catalog, QStringLiteral("batch"), QString(), outcomeOf(results), text);
    writeBatchReply(w, results);
    reply(w.take());
}

void Session::handleRpc(const Message &m)
{
    const RpcRequest request = parseRpc(m.payload, tdsVersion_);
    const QString firstName = request.calls.isEmpty() ? QString() : request.calls.first().name;
    if (!admitRequest(QStringLiteral("rpc"), firstName,
                      request.calls.isEmpty() ? QString() : statementOf(request.calls.first(), state_)))
        return;
    for (const RpcCall &call : request.calls)
        logs_.trace->note(id_, QStringLiteral("RPC %1").arg(call.describe()));
    TokenWriter w(tdsVersion_);
    if (m.firstStatus & packet::ResetConnection)
        resetConnection(w);
    if (!request.error.isEmpty()) {
        logs_.trace->note(id_, request.error);
        log(QStringLiteral("rpc"), firstName, QStringLiteral("error 4002"), request.error);
        w.message(messages::protocolError(request.error));
        w.done(done::DoneToken, done::Error, 0, 0);
        reply(w.take());
        return;
    }
    for (int i = 0; i < request.calls.size(); ++i) {
        const RpcCall &call = request.calls[i];
        const QString catalog = state_.catalog();
        const QString statement = statementOf(call, state_);
        const ProcedureReply result = executor_.callProcedure(call.name, call.parameters);
        logs_.statements->write(id_, catalog, QStringLiteral("rpc"), call.name, outcomeOf(result),
                                statement);
        writeProcedureReply(w, result, i + 1 < request.calls.size());
    }
    reply(w.take());
}

void Session::handleTransaction(const Message &m)
{
    WireReader rd(m.payload, skipAllHeaders(m.payload, tdsVersion_));
    const quint16 type = rd.u16();
    constexpr quint16 Begin = 5, Commit = 7, Rollback = 8, Save = 9;
    const QString what = type == Begin ? QStringLiteral("begin") : type == Commit ? QStringLiteral("commit")
                       : type == Rollback ? QStringLiteral("rollback") : type == Save ? QStringLiteral("save")
                       : QStringLiteral("request %1").arg(type);
    if (!admitRequest(QStringLiteral("transaction"), QString(), what))
        return;
    const QByteArray descriptor = QByteArray::number(id_).rightJustified(8, '\0').left(8);
    TokenWriter w(tdsVersion_);
    QString outcome = QStringLiteral("ok");
    if (type == Begin) {
        state_.transactionDepth = 1;
        w.envChangeBytes(env::BeginTransaction, descriptor, QByteArray());
    } else if (type == Commit || type == Rollback) {
        state_.transactionDepth = 0;
        w.envChangeBytes(type == Commit ? env::CommitTransaction : env::RollbackTransaction, QByteArray(), descriptor);
        // "begin a new transaction afterwards" flag
        rd.bVarchar();
        if (rd.ok() && !rd.atEnd() && (rd.u8() & 0x01)) {
            state_.transactionDepth = 1;
            w.envChangeBytes(env::BeginTransaction, descriptor, QByteArray());
        }
    } else if (type != Save) {
        outcome = QStringLiteral("error 50000");
        w.message(messages::cannotRun(QStringLiteral("Distributed transactions are not supported by this test server.")));
    }
    w.done(done::DoneToken, outcome == QLatin1String("ok") ? done::Final : done::Error, 0, 0);
    log(QStringLiteral("transaction"), QString(), outcome, what);
    reply(w.take());
}

void Session::handleAttention()
{
    if (phase_ != Phase::LoggedIn || options_.hangAfterLogin || silent_) {
        log(QStringLiteral("attention"), QString(), QStringLiteral("unanswered"), QString());
        return;
    }
    // Whatever was not yet answered is cancelled.
    if (busy_) {
        delayTimer_.stop();
        delayed_.clear();
        busy_ = false;
    }
    queue_.clear();
    log(QStringLiteral("attention"), QString(), QStringLiteral("ok"), QString());
    TokenWriter w(tdsVersion_);
    w.done(done::DoneToken, done::Attention, 0, 0);
    writeNow(framePackets(packet::Reply, w.take(), packetSize_, quint16(state_.spid())), false);
}

void Session::reply(const QByteArray &payload, bool closeAfter)
{
    logs_.trace->packet(id_, false, packet::Reply, payload);
    const QByteArray framed = framePackets(packet::Reply, payload, packetSize_, quint16(state_.spid()));
    if (options_.delayMs > 0) {
        busy_ = true;
        delayed_ = framed;
        closeAfterDelayed_ = closeAfter;
        delayTimer_.start(options_.delayMs);
        return;
    }
    writeNow(framed, closeAfter);
}

void Session::writeNow(const QByteArray &framed, bool closeAfter)
{
    if (socket_->state() != QAbstractSocket::ConnectedState)
        return;
    socket_->write(framed);
    if (closeAfter) {
        phase_ = Phase::Closing;
        socket_->disconnectFromHost();
    }
}

void Session::protocolFailure(const QString &what)
{
    logs_.trace->note(id_, QStringLiteral("protocol error: %1").arg(what));
    log(QStringLiteral("protocol"), QString(), QStringLiteral("error 4002"), what);
    closeHard();
}

void Session::closeHard()
{
    phase_ = Phase::Closing;
    socket_->abort();
    if (!done_) {
        done_ = true;
        QTimer::singleShot(0, this, [this] { emit finished(this); });
    }
}

void Session::log(const QString &request, const QString &procedure, const QString &outcome, const QString &text)
{
    logs_.statements->write(id_, state_.catalog(), request, procedure, outcome, text);
}

}  // namespace tds
