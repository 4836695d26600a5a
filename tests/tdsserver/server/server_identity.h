#pragma once
// What the server says it is: product name and version in the login answer,
// the collation of every character value, the server name in messages.
#include <QByteArray>
#include <QString>

namespace tds::identity {

// The release the server answers a login as: the highest protocol version
// it speaks and the version number it reports.
struct Release {
    quint32 tdsVersion;  // as LOGINACK carries it
    quint8 major, minor;
    quint16 build;
    // @@VERSION as that release writes it; tools read the product year and
    // the version from its first line.
    const char *versionText;
};

// "7.1" (SQL Server 2000), "7.2" (2005), "7.3" (2008 R2), "7.4" (2012 and
// later, here 2019); nullptr for any other text.
const Release *releaseFor(const QString &tdsVersion);
inline const Release &latestRelease() { return *releaseFor(QStringLiteral("7.4")); }

inline QString productName() { return QStringLiteral("Microsoft SQL Server"); }
inline QString serverName() { return QStringLiteral("TDSTEST"); }
inline QString language() { return QStringLiteral("us_english"); }

// Chinese_PRC_CI_AS: LCID 0x0804 (code page 936), ignore case, kana and
// width; sort id 0 (a Windows collation).
inline QByteArray collation() { return QByteArray("\x04\x08\xD0\x00\x00", 5); }

// The catalog a login without one lands in.
inline QString defaultCatalog() { return QStringLiteral("master"); }

}  // namespace tds::identity
