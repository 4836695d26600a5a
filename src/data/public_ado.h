#pragma once
// The shared data-access state of the whole run. Each object is created the
// first time code refers to it and lives until the program ends.
#include "connection.h"
#include "connection_string.h"
#include "recordset.h"

namespace dd::PublicADO {

Connection &cnSys();
Recordset &rsAcc();
Recordset &rsYear();
ConnectionString &sSysConn();

}  // namespace dd::PublicADO
