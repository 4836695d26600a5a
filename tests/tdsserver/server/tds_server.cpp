#include "tds_server.h"
#include "browser_service.h"
#include "session.h"
#include "process_alive.h"
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <atomic>

namespace tds {

namespace {

std::atomic<bool> g_stopRequested{false};

bool writeSmallFile(const QString &path, const QByteArray &content, QString *error)
{
    if (path.isEmpty())
        return true;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size() || !f.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

}  // namespace

void requestStop() { g_stopRequested = true; }

TdsServer::TdsServer(ServerOptions options, QObject *parent)
    : QObject(parent), options_(std::move(options)), folder_(options_.folder),
      statementLog_(options_.logFile), trace_(options_.traceFile)
{
    running_.start();
    idle_.start();
    connect(&lifetimeTimer_, &QTimer::timeout, this, &TdsServer::checkLifetime);
    lifetimeTimer_.start(200);
}

TdsServer::~TdsServer()
{
    if (!options_.portFile.isEmpty())
        QFile::remove(options_.portFile);
    if (!options_.pidFile.isEmpty())
        QFile::remove(options_.pidFile);
}

bool TdsServer::start(QString *error)
{
    if (!options_.logFile.isEmpty() && !statementLog_.isOpen()) {
        *error = QStringLiteral("cannot open the log %1: %2").arg(options_.logFile, statementLog_.errorString());
        return false;
    }
    if (!QFileInfo(options_.folder).isDir()) {
        *error = QStringLiteral("--folder %1 is no folder").arg(options_.folder);
        return false;
    }
    QHostAddress address;
    if (!address.setAddress(options_.listen) || !address.isLoopback()) {
        *error = QStringLiteral("--listen %1 is no loopback address").arg(options_.listen);
        return false;
    }
    auto *main = new QTcpServer(this);
    if (!main->listen(address, quint16(options_.port))) {
        *error = QStringLiteral("cannot listen on %1 port %2: %3")
                     .arg(options_.listen).arg(options_.port).arg(main->errorString());
        return false;
    }
    port_ = main->serverPort();
    listeners_.push_back(main);
    if (address == QHostAddress(QHostAddress::LocalHost)) {
        // "localhost" may resolve to ::1 first; answer there too when the port is free.
        auto *six = new QTcpServer(this);
        if (six->listen(QHostAddress::LocalHostIPv6, port_))
            listeners_.push_back(six);
        else
            delete six;
    }
    if (!options_.browserInstance.isEmpty()) {
        const identity::Release &r = *options_.release;
        auto *browser = new BrowserService(options_.browserInstance, port_,
                                           QStringLiteral("%1.%2.%3.0").arg(r.major).arg(r.minor).arg(r.build), this);
        if (!browser->listen(address, quint16(options_.browserPort), error))
            return false;
    }
    for (QTcpServer *l : listeners_) {
        l->setMaxPendingConnections(64);
        connect(l, &QTcpServer::newConnection, this, [this, l] { accept(l); });
    }
    if (!writeSmallFile(options_.pidFile, QByteArray::number(QCoreApplication::applicationPid()) + '\n', error))
        return false;
    if (!writeSmallFile(options_.portFile, QByteArray::number(port_) + '\n', error))
        return false;
    trace_.note(0, QStringLiteral("listening on %1 port %2, serving %3").arg(options_.listen).arg(port_).arg(options_.folder));
    return true;
}

void TdsServer::accept(QTcpServer *listener)
{
    while (QTcpSocket *socket = listener->nextPendingConnection()) {
        idle_.restart();
        if (options_.closeOnAccept) {
            trace_.note(0, QStringLiteral("closing a new connection (--close-on-accept)"));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const int id = nextSession_++;
        auto *session = new Session(socket, id, options_, folder_, ServerLogs{&statementLog_, &trace_}, this);
        ++openSessions_;
        connect(session, &Session::finished, this, [this](Session *s) {
            --openSessions_;
            idle_.restart();
            s->deleteLater();
        });
    }
}

void TdsServer::checkLifetime()
{
    QString why;
    if (g_stopRequested)
        why = QStringLiteral("told to stop");
    else if (options_.maxSeconds > 0 && running_.elapsed() >= qint64(options_.maxSeconds) * 1000)
        why = QStringLiteral("--max-seconds reached");
    else if (options_.idleSeconds > 0 && openSessions_ == 0 && idle_.elapsed() >= qint64(options_.idleSeconds) * 1000)
        why = QStringLiteral("idle for --idle-seconds");
    else if (options_.parentPid > 0 && !tdsproc::processAlive(options_.parentPid))
        why = QStringLiteral("the parent process is gone");
    if (why.isEmpty())
        return;
    trace_.note(0, QStringLiteral("stopping: %1").arg(why));
    lifetimeTimer_.stop();
    QCoreApplication::quit();
}

}  // namespace tds
