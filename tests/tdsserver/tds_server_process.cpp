#include "tds_server_process.h"
#include "tdsserver_locations.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace tdstest {

TdsServerProcess::TdsServerProcess(ServerSettings settings) : settings_(std::move(settings))
{
    logFile_ = dir_.filePath(QStringLiteral("statements.log"));
}

TdsServerProcess::~TdsServerProcess() { stop(); }

QString TdsServerProcess::binary()
{
    const QString fromEnvironment = qEnvironmentVariable("TDSSERVER_BINARY");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStringLiteral(TDSSERVER_BINARY);
}

bool TdsServerProcess::start(QString *error, int timeoutMs)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        stop();
        return false;
    };
    if (!dir_.isValid())
        return fail(QStringLiteral("no temporary folder for the server's log"));
    QStringList args = {QStringLiteral("--folder"), settings_.folder,
                        QStringLiteral("--password"), settings_.password,
                        QStringLiteral("--port"), QStringLiteral("0"),
                        QStringLiteral("--log"), logFile_,
                        QStringLiteral("--max-seconds"), QString::number(settings_.maxSeconds),
                        QStringLiteral("--parent-pid"), QString::number(QCoreApplication::applicationPid())};
    if (!settings_.traceFile.isEmpty())
        args << QStringLiteral("--trace") << settings_.traceFile;
    args << settings_.faults;
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start(binary(), args);
    if (!process_.waitForStarted(timeoutMs))
        return fail(QStringLiteral("cannot start %1: %2").arg(binary(), process_.errorString()));
    static const QRegularExpression listening(QStringLiteral("listening on \\S+ port (\\d+)"));
    QByteArray out;
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        out += process_.readAllStandardOutput();
        const QRegularExpressionMatch m = listening.match(QString::fromUtf8(out));
        if (m.hasMatch()) {
            port_ = quint16(m.captured(1).toUInt());
            return true;
        }
        if (process_.state() == QProcess::NotRunning)
            return fail(QStringLiteral("the server exited: %1").arg(QString::fromUtf8(process_.readAllStandardError())));
        process_.waitForReadyRead(int(qMax<qint64>(1, qMin<qint64>(100, deadline.remainingTime()))));
    }
    return fail(QStringLiteral("the server did not report a port within %1 ms").arg(timeoutMs));
}

void TdsServerProcess::stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    // On Windows terminate() only posts WM_CLOSE, which a console server
    // never reads: it would go on answering for the whole wait.
#ifndef Q_OS_WIN
    process_.terminate();
    if (process_.waitForFinished(3000))
        return;
#endif
    process_.kill();
    process_.waitForFinished(3000);
}

bool TdsServerProcess::isRunning() const { return process_.state() == QProcess::Running; }

QString TdsServerProcess::dataSource() const
{
    return QStringLiteral("127.0.0.1,%1").arg(port_);
}

bool TdsServerProcess::holdsUnansweredStatement() const
{
    const StatementLog entries = log();
    for (const auto &e : entries.entries())
        if (e.outcome == "unanswered")
            return true;
    return false;
}

void TdsServerProcess::clearLog() const
{
    logStart_ = QFileInfo(logFile_).size();
}

QString freeTdsBraced(const QString &value)
{
    // FreeTDS ends a braced value at the first '}' followed by ';' and does
    // not read "}}" as an escaped brace.
    return QLatin1Char('{') + value + QLatin1Char('}');
}

QString freeTdsConnectionString(quint16 port, const QString &catalog, const QString &user,
                                const QString &password, const QString &extra)
{
    QString s = QStringLiteral("DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=%1;TDS_Version=7.4;ClientCharset=UTF-8")
                    .arg(port);
    if (!catalog.isEmpty())
        s += QStringLiteral(";DATABASE=") + freeTdsBraced(catalog);
    s += QStringLiteral(";UID=") + freeTdsBraced(user) + QStringLiteral(";PWD=") + freeTdsBraced(password);
    if (!extra.isEmpty())
        s += QLatin1Char(';') + extra;
    // Without a closing semicolon the last value reaches FreeTDS with a NUL
    // (and a braced one with its closing brace) still attached.
    return s + QLatin1Char(';');
}

namespace {
QString fixtureDir() { return QStringLiteral(TDSSERVER_FIXTURE_DIR); }
}  // namespace

quint16 fixturePort()
{
    QFile f(fixtureDir() + QStringLiteral("/port"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return quint16(f.readAll().trimmed().toUInt());
}

QString fixturePassword() { return QStringLiteral(TDSSERVER_FIXTURE_PASSWORD); }
QString fixtureFolder() { return QStringLiteral(TDSSERVER_FIXTURE_FOLDER); }
QString fixtureLogFile() { return fixtureDir() + QStringLiteral("/statements.log"); }

}  // namespace tdstest
