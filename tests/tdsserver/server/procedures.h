#pragma once
// The system procedures a driver calls on its own: statement execution with
// parameters (sp_executesql, sp_prepare/sp_execute/sp_prepexec), server
// cursors (sp_cursoropen/fetch/close) and the type catalogue
// (sp_datatype_info). Anything else is "Could not find stored procedure".
#include "executor.h"

namespace tds::procedures {

ProcedureReply call(const QString &name, const QVector<ProcedureArgument> &arguments, Executor &executor);

// The data type rows of sp_datatype_info[_100]; 0 means every type.
ResultSet dataTypeInfo(int odbcType, int odbcVersion);

}  // namespace tds::procedures
