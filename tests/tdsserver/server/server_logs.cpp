#include "server_logs.h"
#include "packets.h"
#include "statement_log_format.h"
#include <QDateTime>
#include <cstdio>

namespace tds {

StatementLogWriter::StatementLogWriter(const QString &path) : file_(path)
{
    if (!path.isEmpty())
        file_.open(QIODevice::WriteOnly | QIODevice::Append);
}

void StatementLogWriter::write(int session, const QString &catalog, const QString &request,
                               const QString &procedure, const QString &outcome, const QString &text)
{
    if (!file_.isOpen())
        return;
    const QString line = tdslog::formatLine(
        {QDateTime::currentDateTime().toString(Qt::ISODateWithMs), QString::number(session), catalog,
         request, procedure, outcome, text});
    file_.write(line.toUtf8() + '\n');
    file_.flush();
}

TraceWriter::TraceWriter(const QString &path)
{
    if (path == QLatin1String("-"))
        file_.open(stderr, QIODevice::WriteOnly);
    else if (!path.isEmpty()) {
        file_.setFileName(path);
        file_.open(QIODevice::WriteOnly | QIODevice::Append);
    }
}

void TraceWriter::note(int session, const QString &text)
{
    if (!file_.isOpen())
        return;
    file_.write(QStringLiteral("%1 [%2] %3\n")
                    .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")))
                    .arg(session)
                    .arg(text)
                    .toUtf8());
    file_.flush();
}

void TraceWriter::packet(int session, bool incoming, quint8 type, const QByteArray &payload)
{
    if (!file_.isOpen())
        return;
    note(session, QStringLiteral("%1 message type 0x%2, %3 bytes")
                      .arg(incoming ? QStringLiteral("<-") : QStringLiteral("->"))
                      .arg(type, 2, 16, QLatin1Char('0'))
                      .arg(payload.size()));
    file_.write(hexDump(payload).toUtf8());
    file_.flush();
}

}  // namespace tds
