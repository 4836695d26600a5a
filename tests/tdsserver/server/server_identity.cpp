#include "server_identity.h"
#include "tokens.h"

namespace tds::identity {

const Release *releaseFor(const QString &tdsVersion)
{
    static const Release sql2000{version::V71, 8, 0, 2039};
    static const Release sql2005{version::V72, 9, 0, 5000};
    static const Release sql2008R2{version::V73B, 10, 50, 6000};
    static const Release sql2019{version::V74, 15, 0, 2000};
    if (tdsVersion == QLatin1String("7.1"))
        return &sql2000;
    if (tdsVersion == QLatin1String("7.2"))
        return &sql2005;
    if (tdsVersion == QLatin1String("7.3"))
        return &sql2008R2;
    if (tdsVersion == QLatin1String("7.4"))
        return &sql2019;
    return nullptr;
}

}  // namespace tds::identity
