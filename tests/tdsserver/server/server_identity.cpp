#include "server_identity.h"
#include "tokens.h"

namespace tds::identity {

const Release *releaseFor(const QString &tdsVersion)
{
    static const Release sql2000{
        version::V71, 8, 0, 2039,
        "Microsoft SQL Server  2000 - 8.00.2039 (Intel X86) \n\tMay  3 2005 23:18:38 \n"
        "\tCopyright (c) 1988-2003 Microsoft Corporation\n"
        "\tStandard Edition on Windows NT 5.2 (Build 3790: Service Pack 2)\n"};
    static const Release sql2005{
        version::V72, 9, 0, 5000,
        "Microsoft SQL Server 2005 - 9.00.5000.00 (Intel X86) \n\tDec 10 2010 10:56:29 \n"
        "\tCopyright (c) 1988-2005 Microsoft Corporation\n"
        "\tStandard Edition on Windows NT 5.2 (Build 3790: Service Pack 2)\n"};
    static const Release sql2008R2{
        version::V73B, 10, 50, 6000,
        "Microsoft SQL Server 2008 R2 (SP3) - 10.50.6000.34 (X64) \n\tAug 19 2014 12:21:34 \n"
        "\tCopyright (c) Microsoft Corporation\n"
        "\tStandard Edition (64-bit) on Windows NT 6.1 <X64> (Build 7601: Service Pack 1)\n"};
    static const Release sql2019{
        version::V74, 15, 0, 2000,
        "Microsoft SQL Server 2019 (RTM) - 15.0.2000.5 (X64) \n\tSep 24 2019 13:48:23 \n"
        "\tCopyright (C) 2019 Microsoft Corporation\n"
        "\tStandard Edition (64-bit) on Windows Server 2019 Standard 10.0 <X64> (Build 17763: ) (Hypervisor)\n"};
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
