#pragma once
// The shared data-access state of the whole run. Each object is created the
// first time code refers to it and lives until the program ends.
//
// They are never destroyed: the destructor of a static would run after the
// toolkit's registry of database connections is gone, and close through it.
// closeAll() logs out while everything is still there; a program that
// ends without it leaves the connection for the system to drop.
#include "connection.h"
#include "connection_string.h"
#include "recordset.h"

namespace dd::PublicADO {

Connection &cnSys();
Recordset &rsAcc();
Recordset &rsYear();
ConnectionString &sSysConn();

// Closes the shared connection, and with it the recordsets opened on it.
void closeAll();

}  // namespace dd::PublicADO
