#pragma once
// What the server says it is: product name and version in the login answer,
// the collation of every character value, the server name in messages.
#include <QByteArray>
#include <QString>

namespace tds::identity {

constexpr quint8 VersionMajor = 15;
constexpr quint8 VersionMinor = 0;
constexpr quint16 VersionBuild = 2000;

inline QString productName() { return QStringLiteral("Microsoft SQL Server"); }
inline QString serverName() { return QStringLiteral("TDSTEST"); }
inline QString language() { return QStringLiteral("us_english"); }

// Chinese_PRC_CI_AS: LCID 0x0804 (code page 936), ignore case, kana and
// width; sort id 0 (a Windows collation).
inline QByteArray collation() { return QByteArray("\x04\x08\xD0\x00\x00", 5); }

// The catalog a login without one lands in.
inline QString defaultCatalog() { return QStringLiteral("master"); }

}  // namespace tds::identity
