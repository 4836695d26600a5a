#include "tokens.h"
#include "server_identity.h"
#include "text_typing.h"

namespace tds {

namespace {
constexpr quint8 TokColMetadata = 0x81;
constexpr quint8 TokReturnStatus = 0x79;
constexpr quint8 TokError = 0xAA;
constexpr quint8 TokInfo = 0xAB;
constexpr quint8 TokReturnValue = 0xAC;
constexpr quint8 TokLoginAck = 0xAD;
constexpr quint8 TokFeatureExtAck = 0xAE;
constexpr quint8 TokRow = 0xD1;
constexpr quint8 TokEnvChange = 0xE3;

constexpr quint8 TypeIntN = 0x26;
constexpr quint8 TypeFltN = 0x6D;
constexpr quint8 TypeNVarChar = 0xE7;
constexpr quint8 TypeNText = 0x63;
constexpr quint8 TypeBigVarChar = 0xA7;
constexpr quint8 TypeText = 0x23;
constexpr quint8 TypeBigVarBinary = 0xA5;
constexpr quint8 TypeImage = 0x22;

constexpr quint16 ShortMaxBytes = 8000;
constexpr quint16 MaxMarker = 0xFFFF;
constexpr quint64 PlpNull = ~quint64(0);

int intWidth(ColumnType t)
{
    switch (t) {
    case ColumnType::SmallInt: return 2;
    case ColumnType::Int: return 4;
    default: return 8;
    }
}

QByteArray textBytes(const QVariant &v) { return encodeUtf16(v.toString()); }
QByteArray narrowTextBytes(const QVariant &v) { return encodeCodePage936(v.toString()); }

QByteArray bytesOf(ColumnType t, const QVariant &v)
{
    switch (t) {
    case ColumnType::NVarChar:
    case ColumnType::NVarCharMax:
        return textBytes(v);
    case ColumnType::VarChar:
    case ColumnType::VarCharMax:
        return narrowTextBytes(v);
    default:
        return v.toByteArray();
    }
}
}  // namespace

quint32 version::negotiate(quint32 requested)
{
    // The LOGIN7 value of TDS 7.0 is 0x70000000, 7.1 is 0x71000001 (older
    // 7.1 clients send 0x71000000); anything newer than 7.4 gets 7.4.
    if (requested >= V74 || requested < V70)
        return V74;
    if (requested >= V73B)
        return V73B;
    if (requested >= V73A)
        return V73A;
    if (requested >= V72)
        return V72;
    if (requested >= 0x71000000)
        return V71;
    return V70;
}

QString version::name(quint32 v)
{
    switch (v) {
    case V70: return QStringLiteral("7.0");
    case V71: return QStringLiteral("7.1");
    case V72: return QStringLiteral("7.2");
    case V73A:
    case V73B: return QStringLiteral("7.3");
    case V74: return QStringLiteral("7.4");
    default: return QStringLiteral("0x%1").arg(v, 8, 16, QLatin1Char('0'));
    }
}

void TokenWriter::envChange(quint8 type, const QString &newValue, const QString &oldValue)
{
    WireWriter body;
    body.u8(type);
    body.bVarchar(newValue);
    body.bVarchar(oldValue);
    w_.u8(TokEnvChange);
    w_.u16(quint16(body.size()));
    w_.bytes(body.data());
}

void TokenWriter::envChangeBytes(quint8 type, const QByteArray &newValue, const QByteArray &oldValue)
{
    WireWriter body;
    body.u8(type);
    body.bVarbyte(newValue);
    body.bVarbyte(oldValue);
    w_.u8(TokEnvChange);
    w_.u16(quint16(body.size()));
    w_.bytes(body.data());
}

void TokenWriter::message(const ServerMessage &m)
{
    WireWriter body;
    body.u32(quint32(m.number));
    body.u8(m.state);
    body.u8(m.severity);
    body.usVarchar(m.text);
    body.bVarchar(identity::serverName());
    body.bVarchar(m.procedure);
    if (v72())
        body.u32(m.line);
    else
        body.u16(quint16(m.line));
    w_.u8(m.isError() ? TokError : TokInfo);
    w_.u16(quint16(body.size()));
    w_.bytes(body.data());
}

void TokenWriter::loginAck(quint8 major, quint8 minor, quint16 build)
{
    WireWriter body;
    body.u8(1);  // interface: T-SQL
    body.u32be(version_);
    body.bVarchar(identity::productName());
    body.u8(major);
    body.u8(minor);
    body.u16be(build);
    w_.u8(TokLoginAck);
    w_.u16(quint16(body.size()));
    w_.bytes(body.data());
}

void TokenWriter::featureExtAck()
{
    w_.u8(TokFeatureExtAck);
    w_.u8(0xFF);
}

void TokenWriter::done(quint8 token, quint16 status, quint16 command, quint64 rows)
{
    w_.u8(token);
    w_.u16(status);
    w_.u16(command);
    if (v72())
        w_.u64(rows);
    else
        w_.u32(quint32(rows));
}

void TokenWriter::userType()
{
    if (v72())
        w_.u32(0);
    else
        w_.u16(0);
}

void TokenWriter::typeInfo(ColumnType type, int width)
{
    switch (type) {
    case ColumnType::SmallInt:
    case ColumnType::Int:
    case ColumnType::BigInt:
        w_.u8(TypeIntN);
        w_.u8(quint8(intWidth(type)));
        break;
    case ColumnType::Float:
        w_.u8(TypeFltN);
        w_.u8(8);
        break;
    case ColumnType::NVarChar:
        w_.u8(TypeNVarChar);
        w_.u16(width > 0 ? quint16(qMin(width * 2, int(ShortMaxBytes))) : ShortMaxBytes);
        if (v71())
            w_.bytes(identity::collation());
        break;
    case ColumnType::NVarCharMax:
        if (v72()) {
            w_.u8(TypeNVarChar);
            w_.u16(MaxMarker);
            w_.bytes(identity::collation());
        } else {
            w_.u8(TypeNText);
            w_.u32(0x7FFFFFFE);
            if (v71())
                w_.bytes(identity::collation());
            w_.u16(0);  // table name: an empty US_VARCHAR before TDS 7.2
        }
        break;
    case ColumnType::VarChar:
        w_.u8(TypeBigVarChar);
        w_.u16(width > 0 ? quint16(qMin(width, int(ShortMaxBytes))) : ShortMaxBytes);
        if (v71())
            w_.bytes(identity::collation());
        break;
    case ColumnType::VarCharMax:
        if (v72()) {
            w_.u8(TypeBigVarChar);
            w_.u16(MaxMarker);
            w_.bytes(identity::collation());
        } else {
            w_.u8(TypeText);
            w_.u32(0x7FFFFFFF);
            if (v71())
                w_.bytes(identity::collation());
            w_.u16(0);
        }
        break;
    case ColumnType::VarBinary:
        w_.u8(TypeBigVarBinary);
        w_.u16(width > 0 ? quint16(qMin(width, int(ShortMaxBytes))) : ShortMaxBytes);
        break;
    case ColumnType::VarBinaryMax:
        if (v72()) {
            w_.u8(TypeBigVarBinary);
            w_.u16(MaxMarker);
        } else {
            w_.u8(TypeImage);
            w_.u32(0x7FFFFFFF);
            w_.u16(0);
        }
        break;
    }
}

void TokenWriter::columns(const QVector<Column> &columns)
{
    w_.u8(TokColMetadata);
    w_.u16(quint16(columns.size()));
    for (const Column &c : columns) {
        userType();
        w_.u16(0x0001);  // nullable, read-only
        typeInfo(c.type, c.width);
        w_.bVarchar(c.name);
    }
}

void TokenWriter::plp(const QByteArray &bytes)
{
    w_.u64(quint64(bytes.size()));
    constexpr int Chunk = 1 << 20;
    for (int offset = 0; offset < bytes.size(); offset += Chunk) {
        const QByteArray part = bytes.mid(offset, Chunk);
        w_.u32(quint32(part.size()));
        w_.bytes(part);
    }
    w_.u32(0);
}

void TokenWriter::legacyLob(const QVariant &v, const QByteArray &bytes)
{
    if (v.isNull()) {
        w_.u8(0);
        return;
    }
    w_.u8(16);
    w_.bytes(QByteArray(16, '\x01'));  // text pointer
    w_.bytes(QByteArray(8, '\0'));     // timestamp
    w_.u32(quint32(bytes.size()));
    w_.bytes(bytes);
}

void TokenWriter::value(ColumnType type, const QVariant &v)
{
    switch (type) {
    case ColumnType::SmallInt:
    case ColumnType::Int:
    case ColumnType::BigInt: {
        if (v.isNull()) {
            w_.u8(0);
            break;
        }
        const int width = intWidth(type);
        const qint64 n = v.toLongLong();
        w_.u8(quint8(width));
        if (width == 2)
            w_.u16(quint16(n));
        else if (width == 4)
            w_.u32(quint32(n));
        else
            w_.u64(quint64(n));
        break;
    }
    case ColumnType::Float:
        if (v.isNull()) {
            w_.u8(0);
        } else {
            w_.u8(8);
            w_.f64(v.toDouble());
        }
        break;
    case ColumnType::NVarChar:
    case ColumnType::VarChar:
    case ColumnType::VarBinary: {
        if (v.isNull()) {
            w_.u16(0xFFFF);
            break;
        }
        const QByteArray bytes = bytesOf(type, v);
        w_.u16(quint16(bytes.size()));
        w_.bytes(bytes);
        break;
    }
    case ColumnType::NVarCharMax:
    case ColumnType::VarCharMax:
    case ColumnType::VarBinaryMax: {
        const QByteArray bytes = v.isNull() ? QByteArray() : bytesOf(type, v);
        if (!v72())
            legacyLob(v, bytes);
        else if (v.isNull())
            w_.u64(PlpNull);
        else
            plp(bytes);
        break;
    }
    }
}

void TokenWriter::row(const QVector<Column> &columns, const QVector<QVariant> &values)
{
    w_.u8(TokRow);
    for (int i = 0; i < columns.size(); ++i)
        value(columns[i].type, values.value(i));
}

void TokenWriter::returnStatus(qint32 value)
{
    w_.u8(TokReturnStatus);
    w_.u32(quint32(value));
}

void TokenWriter::returnInt(quint16 ordinal, const QString &name, qint32 value)
{
    w_.u8(TokReturnValue);
    w_.u16(ordinal);
    w_.bVarchar(name);
    w_.u8(0x01);  // output parameter
    userType();
    w_.u16(0x0001);
    typeInfo(ColumnType::Int, 0);
    this->value(ColumnType::Int, QVariant(value));
}

}  // namespace tds
