#include "login7.h"
#include "wire.h"
#include <QStringList>

namespace tds {

namespace {

constexpr int FixedSize = 94;

QString stringAt(const QByteArray &payload, int offsetField, QString *error)
{
    WireReader rd(payload, offsetField);
    const int offset = rd.u16();
    const int chars = rd.u16();
    if (chars == 0)
        return QString();
    if (offset + chars * 2 > payload.size()) {
        *error = QStringLiteral("LOGIN7 string at %1 runs past the end").arg(offsetField);
        return QString();
    }
    return decodeUtf16(payload.mid(offset, chars * 2));
}

void readFeatures(const QByteArray &payload, Login7Request &r)
{
    WireReader rd(payload, 56);
    const int pointerOffset = rd.u16();
    const int pointerLength = rd.u16();
    if (pointerLength < 4 || pointerOffset + 4 > payload.size())
        return;
    WireReader pointer(payload, pointerOffset);
    WireReader ext(payload, int(pointer.u32()));
    for (int i = 0; i < 64 && ext.ok() && !ext.atEnd(); ++i) {
        const quint8 id = ext.u8();
        if (id == feature::Terminator)
            return;
        const quint32 length = ext.u32();
        if (length > quint32(ext.remaining()))
            return;
        ext.skip(int(length));
        r.features << id;
    }
}

}  // namespace

Login7Request parseLogin7(const QByteArray &payload)
{
    Login7Request r;
    if (payload.size() < FixedSize) {
        r.error = QStringLiteral("LOGIN7 of %1 bytes is shorter than its fixed part").arg(payload.size());
        return r;
    }
    WireReader rd(payload);
    const quint32 length = rd.u32();
    if (length > quint32(payload.size())) {
        r.error = QStringLiteral("LOGIN7 says %1 bytes, has %2").arg(length).arg(payload.size());
        return r;
    }
    r.tdsVersion = rd.u32();
    r.packetSize = rd.u32();
    rd.u32();  // client program version
    r.clientPid = rd.u32();
    rd.u32();  // connection id
    r.optionFlags1 = rd.u8();
    r.optionFlags2 = rd.u8();
    r.typeFlags = rd.u8();
    r.optionFlags3 = rd.u8();

    QString error;
    r.hostName = stringAt(payload, 36, &error);
    r.userName = stringAt(payload, 40, &error);
    {
        WireReader p(payload, 44);
        const int offset = p.u16();
        const int chars = p.u16();
        if (offset + chars * 2 > payload.size())
            error = QStringLiteral("LOGIN7 password runs past the end");
        else
            r.password = unscramblePassword(payload.mid(offset, chars * 2));
    }
    r.appName = stringAt(payload, 48, &error);
    r.serverName = stringAt(payload, 52, &error);
    r.libraryName = stringAt(payload, 60, &error);
    r.language = stringAt(payload, 64, &error);
    r.database = stringAt(payload, 68, &error);
    r.sspiBytes = WireReader(payload, 80).u16();
    if (r.optionFlags3 & 0x10)
        readFeatures(payload, r);
    r.error = error;
    r.valid = error.isEmpty();
    return r;
}

QString unscramblePassword(const QByteArray &scrambled)
{
    QByteArray plain = scrambled;
    for (char &c : plain) {
        const quint8 b = quint8(c) ^ 0xA5;
        c = char(quint8((b << 4) | (b >> 4)));
    }
    return decodeUtf16(plain);
}

QByteArray scramblePassword(const QString &password)
{
    QByteArray bytes = encodeUtf16(password);
    for (char &c : bytes) {
        const quint8 b = quint8(c);
        c = char(quint8((b << 4) | (b >> 4)) ^ 0xA5);
    }
    return bytes;
}

QString Login7Request::describe() const
{
    QStringList ids;
    for (quint8 f : features)
        ids << QStringLiteral("0x%1").arg(f, 2, 16, QLatin1Char('0'));
    return QStringLiteral("LOGIN7 tds 0x%1 packet %2 pid %3 flags %4/%5/%6/%7 host '%8' user '%9' "
                          "app '%10' server '%11' library '%12' language '%13' database '%14' "
                          "sspi %15 features [%16]")
        .arg(tdsVersion, 8, 16, QLatin1Char('0'))
        .arg(packetSize)
        .arg(clientPid)
        .arg(optionFlags1, 2, 16, QLatin1Char('0'))
        .arg(optionFlags2, 2, 16, QLatin1Char('0'))
        .arg(typeFlags, 2, 16, QLatin1Char('0'))
        .arg(optionFlags3, 2, 16, QLatin1Char('0'))
        .arg(hostName, userName, appName, serverName, libraryName, language, database)
        .arg(sspiBytes)
        .arg(ids.join(QLatin1Char(' ')));
}

}  // namespace tds
