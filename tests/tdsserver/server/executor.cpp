#include "executor.h"
#include "procedures.h"
#include "result_typing.h"
#include "select_list_names.h"
#include "sqlite_errors.h"
#include "system_catalog.h"
#include "tokens.h"

namespace tds {

namespace {

bool isCompileError(const StatementResult &r)
{
    for (const ServerMessage &m : r.messages)
        if (m.number == 102 || m.number == 105)
            return true;
    return false;
}

QVariant argumentValue(const QVector<sql::Token> &tokens, int from, int to, bool *ok)
{
    *ok = true;
    if (to - from == 2 && tokens[from].text == QLatin1String("-") && tokens[from + 1].kind == sql::Token::Number) {
        const QString text = QLatin1Char('-') + tokens[from + 1].text;
        return text.contains(QLatin1Char('.')) ? QVariant(text.toDouble()) : QVariant(text.toLongLong());
    }
    if (to - from != 1) {
        *ok = false;
        return QVariant();
    }
    const sql::Token &t = tokens[from];
    switch (t.kind) {
    case sql::Token::Number:
        return t.text.contains(QLatin1Char('.')) ? QVariant(t.text.toDouble()) : QVariant(t.text.toLongLong());
    case sql::Token::String:
        return t.value();
    case sql::Token::Word:
        if (t.is("NULL") || t.is("DEFAULT"))
            return QVariant();
        return t.text;  // T-SQL takes a bare word as a string argument
    case sql::Token::QuotedName:
        return t.value();
    default:
        *ok = false;
        return QVariant();
    }
}

}  // namespace

QVector<StatementResult> Executor::runBatch(const QString &batch, const QHash<QString, QString> &parameters)
{
    QVector<StatementResult> results;
    const QStringList statements = sql::splitBatch(batch);
    for (const QString &statement : statements) {
        const QVector<sql::Token> tokens = sql::tokenize(statement);
        if (sql::classify(tokens) == sql::StatementKind::Procedure) {
            results << runExec(tokens);
            continue;
        }
        StatementResult r = runStatement(statement, parameters);
        const bool abort = r.abortsBatch;
        results << r;
        if (abort)
            break;
    }
    return results;
}

StatementResult Executor::runStatement(const QString &statement, const QHash<QString, QString> &parameters)
{
    const QVector<sql::Token> tokens = sql::tokenize(statement);
    StatementResult r;
    switch (sql::classify(tokens)) {
    case sql::StatementKind::Empty:
        break;
    case sql::StatementKind::Set:
        r = runSet(tokens);
        break;
    case sql::StatementKind::Use:
        r = runUse(tokens);
        break;
    case sql::StatementKind::Transaction:
        r = runTransaction(tokens);
        break;
    case sql::StatementKind::Write:
        r = StatementResult::error(messages::readOnlyDatabase(s_.catalog()));
        r.refusedWrite = true;
        break;
    case sql::StatementKind::Procedure: {
        const QVector<StatementResult> all = runExec(tokens);
        r = all.isEmpty() ? StatementResult() : all.last();
        break;
    }
    case sql::StatementKind::Query:
    case sql::StatementKind::Other:
        r = runSqlite(statement, tokens, parameters);
        break;
    }
    r.abortsBatch = isCompileError(r);
    s_.lastError = 0;
    for (const ServerMessage &m : r.messages)
        if (m.isError())
            s_.lastError = m.number;
    if (r.count >= 0)
        s_.lastRowCount = r.count;
    return r;
}

StatementResult Executor::runSet(const QVector<sql::Token> &tokens)
{
    if (tokens.size() >= 2 && tokens[1].kind == sql::Token::Variable)
        return StatementResult::error(messages::mustDeclareVariable(tokens[1].text));
    if (tokens.size() < 2)
        return StatementResult::error(messages::incorrectSyntax(tokens.first().text));
    if (tokens[1].is("TEXTSIZE") && tokens.size() >= 3)
        s_.textSize = tokens[2].text.toInt();
    // Every other option is accepted: nothing here depends on it.
    return StatementResult();
}

StatementResult Executor::runUse(const QVector<sql::Token> &tokens)
{
    if (tokens.size() != 2)
        return StatementResult::error(messages::incorrectSyntax(tokens.size() > 2 ? tokens[2].text : tokens[0].text));
    const QString name = tokens[1].value();
    const QString old = s_.catalog();
    if (!s_.useCatalog(name))
        return StatementResult::error(messages::databaseDoesNotExist(name));
    StatementResult r;
    r.envChanges << EnvChange{env::Database, s_.catalog(), old};
    r.messages << messages::changedDatabase(s_.catalog());
    return r;
}

StatementResult Executor::runTransaction(const QVector<sql::Token> &tokens)
{
    const sql::Token &verb = tokens.first();
    if (verb.is("BEGIN")) {
        ++s_.transactionDepth;
    } else if (verb.is("COMMIT")) {
        if (s_.transactionDepth == 0)
            return StatementResult::error(messages::commitWithoutBegin());
        --s_.transactionDepth;
    } else if (verb.is("ROLLBACK")) {
        if (s_.transactionDepth == 0)
            return StatementResult::error(messages::rollbackWithoutBegin());
        s_.transactionDepth = 0;
    }
    // SAVE TRAN: nothing to remember, nothing can be written.
    return StatementResult();
}

QVector<StatementResult> Executor::runExec(const QVector<sql::Token> &tokens)
{
    int i = 0;
    if (tokens[i].is("EXEC") || tokens[i].is("EXECUTE"))
        ++i;
    // EXEC @status = name ...
    if (i + 1 < tokens.size() && tokens[i].kind == sql::Token::Variable && tokens[i + 1].text == QLatin1String("="))
        i += 2;
    if (i >= tokens.size())
        return {StatementResult::error(messages::incorrectSyntax(tokens.last().text))};
    if (tokens[i].text == QLatin1String("("))
        return {StatementResult::error(messages::cannotRun(
            QStringLiteral("EXEC of a statement text is not supported by this test server.")))};
    // A name of up to four parts: server.catalog.schema.procedure.
    QString name = tokens[i].value();
    ++i;
    while (i + 1 < tokens.size() && tokens[i].text == QLatin1String(".")) {
        name = tokens[i + 1].value();
        i += 2;
    }
    QVector<ProcedureArgument> arguments;
    while (i < tokens.size()) {
        int end = i;
        int depth = 0;
        while (end < tokens.size() && !(depth == 0 && tokens[end].text == QLatin1String(","))) {
            if (tokens[end].text == QLatin1String("("))
                ++depth;
            else if (tokens[end].text == QLatin1String(")"))
                --depth;
            ++end;
        }
        ProcedureArgument a;
        int from = i;
        if (end - from >= 3 && tokens[from].kind == sql::Token::Variable && tokens[from + 1].text == QLatin1String("=")) {
            a.name = tokens[from].text;
            from += 2;
        }
        int to = end;
        if (to - from >= 2 && (tokens[to - 1].is("OUTPUT") || tokens[to - 1].is("OUT"))) {
            a.output = true;
            --to;
        }
        bool ok = false;
        if (from < to && tokens[from].kind == sql::Token::Variable)
            return {StatementResult::error(messages::mustDeclareVariable(tokens[from].text))};
        a.value = argumentValue(tokens, from, to, &ok);
        if (!ok)
            return {StatementResult::error(messages::incorrectSyntax(tokens[qMin(from, int(tokens.size()) - 1)].text))};
        arguments << a;
        i = end + 1;
    }
    ProcedureReply reply = callProcedure(name, arguments);
    if (!reply.callErrors.isEmpty()) {
        StatementResult failed;
        failed.messages = reply.callErrors;
        reply.results << failed;
    }
    if (reply.results.isEmpty())
        reply.results << StatementResult();
    return reply.results;
}

ProcedureReply Executor::callProcedure(const QString &name, const QVector<ProcedureArgument> &arguments)
{
    return procedures::call(name, arguments, *this);
}

StatementResult Executor::runSqlite(const QString &statement, const QVector<sql::Token> &tokens,
                                    const QHash<QString, QString> &parameters)
{
    for (const sql::Token &t : tokens)
        if (t.unterminated) {
            if (t.kind == sql::Token::String)
                return StatementResult::error(messages::unclosedQuotation(t.value()));
            return StatementResult::error(messages::incorrectSyntax(t.text));
        }
    QHash<QString, QString> values = s_.sessionValues();
    for (auto it = parameters.begin(); it != parameters.end(); ++it)
        values.insert(it.key(), it.value());
    const sql::Rewrite rewrite = sql::rewriteForSqlite(statement, tokens, values);
    if (!rewrite.undeclaredVariable.isEmpty())
        return StatementResult::error(messages::mustDeclareVariable(rewrite.undeclaredVariable));
    if (!s_.connection())
        return StatementResult::error(messages::cannotOpenDatabase(s_.catalog()));
    if (const auto refused = systemCatalog::prepare(tokens, s_))
        return StatementResult::error(*refused);
    CatalogConnection *catalog = s_.connection();
    const QVector<TextSource> sources = selectListSources(
        sql::tokenize(rewrite.tsql), s_.textType(), [catalog](const QString &name) { return catalog->hasColumn(name); });
    QueryOutcome outcome = catalog->query(rewrite.text, sources, systemCatalog::isNamedIn(tokens));
    if (!outcome.ok) {
        StatementResult r = StatementResult::error(fromSqliteError(outcome.sqliteError, tokens, s_.catalog()));
        r.refusedWrite = r.messages.first().number == 3906;
        return r;
    }
    StatementResult r;
    r.hasResultSet = outcome.hasResultSet;
    r.rows = std::move(outcome.rows);
    if (r.hasResultSet) {
        const auto names = selectListNames(tokens);
        if (names && names->size() == r.rows.columns.size())
            for (int i = 0; i < names->size(); ++i)
                if (names->at(i))
                    r.rows.columns[i].name = *names->at(i);
    }
    r.count = outcome.hasResultSet ? qint64(r.rows.rows.size()) : -1;
    return r;
}

QHash<QString, QString> bindParameters(const QStringList &declared, const QVector<ProcedureArgument> &values,
                                       const QHash<QString, QString> &declaredTypes)
{
    QHash<QString, QString> bound;
    int position = 0;
    for (const ProcedureArgument &v : values) {
        QString name = v.name;
        if (name.isEmpty()) {
            if (position >= declared.size())
                continue;
            name = declared.at(position++);
        }
        const auto type = declaredTypes.constFind(name.toLower());
        const bool national = type != declaredTypes.constEnd() ? sql::isNationalType(*type) : v.national;
        bound.insert(name.toLower(), v.value.isNull() && type != declaredTypes.constEnd()
                                         ? sql::typedNull(*type)
                                         : sql::literal(v.value, national));
    }
    return bound;
}

}  // namespace tds
