#pragma once
// Statement results as reply tokens: a batch ends each statement with DONE,
// a procedure call with DONEINPROC, then RETURNSTATUS, RETURNVALUEs and
// DONEPROC.
#include "statement_result.h"
#include "tokens.h"

namespace tds {

void writeBatchReply(TokenWriter &w, const QVector<StatementResult> &results);
void writeProcedureReply(TokenWriter &w, const ProcedureReply &reply, bool moreCalls);

}  // namespace tds
