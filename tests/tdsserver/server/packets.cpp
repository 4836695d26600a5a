#include "packets.h"

namespace tds {

QByteArray framePackets(quint8 type, const QByteArray &payload, int packetSize, quint16 spid)
{
    const int room = qMax(packetSize, 512) - packet::HeaderSize;
    QByteArray out;
    out.reserve(payload.size() + (payload.size() / room + 1) * packet::HeaderSize);
    int offset = 0;
    quint8 number = 1;
    do {
        const int chunk = qMin(room, int(payload.size()) - offset);
        const bool last = offset + chunk >= payload.size();
        const int length = chunk + packet::HeaderSize;
        out.append(char(type));
        out.append(char(last ? packet::EndOfMessage : 0));
        out.append(char(length >> 8));
        out.append(char(length & 0xff));
        out.append(char(spid >> 8));
        out.append(char(spid & 0xff));
        out.append(char(number++));
        out.append(char(0));
        out.append(payload.constData() + offset, chunk);
        offset += chunk;
    } while (offset < payload.size());
    return out;
}

bool MessageAssembler::next(Message &message)
{
    while (error_.isEmpty() && buffer_.size() >= packet::HeaderSize) {
        const quint8 type = quint8(buffer_.at(0));
        const quint8 status = quint8(buffer_.at(1));
        const int length = (quint8(buffer_.at(2)) << 8) | quint8(buffer_.at(3));
        if (length < packet::HeaderSize) {
            error_ = QStringLiteral("packet length %1 is shorter than its header").arg(length);
            return false;
        }
        if (buffer_.size() < length)
            return false;
        if (!inMessage_) {
            partial_ = Message();
            partial_.type = type;
            partial_.firstStatus = status;
            inMessage_ = true;
        } else if (type != partial_.type && type != packet::Attention) {
            error_ = QStringLiteral("packet of type 0x%1 inside a message of type 0x%2")
                         .arg(type, 2, 16, QLatin1Char('0'))
                         .arg(partial_.type, 2, 16, QLatin1Char('0'));
            return false;
        }
        if (type == packet::Attention && partial_.type != packet::Attention) {
            // A cancel cutting a message short: the unfinished message is void.
            partial_ = Message();
            partial_.type = type;
            partial_.firstStatus = status;
        }
        partial_.payload.append(buffer_.constData() + packet::HeaderSize,
                                length - packet::HeaderSize);
        buffer_.remove(0, length);
        if (partial_.payload.size() > MaxMessageBytes) {
            error_ = QStringLiteral("message longer than %1 bytes").arg(MaxMessageBytes);
            return false;
        }
        if (status & packet::EndOfMessage) {
            inMessage_ = false;
            message = std::move(partial_);
            partial_ = Message();
            return true;
        }
    }
    return false;
}

QString hexDump(const QByteArray &bytes, int maxBytes)
{
    QString out;
    const int n = qMin(int(bytes.size()), maxBytes);
    for (int row = 0; row < n; row += 16) {
        QString hex, text;
        for (int i = row; i < qMin(row + 16, n); ++i) {
            const quint8 b = quint8(bytes.at(i));
            hex += QStringLiteral("%1 ").arg(b, 2, 16, QLatin1Char('0'));
            text += (b >= 0x20 && b < 0x7f) ? QChar(b) : QLatin1Char('.');
        }
        out += QStringLiteral("  %1  %2 %3\n").arg(row, 6, 16, QLatin1Char('0')).arg(hex, -48).arg(text);
    }
    if (n < bytes.size())
        out += QStringLiteral("  ... %1 more bytes\n").arg(bytes.size() - n);
    return out;
}

}  // namespace tds
