#include "statement_log.h"
#include "statement_log_format.h"
#include <QFile>

namespace tdstest {

int StatementLogEntry::errorNumber() const
{
    if (!outcome.startsWith(QLatin1String("error ")))
        return 0;
    return outcome.mid(6).toInt();
}

StatementLog StatementLog::read(const QString &path, qint64 from)
{
    StatementLog log;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(qMin(from, f.size())))
        return log;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (const QByteArray &raw : lines) {
        if (raw.isEmpty())
            continue;
        const QStringList fields = QString::fromUtf8(raw).split(QLatin1Char('\t'));
        if (fields.size() != tdslog::FieldCount) {
            ++log.malformed_;
            continue;
        }
        StatementLogEntry e;
        e.time = QDateTime::fromString(fields[tdslog::Time], Qt::ISODateWithMs);
        bool ok = false;
        e.session = fields[tdslog::Session].toInt(&ok);
        if (!ok || !e.time.isValid()) {
            ++log.malformed_;
            continue;
        }
        e.catalog = tdslog::unescapeField(fields[tdslog::Catalog]);
        e.request = tdslog::unescapeField(fields[tdslog::Request]);
        e.procedure = tdslog::unescapeField(fields[tdslog::Procedure]);
        e.outcome = tdslog::unescapeField(fields[tdslog::Outcome]);
        e.text = tdslog::unescapeField(fields[tdslog::Text]);
        log.entries_ << e;
    }
    return log;
}

QVector<StatementLogEntry> StatementLog::statements(int session) const
{
    QVector<StatementLogEntry> out;
    for (const StatementLogEntry &e : entries_)
        if (e.isStatement() && (session == 0 || e.session == session))
            out << e;
    return out;
}

QStringList StatementLog::statementTexts(int session) const
{
    QStringList out;
    for (const StatementLogEntry &e : statements(session))
        out << e.text.trimmed();
    return out;
}

QVector<StatementLogEntry> StatementLog::logins() const
{
    QVector<StatementLogEntry> out;
    for (const StatementLogEntry &e : entries_)
        if (e.isLogin())
            out << e;
    return out;
}

QList<int> StatementLog::sessions() const
{
    QList<int> out;
    for (const StatementLogEntry &e : entries_)
        if (!out.contains(e.session))
            out << e.session;
    return out;
}

}  // namespace tdstest
