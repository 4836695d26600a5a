#pragma once
// Just enough T-SQL lexing to split a batch into statements, tell reads from
// writes and housekeeping, and rewrite the few T-SQL spellings SQLite lacks.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace tds::sql {

struct Token {
    enum Kind { Word, String, QuotedName, Number, Variable, Symbol };
    Kind kind = Symbol;
    QString text;      // as written
    int begin = 0;     // offsets into the text that was lexed
    int end = 0;
    bool unterminated = false;
    bool national = false;  // N'...'

    bool is(const char *keyword) const;
    // A string's or quoted name's contents; a word as written.
    QString value() const;
};

// Comments and white space are dropped.
QVector<Token> tokenize(const QString &text);

// The statements of a batch, as T-SQL reads them: a semicolon ends one, and
// so does a word that begins the next (SELECT 1 SET NOCOUNT ON is two), except
// where the statement goes on with it (UNION SELECT, INSERT ... SELECT,
// UPDATE ... SET) or holds statements of its own (CREATE, IF, MERGE).
QStringList splitBatch(const QString &batch);

enum class StatementKind {
    Empty,
    Query,        // SELECT, VALUES, WITH ... SELECT
    Set,          // SET option
    Use,          // USE catalog
    Transaction,  // BEGIN TRAN, COMMIT, ROLLBACK
    Procedure,    // EXEC name ..., or a bare sp_ name
    Write,        // anything that changes data, schema or files
    Other,        // left for SQLite to judge
};

StatementKind classify(const QVector<Token> &tokens);
const char *kindName(StatementKind kind);

// SQL literal for a parameter value; text as N'..' when national.
QString literal(const QVariant &value, bool national = false);

// "@P1 nvarchar(4000),@P2 int OUTPUT" -> {"@P1", "@P2"}
QStringList declaredParameters(const QString &declarations);
// The same declarations' types: {"@p1": "nvarchar", "@p2": "int"}.
QHash<QString, QString> declaredTypes(const QString &declarations);
// The text a type name declares: national (Unicode: nvarchar, nchar, ntext,
// sysname), narrow (varchar, char, text), or none.
enum class TextKind { None, National, Narrow };
TextKind textKindOf(const QString &typeName);
inline bool isNationalType(const QString &typeName) { return textKindOf(typeName) == TextKind::National; }
// NULL of a declared type, so that its text type is known:
// CAST(NULL AS nvarchar) for national text, CAST(NULL AS varchar) for other text.
QString typedNull(const QString &typeName);

struct Rewrite {
    QString text;     // for SQLite
    QString tsql;     // the statement with the values put in, still T-SQL (N'..' kept)
    QString undeclaredVariable;  // set when a @variable had no value
};

// Turns @@globals and zero-argument session functions into literals,
// @parameters into the literals given (keys lower case), and then N'..'
// into '..'.
Rewrite rewriteForSqlite(const QString &statement, const QVector<Token> &tokens,
                         const QHash<QString, QString> &values);

}  // namespace tds::sql
