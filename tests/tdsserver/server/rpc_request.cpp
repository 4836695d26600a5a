#include "rpc_request.h"
#include "code_pages.h"
#include "tokens.h"
#include "wire.h"
#include <QDateTime>
#include <QTimeZone>
#include <QUuid>

namespace tds {

namespace {

constexpr quint64 PlpNull = ~quint64(0);

bool hasCollation(quint8 type) { return type == 0xA7 || type == 0xAF || type == 0xE7 || type == 0xEF || type == 0x23 || type == 0x63; }
bool isUnicode(quint8 type) { return type == 0xE7 || type == 0xEF || type == 0x63; }
bool isBinary(quint8 type) { return type == 0xA5 || type == 0xAD || type == 0x22 || type == 0x25 || type == 0x2D; }

// collation: the value's own (TDS 7.1 on); eight-bit text without one is
// in the server's code page.
QVariant bytesToValue(quint8 type, const QByteArray &bytes, const QByteArray &collation = QByteArray())
{
    if (isUnicode(type))
        return decodeUtf16(bytes);
    if (isBinary(type))
        return bytes;
    return decodeCodePage(codePageOfCollation(collation), bytes);
}

QByteArray readPlp(WireReader &rd, bool *isNull)
{
    const quint64 total = rd.u64();
    *isNull = total == PlpNull;
    QByteArray out;
    if (*isNull)
        return out;
    for (int i = 0; i < 1 << 20 && rd.ok(); ++i) {
        const quint32 chunk = rd.u32();
        if (chunk == 0)
            break;
        out += rd.bytes(int(chunk));
    }
    return out;
}

QDate dayZero() { return QDate(1, 1, 1); }

quint64 littleEndian(const QByteArray &b)
{
    quint64 v = 0;
    for (int i = int(b.size()) - 1; i >= 0; --i)
        v = (v << 8) | quint8(b.at(i));
    return v;
}

QTime timeFromTicks(quint64 ticks, int scale)
{
    double seconds = double(ticks);
    for (int i = 0; i < scale; ++i)
        seconds /= 10;
    return QTime(0, 0).addMSecs(qint64(seconds * 1000 + 0.5));
}

QVariant decimalValue(const QByteArray &b, int scale)
{
    if (b.isEmpty())
        return QVariant();
    const bool positive = b.at(0) == 1;
    // Up to 16 bytes of magnitude; 8 are enough for the values tests send.
    const quint64 magnitude = littleEndian(b.mid(1, 8));
    QString digits = QString::number(magnitude);
    if (scale > 0) {
        while (digits.size() <= scale)
            digits.prepend(QLatin1Char('0'));
        digits.insert(digits.size() - scale, QLatin1Char('.'));
    }
    return QVariant((positive ? QString() : QStringLiteral("-")) + digits).toDouble();
}

// Reads TYPE_INFO and the value that follows; false for a type it cannot read.
bool readTypedValue(WireReader &rd, quint32 version, QVariant *value, bool *national)
{
    const quint8 type = rd.u8();
    *national = isUnicode(type);
    const bool v71 = version >= version::V71;
    switch (type) {
    case 0x1F: *value = QVariant(); return true;                         // NULL
    case 0x30: *value = int(rd.u8()); return true;                       // TINYINT
    case 0x32: *value = rd.u8() != 0; return true;                       // BIT
    case 0x34: *value = int(qint16(rd.u16())); return true;              // SMALLINT
    case 0x38: *value = qint32(rd.u32()); return true;                   // INT
    case 0x7F: *value = qint64(rd.u64()); return true;                   // BIGINT
    case 0x3B: *value = double(rd.f32()); return true;                   // REAL
    case 0x3E: *value = rd.f64(); return true;                           // FLOAT
    case 0x3C: {                                                          // MONEY
        const qint64 hi = qint32(rd.u32());
        const quint64 lo = rd.u32();
        *value = double((hi << 32) | qint64(lo)) / 10000.0;
        return true;
    }
    case 0x7A: *value = double(qint32(rd.u32())) / 10000.0; return true; // SMALLMONEY
    case 0x3D: {                                                          // DATETIME
        const qint32 days = qint32(rd.u32());
        const quint32 ticks = rd.u32();
        *value = QDateTime(QDate(1900, 1, 1).addDays(days), QTime(0, 0).addMSecs(qint64(ticks) * 10 / 3));
        return true;
    }
    case 0x3A: {                                                          // SMALLDATETIME
        const quint16 days = rd.u16();
        const quint16 minutes = rd.u16();
        *value = QDateTime(QDate(1900, 1, 1).addDays(days), QTime(0, 0).addSecs(minutes * 60));
        return true;
    }
    case 0x26: case 0x68: case 0x6D: case 0x6E: case 0x6F: case 0x24: { // INTN BITN FLTN MONEYN DATETIMN GUID
        rd.u8();  // maximum length
        const int length = rd.u8();
        const QByteArray b = rd.bytes(length);
        if (length == 0) {
            *value = QVariant();
            return rd.ok();
        }
        WireReader v(b);
        if (type == 0x26) {
            *value = length == 1 ? QVariant(int(v.u8())) : length == 2 ? QVariant(int(qint16(v.u16())))
                   : length == 4 ? QVariant(qint32(v.u32())) : QVariant(qint64(v.u64()));
        } else if (type == 0x68) {
            *value = v.u8() != 0;
        } else if (type == 0x6D) {
            *value = length == 4 ? double(v.f32()) : v.f64();
        } else if (type == 0x6E) {
            if (length == 4) {
                *value = double(qint32(v.u32())) / 10000.0;
            } else {
                const qint64 hi = qint32(v.u32());
                *value = double((hi << 32) | qint64(v.u32())) / 10000.0;
            }
        } else if (type == 0x6F) {
            if (length == 4) {
                const quint16 days = v.u16();
                *value = QDateTime(QDate(1900, 1, 1).addDays(days), QTime(0, 0).addSecs(v.u16() * 60));
            } else {
                const qint32 days = qint32(v.u32());
                *value = QDateTime(QDate(1900, 1, 1).addDays(days), QTime(0, 0).addMSecs(qint64(v.u32()) * 10 / 3));
            }
        } else {
            *value = QUuid::fromRfc4122(b).toString(QUuid::WithoutBraces);  // byte order aside
        }
        return rd.ok();
    }
    case 0x6A: case 0x6C: case 0x37: case 0x3F: {                       // DECIMAL NUMERIC
        rd.u8();
        rd.u8();  // precision
        const int scale = rd.u8();
        const int length = rd.u8();
        *value = length == 0 ? QVariant() : decimalValue(rd.bytes(length), scale);
        return rd.ok();
    }
    case 0x28: {                                                          // DATE
        const int length = rd.u8();
        *value = length == 0 ? QVariant() : QVariant(dayZero().addDays(qint64(littleEndian(rd.bytes(3)))));
        return rd.ok();
    }
    case 0x29: case 0x2A: case 0x2B: {                                    // TIME DATETIME2 DATETIMEOFFSET
        const int scale = rd.u8();
        const int length = rd.u8();
        if (length == 0) {
            *value = QVariant();
            return rd.ok();
        }
        const QByteArray b = rd.bytes(length);
        const int timeBytes = length - (type == 0x29 ? 0 : 3) - (type == 0x2B ? 2 : 0);
        const QTime time = timeFromTicks(littleEndian(b.left(timeBytes)), scale);
        if (type == 0x29) {
            *value = time;
        } else {
            const QDate date = dayZero().addDays(qint64(littleEndian(b.mid(timeBytes, 3))));
            *value = QDateTime(date, time);
        }
        return rd.ok();
    }
    case 0x2F: case 0x27: case 0x2D: case 0x25: {                       // legacy CHAR VARCHAR BINARY VARBINARY
        rd.u8();
        const int length = rd.u8();
        *value = length == 0xFF ? QVariant() : bytesToValue(type, rd.bytes(length));
        return rd.ok();
    }
    case 0xA5: case 0xAD: case 0xA7: case 0xAF: case 0xE7: case 0xEF: {
        const quint16 maxLength = rd.u16();
        const QByteArray collation = hasCollation(type) && v71 ? rd.bytes(5) : QByteArray();
        if (maxLength == 0xFFFF) {
            bool isNull = false;
            const QByteArray b = readPlp(rd, &isNull);
            *value = isNull ? QVariant() : bytesToValue(type, b, collation);
        } else {
            const quint16 length = rd.u16();
            *value = length == 0xFFFF ? QVariant() : bytesToValue(type, rd.bytes(length), collation);
        }
        return rd.ok();
    }
    case 0x22: case 0x23: case 0x63: {                                    // IMAGE TEXT NTEXT
        rd.u32();
        const QByteArray collation = hasCollation(type) && v71 ? rd.bytes(5) : QByteArray();
        const quint32 length = rd.u32();
        *value = length == 0xFFFFFFFF ? QVariant() : bytesToValue(type, rd.bytes(int(length)), collation);
        return rd.ok();
    }
    default:
        return false;
    }
}

}  // namespace

QString systemProcedureName(quint16 id)
{
    static const char *const names[] = {
        nullptr, "sp_cursor", "sp_cursoropen", "sp_cursorprepare", "sp_cursorexecute",
        "sp_cursorprepexec", "sp_cursorunprepare", "sp_cursorfetch", "sp_cursoroption",
        "sp_cursorclose", "sp_executesql", "sp_prepare", "sp_execute", "sp_prepexec",
        "sp_prepexecrpc", "sp_unprepare",
    };
    if (id >= 1 && id < sizeof names / sizeof *names)
        return QString::fromLatin1(names[id]);
    return QStringLiteral("procedure id %1").arg(id);
}

int skipAllHeaders(const QByteArray &payload, quint32 tdsVersion)
{
    if (tdsVersion < version::V72 || payload.size() < 4)
        return 0;
    const quint32 total = WireReader(payload).u32();
    // A plausible ALL_HEADERS block is at least its own length field.
    if (total < 4 || total > quint32(payload.size()))
        return 0;
    return int(total);
}

RpcRequest parseRpc(const QByteArray &payload, quint32 version)
{
    RpcRequest request;
    WireReader rd(payload, skipAllHeaders(payload, version));
    for (int callIndex = 0; callIndex < 64 && !rd.atEnd(); ++callIndex) {
        RpcCall call;
        const quint16 nameLength = rd.u16();
        if (nameLength == 0xFFFF) {
            call.procId = rd.u16();
            call.name = systemProcedureName(call.procId);
        } else {
            call.name = rd.utf16(nameLength);
        }
        call.options = rd.u16();
        while (rd.ok() && !rd.atEnd()) {
            const quint8 next = rd.peek();
            if (next == 0x80 || next == 0xFF || next == 0xFE) {
                rd.u8();  // a further call follows
                break;
            }
            ProcedureArgument p;
            p.name = rd.bVarchar();
            p.output = (rd.u8() & 0x01) != 0;
            if (!readTypedValue(rd, version, &p.value, &p.national)) {
                request.error = QStringLiteral("parameter %1 of %2 has a type this server cannot read")
                                    .arg(call.parameters.size() + 1)
                                    .arg(call.name);
                return request;
            }
            call.parameters << p;
        }
        if (!rd.ok()) {
            request.error = QStringLiteral("the RPC request for %1 is cut short").arg(call.name);
            return request;
        }
        request.calls << call;
    }
    return request;
}

QString RpcCall::describe() const
{
    QStringList parts;
    for (const ProcedureArgument &p : parameters) {
        QString v = p.value.isNull() ? QStringLiteral("NULL") : p.value.toString();
        if (v.size() > 200)
            v = v.left(200) + QStringLiteral("...");
        parts << QStringLiteral("%1%2=%3").arg(p.name.isEmpty() ? QStringLiteral("?") : p.name,
                                               p.output ? QStringLiteral("(out)") : QString(), v);
    }
    return QStringLiteral("%1 [%2]").arg(name, parts.join(QStringLiteral(", ")));
}

}  // namespace tds
