#pragma once
// LOGIN7: a fixed block of 94 bytes with offset/length pairs into the
// variable part (UTF-16 strings), and optionally a FeatureExt block.
#include <QByteArray>
#include <QString>
#include <QVector>

namespace tds {

namespace feature {
constexpr quint8 SessionRecovery = 0x01;
constexpr quint8 FedAuth = 0x02;
constexpr quint8 ColumnEncryption = 0x04;
constexpr quint8 GlobalTransactions = 0x05;
constexpr quint8 Utf8Support = 0x0A;
constexpr quint8 Terminator = 0xFF;
}  // namespace feature

struct Login7Request {
    bool valid = false;
    QString error;          // why it is not valid
    quint32 tdsVersion = 0; // as the client sent it, e.g. 0x74000004
    quint32 packetSize = 0;
    quint32 clientPid = 0;
    quint8 optionFlags1 = 0, optionFlags2 = 0, typeFlags = 0, optionFlags3 = 0;
    QString hostName, userName, password, appName, serverName, libraryName, language, database;
    int sspiBytes = 0;      // integrated authentication data, unsupported here
    QVector<quint8> features;

    bool integratedSecurity() const { return (optionFlags2 & 0x80) || sspiBytes > 0; }
    // Everything but the password, for the trace.
    QString describe() const;
};

Login7Request parseLogin7(const QByteArray &payload);

// The login password on the wire: every byte XOR 0xA5 with its nibbles swapped.
QString unscramblePassword(const QByteArray &scrambled);
QByteArray scramblePassword(const QString &password);

}  // namespace tds
