#pragma once
// Writes the tokens of a reply message for one negotiated protocol version
// (the layouts of 7.0, 7.1 and 7.2+ differ in widths and collations).
#include "result_set.h"
#include "server_message.h"
#include "wire.h"
#include <QByteArray>

namespace tds {

namespace version {
constexpr quint32 V70 = 0x70000000;
constexpr quint32 V71 = 0x71000001;
constexpr quint32 V72 = 0x72090002;
constexpr quint32 V73A = 0x730A0003;
constexpr quint32 V73B = 0x730B0003;
constexpr quint32 V74 = 0x74000004;
// The version to answer a client asking for `requested` with.
quint32 negotiate(quint32 requested);
QString name(quint32 v);
}  // namespace version

namespace done {
constexpr quint16 Final = 0x0000;
constexpr quint16 More = 0x0001;
constexpr quint16 Error = 0x0002;
constexpr quint16 InTransaction = 0x0004;
constexpr quint16 Count = 0x0010;
constexpr quint16 Attention = 0x0020;
constexpr quint16 ServerError = 0x0100;

constexpr quint8 DoneToken = 0xFD;
constexpr quint8 DoneProcToken = 0xFE;
constexpr quint8 DoneInProcToken = 0xFF;

constexpr quint16 CmdSelect = 0x00C1;
}  // namespace done

namespace env {
constexpr quint8 Database = 1;
constexpr quint8 Language = 2;
constexpr quint8 PacketSize = 4;
constexpr quint8 Collation = 7;
constexpr quint8 BeginTransaction = 8;
constexpr quint8 CommitTransaction = 9;
constexpr quint8 RollbackTransaction = 10;
constexpr quint8 ResetAck = 18;
}  // namespace env

class TokenWriter {
public:
    explicit TokenWriter(quint32 tdsVersion) : version_(tdsVersion) {}

    void envChange(quint8 type, const QString &newValue, const QString &oldValue);
    void envChangeBytes(quint8 type, const QByteArray &newValue, const QByteArray &oldValue);
    void message(const ServerMessage &m);
    void loginAck(quint8 major, quint8 minor, quint16 build);
    // Acknowledges none of the requested features.
    void featureExtAck();
    void done(quint8 token, quint16 status, quint16 command, quint64 rows);
    void columns(const QVector<Column> &columns);
    void row(const QVector<Column> &columns, const QVector<QVariant> &values);
    void returnStatus(qint32 value);
    void returnInt(quint16 ordinal, const QString &name, qint32 value);

    bool empty() const { return w_.size() == 0; }
    QByteArray take() { return w_.take(); }

private:
    bool v72() const { return version_ >= version::V72; }
    bool v71() const { return version_ >= version::V71; }
    void userType();
    void typeInfo(ColumnType type, int width);
    void value(ColumnType type, const QVariant &v);
    void plp(const QByteArray &bytes);
    void legacyLob(const QVariant &v, const QByteArray &bytes);

    quint32 version_;
    WireWriter w_;
};

}  // namespace tds
