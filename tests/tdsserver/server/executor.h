#pragma once
// Runs statement texts for one session: SET, USE and transaction statements
// are answered here, writes are refused, procedure calls go to the system
// procedures, and queries run on the session's SQLite catalog.
#include "session_state.h"
#include "sql_text.h"
#include "statement_result.h"

namespace tds {

struct ProcedureArgument {
    QString name;      // "@name", or empty for a positional argument
    QVariant value;
    bool output = false;
    bool national = false;  // sent as Unicode text
};

class Executor {
public:
    explicit Executor(SessionState &state) : s_(state) {}

    // The statements of a batch in order; a compile error ends the batch.
    QVector<StatementResult> runBatch(const QString &batch,
                                      const QHash<QString, QString> &parameters = {});
    // One statement; @parameters are replaced by the literals given
    // (keys in lower case, with the @).
    StatementResult runStatement(const QString &statement,
                                 const QHash<QString, QString> &parameters = {});
    // A procedure by name, from a batch's EXEC or from an RPC.
    ProcedureReply callProcedure(const QString &name, const QVector<ProcedureArgument> &arguments);

    SessionState &state() { return s_; }

private:
    StatementResult runSet(const QVector<sql::Token> &tokens);
    StatementResult runUse(const QVector<sql::Token> &tokens);
    StatementResult runTransaction(const QVector<sql::Token> &tokens);
    QVector<StatementResult> runExec(const QVector<sql::Token> &tokens);
    StatementResult runSqlite(const QString &statement, const QVector<sql::Token> &tokens,
                              const QHash<QString, QString> &parameters);

    SessionState &s_;
};

// Binds argument values to declared @names: named arguments by name, the
// others by position. Returns literals keyed by lower-case name; text is
// national (N'..') as its declared type says, or else as it was sent.
QHash<QString, QString> bindParameters(const QStringList &declared,
                                       const QVector<ProcedureArgument> &values,
                                       const QHash<QString, QString> &declaredTypes = {});

}  // namespace tds
