#include "prelogin.h"
#include "server_identity.h"
#include "wire.h"
#include <QVector>

namespace tds {

namespace {
constexpr quint8 OptVersion = 0x00;
constexpr quint8 OptEncryption = 0x01;
constexpr quint8 OptInstance = 0x02;
constexpr quint8 OptThreadId = 0x03;
constexpr quint8 OptMars = 0x04;
constexpr quint8 OptTerminator = 0xFF;
}  // namespace

PreLoginRequest parsePreLogin(const QByteArray &payload)
{
    PreLoginRequest r;
    WireReader rd(payload);
    for (int i = 0; i < 64 && !rd.atEnd(); ++i) {
        const quint8 option = rd.u8();
        if (option == OptTerminator) {
            r.valid = rd.ok();
            return r;
        }
        const int offset = rd.u16be();
        const int length = rd.u16be();
        if (!rd.ok() || offset + length > payload.size())
            return r;
        const QByteArray data = payload.mid(offset, length);
        switch (option) {
        case OptVersion:
            if (length >= 4)
                r.clientVersion = WireReader(data).u32be();
            break;
        case OptEncryption:
            if (length >= 1)
                r.encryption = quint8(data.at(0));
            break;
        case OptInstance:
            r.instance = QString::fromLatin1(data.left(data.indexOf('\0')));
            break;
        case OptMars:
            r.mars = length >= 1 && data.at(0) != 0;
            break;
        default:
            break;
        }
    }
    return r;
}

QString PreLoginRequest::describe() const
{
    return QStringLiteral("PRELOGIN client version 0x%1, encryption %2, instance '%3', MARS %4")
        .arg(clientVersion, 8, 16, QLatin1Char('0'))
        .arg(encryption)
        .arg(instance)
        .arg(mars ? QStringLiteral("on") : QStringLiteral("off"));
}

QByteArray preLoginReply(quint8 major, quint8 minor, quint16 build)
{
    struct Option {
        quint8 id;
        QByteArray data;
    };
    WireWriter version;
    version.u8(major);
    version.u8(minor);
    version.u16be(build);
    version.u16be(0);
    const QVector<Option> options = {
        {OptVersion, version.data()},
        {OptEncryption, QByteArray(1, char(encrypt::NotSupported))},
        {OptInstance, QByteArray(1, '\0')},
        {OptThreadId, QByteArray()},
        {OptMars, QByteArray(1, '\0')},
    };
    const int headerSize = options.size() * 5 + 1;
    WireWriter w;
    int offset = headerSize;
    for (const Option &o : options) {
        w.u8(o.id);
        w.u16be(quint16(offset));
        w.u16be(quint16(o.data.size()));
        offset += int(o.data.size());
    }
    w.u8(OptTerminator);
    for (const Option &o : options)
        w.bytes(o.data);
    return w.take();
}

}  // namespace tds
