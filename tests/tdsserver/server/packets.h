#pragma once
// Packets on the wire: an 8-byte header (type, status, big-endian length,
// SPID, packet number, window) and a part of one message. A message ends
// with the packet whose status has the end-of-message bit.
#include <QByteArray>
#include <QString>
#include <QVector>

namespace tds {

namespace packet {
constexpr quint8 SqlBatch = 0x01;
constexpr quint8 Rpc = 0x03;
constexpr quint8 Reply = 0x04;
constexpr quint8 Attention = 0x06;
constexpr quint8 BulkLoad = 0x07;
constexpr quint8 TransactionManager = 0x0E;
constexpr quint8 Login7 = 0x10;
constexpr quint8 Sspi = 0x11;
constexpr quint8 PreLogin = 0x12;

constexpr quint8 EndOfMessage = 0x01;
constexpr quint8 ResetConnection = 0x08;
constexpr quint8 ResetConnectionKeepTransaction = 0x10;

constexpr int HeaderSize = 8;
}  // namespace packet

struct Message {
    quint8 type = 0;
    quint8 firstStatus = 0;  // status bits of the first packet
    QByteArray payload;
};

// The message split into packets of at most packetSize bytes each.
QByteArray framePackets(quint8 type, const QByteArray &payload, int packetSize, quint16 spid);

// Collects packets from a byte stream into whole messages.
class MessageAssembler {
public:
    // Largest message accepted; a longer one is a protocol error.
    static constexpr int MaxMessageBytes = 64 * 1024 * 1024;

    void feed(const QByteArray &bytes) { buffer_.append(bytes); }
    // Takes the next whole message; false when none is complete yet or the
    // stream is broken (see error()).
    bool next(Message &message);
    const QString &error() const { return error_; }

private:
    QByteArray buffer_;
    Message partial_;
    bool inMessage_ = false;
    QString error_;
};

// "12 01 00 2f ..." lines of 16 bytes, for the trace.
QString hexDump(const QByteArray &bytes, int maxBytes = 4096);

}  // namespace tds
