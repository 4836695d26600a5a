#include "browser_service.h"
#include "server_identity.h"
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace tds {

namespace {
constexpr char ClientBroadcast = 0x02;  // every instance, to all servers
constexpr char ClientUnicast = 0x03;    // every instance of one server
constexpr char ClientInstance = 0x04;   // one named instance
constexpr char ServerResponse = 0x05;
}  // namespace

BrowserService::BrowserService(QString instance, quint16 tcpPort, QString version, QObject *parent)
    : QObject(parent), instance_(std::move(instance)), tcpPort_(tcpPort), version_(std::move(version))
{
}

bool BrowserService::listen(const QHostAddress &address, quint16 udpPort, QString *error)
{
    socket_ = new QUdpSocket(this);
    if (!socket_->bind(address, udpPort)) {
        *error = QStringLiteral("cannot listen on UDP %1 port %2: %3")
                     .arg(address.toString()).arg(udpPort).arg(socket_->errorString());
        return false;
    }
    connect(socket_, &QUdpSocket::readyRead, this, &BrowserService::read);
    return true;
}

QByteArray BrowserService::answer(const QByteArray &request, const QString &instance, quint16 tcpPort,
                                  const QString &version)
{
    if (request.isEmpty())
        return {};
    const char kind = request.at(0);
    if (kind == ClientInstance) {
        QByteArray asked = request.mid(1);
        const int end = int(asked.indexOf('\0'));
        if (end >= 0)
            asked.truncate(end);
        if (QString::fromLocal8Bit(asked).compare(instance, Qt::CaseInsensitive) != 0)
            return {};
    } else if (kind != ClientBroadcast && kind != ClientUnicast) {
        return {};
    }
    const QByteArray data = QStringLiteral("ServerName;%1;InstanceName;%2;IsClustered;No;Version;%3;tcp;%4;;")
                                .arg(identity::serverName(), instance, version)
                                .arg(tcpPort)
                                .toLatin1();
    QByteArray reply;
    reply += ServerResponse;
    reply += char(data.size() & 0xFF);
    reply += char((data.size() >> 8) & 0xFF);
    reply += data;
    return reply;
}

void BrowserService::read()
{
    while (socket_->hasPendingDatagrams()) {
        const QNetworkDatagram request = socket_->receiveDatagram();
        const QByteArray reply = answer(request.data(), instance_, tcpPort_, version_);
        if (!reply.isEmpty())
            socket_->writeDatagram(request.makeReply(reply));
    }
}

}  // namespace tds
