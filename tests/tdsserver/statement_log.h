#pragma once
// Reads the test server's statement log (format in statement_log_format.h),
// so tests can assert exactly which statements a client sent.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tdstest {

struct StatementLogEntry {
    QDateTime time;
    int session = 0;
    QString catalog;
    QString request;    // login, batch, rpc, attention, transaction, protocol, bulk
    QString procedure;  // for rpc: the procedure called
    QString outcome;    // ok, error <n>, refused, unanswered, dropped
    QString text;       // the statement (for a login: the user)

    bool isStatement() const { return request == QLatin1String("batch") || request == QLatin1String("rpc"); }
    bool isLogin() const { return request == QLatin1String("login"); }
    bool refused() const { return outcome == QLatin1String("refused"); }
    int errorNumber() const;  // 0 unless the outcome is "error <n>"
};

class StatementLog {
public:
    // A missing file reads as an empty log; malformed lines are counted.
    // From byte `from` on: what was appended since the file had that size.
    static StatementLog read(const QString &path, qint64 from = 0);

    const QVector<StatementLogEntry> &entries() const { return entries_; }
    int malformedLines() const { return malformed_; }
    // Batches and RPCs only, optionally of one session.
    QVector<StatementLogEntry> statements(int session = 0) const;
    // Their texts, trimmed.
    QStringList statementTexts(int session = 0) const;
    QVector<StatementLogEntry> logins() const;
    QList<int> sessions() const;

private:
    QVector<StatementLogEntry> entries_;
    int malformed_ = 0;
};

}  // namespace tdstest
