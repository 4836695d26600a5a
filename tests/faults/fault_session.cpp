#include "fault_session.h"
#include <QMutex>
#include <QMutexLocker>
#include <QTest>

namespace faulttest {

namespace {

QMutex g_outputMutex;
QStringList g_output;
QtMessageHandler g_previous = nullptr;

void recordOutput(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    {
        QMutexLocker lock(&g_outputMutex);
        g_output << message;
    }
    if (g_previous)
        g_previous(type, context, message);
}

// The driver's own statements around a connection: session settings,
// catalog changes and its query for the server's data types.
bool isHousekeeping(const tdstest::StatementLogEntry &e)
{
    const QString text = e.text.trimmed();
    return text.startsWith(QLatin1String("SET "), Qt::CaseInsensitive)
           || text.startsWith(QLatin1String("USE "), Qt::CaseInsensitive)
           || text.startsWith(QLatin1String("sp_datatype_info"), Qt::CaseInsensitive);
}

bool isRead(const tdstest::StatementLogEntry &e)
{
    const QString text = e.text.trimmed();
    return isHousekeeping(e) || text.startsWith(QLatin1String("select "), Qt::CaseInsensitive);
}

}  // namespace

QString serverPassword() { return QStringLiteral("Fa'ult;Pw={x}=1%_"); }

bool ServedDictionary::start(const QStringList &faults, const QString &password)
{
    before_ = folder_->fingerprint();
    tdstest::ServerSettings settings;
    settings.folder = folder_->path();
    settings.password = password.isEmpty() ? serverPassword() : password;
    settings.faults = faults;
    settings.maxSeconds = 600;
    server_ = std::make_unique<tdstest::TdsServerProcess>(settings);
    history_.clear();
    unread_ = 0;
    QString error;
    if (!server_->start(&error)) {
        qWarning("the test server did not start: %s", qPrintable(error));
        return false;
    }
    return true;
}

void ServedDictionary::stop()
{
    if (server_)
        server_->stop();
}

void ServedDictionary::readLog()
{
    if (!server_)
        return;
    const tdstest::StatementLog log = server_->log();
    QCOMPARE(log.malformedLines(), 0);
    history_ += log.entries();
    server_->clearLog();
}

QStringList ServedDictionary::sent(const QString &catalog)
{
    readLog();
    QStringList texts;
    for (int i = unread_; i < history_.size(); ++i) {
        const tdstest::StatementLogEntry &e = history_[i];
        if (!e.isStatement() || isHousekeeping(e))
            continue;
        if (!catalog.isEmpty() && e.catalog.compare(catalog, Qt::CaseInsensitive) != 0)
            continue;
        texts << e.text.trimmed();
    }
    unread_ = history_.size();
    return texts;
}

QVector<tdstest::StatementLogEntry> ServedDictionary::history()
{
    readLog();
    return history_;
}

void ServedDictionary::verifyOnlyReads()
{
    for (const tdstest::StatementLogEntry &e : history()) {
        if (e.isStatement())
            QVERIFY2(isRead(e), qPrintable(QStringLiteral("not a read: ") + e.text));
        else
            QVERIFY2(e.isLogin() || e.request == QLatin1String("attention"),
                     qPrintable(QStringLiteral("unexpected request: ") + e.request + QLatin1Char(' ') + e.text));
    }
    QCOMPARE(folder_->fingerprint(), before_);
}

Session::Session(std::function<void(const ui::MsgBoxCall &)> reaction)
    : boxes_(std::move(reaction))
{
    {
        QMutexLocker lock(&g_outputMutex);
        g_output.clear();
    }
    g_previous = qInstallMessageHandler(recordOutput);
}

Session::~Session()
{
    qInstallMessageHandler(g_previous);
    g_previous = nullptr;
}

QStringList Session::output()
{
    QMutexLocker lock(&g_outputMutex);
    return g_output;
}

void Session::audit(ServedDictionary &dictionary, const QStringList &otherPasswords)
{
    dictionary.verifyOnlyReads();
    const QStringList passwords = QStringList{dictionary.password()} + otherPasswords;
    QStringList texts = output();
    for (const ui::MsgBoxCall &c : boxes_.calls())
        texts << c.title << c.prompt;
    for (const tdstest::StatementLogEntry &e : dictionary.history())
        texts << e.text << e.catalog << e.outcome;
    for (const QString &password : passwords) {
        QVERIFY(!password.isEmpty());
        for (const QString &text : texts)
            QVERIFY2(!text.contains(password), qPrintable(QStringLiteral("the password shows in: ") + text));
    }
}

}  // namespace faulttest
