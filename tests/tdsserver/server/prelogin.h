#pragma once
// PRELOGIN: a list of (option, offset, length) entries ended by 0xFF, then
// the option data. The answer says the server cannot encrypt, so the whole
// session stays in plain TDS.
#include <QByteArray>
#include <QString>

namespace tds {

namespace encrypt {
constexpr quint8 Off = 0x00;
constexpr quint8 On = 0x01;
constexpr quint8 NotSupported = 0x02;
constexpr quint8 Required = 0x03;
}  // namespace encrypt

struct PreLoginRequest {
    bool valid = false;
    quint32 clientVersion = 0;
    quint8 encryption = encrypt::Off;
    QString instance;
    bool mars = false;
    QString describe() const;
};

PreLoginRequest parsePreLogin(const QByteArray &payload);
QByteArray preLoginReply(quint8 major, quint8 minor, quint16 build);

}  // namespace tds
