#pragma once
// The SQL Server Browser service for one named instance: a client asking on
// UDP (port 1434) for the instance's TCP port gets it. Other instance names
// get no answer, as from a real server.
#include <QHostAddress>
#include <QObject>
#include <QString>

class QUdpSocket;

namespace tds {

class BrowserService : public QObject {
    Q_OBJECT
public:
    BrowserService(QString instance, quint16 tcpPort, QString version, QObject *parent = nullptr);
    bool listen(const QHostAddress &address, quint16 udpPort, QString *error);

    // The answer to a request datagram; empty when there is none to give.
    static QByteArray answer(const QByteArray &request, const QString &instance, quint16 tcpPort,
                             const QString &version);

private:
    void read();
    QString instance_;
    quint16 tcpPort_;
    QString version_;
    QUdpSocket *socket_ = nullptr;
};

}  // namespace tds
