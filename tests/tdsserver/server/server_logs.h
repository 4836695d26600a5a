#pragma once
// The statement log (one line per request, for tests to assert on) and the
// trace (every packet in hex with what was read from it, for debugging).
#include <QFile>
#include <QString>

namespace tds {

class StatementLogWriter {
public:
    // An empty path logs nothing.
    explicit StatementLogWriter(const QString &path);
    bool isOpen() const { return file_.isOpen(); }
    QString errorString() const { return file_.errorString(); }
    void write(int session, const QString &catalog, const QString &request, const QString &procedure,
               const QString &outcome, const QString &text);

private:
    QFile file_;
};

class TraceWriter {
public:
    // Empty: no trace; "-": standard error.
    explicit TraceWriter(const QString &path);
    bool enabled() const { return file_.isOpen(); }
    void note(int session, const QString &text);
    void packet(int session, bool incoming, quint8 type, const QByteArray &payload);

private:
    QFile file_;
};

struct ServerLogs {
    StatementLogWriter *statements = nullptr;
    TraceWriter *trace = nullptr;
};

}  // namespace tds
