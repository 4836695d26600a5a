#include "public_ado.h"

namespace dd::PublicADO {

Connection &cnSys()
{
    static Connection *const cn = new Connection;
    return *cn;
}

Recordset &rsAcc()
{
    static Recordset *const rs = new Recordset;
    return *rs;
}

Recordset &rsYear()
{
    static Recordset *const rs = new Recordset;
    return *rs;
}

ConnectionString &sSysConn()
{
    static ConnectionString s;
    return s;
}

void closeAll()
{
    if (cnSys().State() == 1)
        cnSys().Close();
}

}  // namespace dd::PublicADO
