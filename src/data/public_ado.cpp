#include "public_ado.h"

namespace dd::PublicADO {

// The recordsets are declared after the connection so that, at exit, they
// are destroyed before it.
Connection &cnSys()
{
    static Connection cn;
    return cn;
}

Recordset &rsAcc()
{
    cnSys();
    static Recordset rs;
    return rs;
}

Recordset &rsYear()
{
    cnSys();
    static Recordset rs;
    return rs;
}

ConnectionString &sSysConn()
{
    static ConnectionString s;
    return s;
}

}  // namespace dd::PublicADO
