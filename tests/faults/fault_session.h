#pragma once
// What the fault tests share: a dictionary folder behind the TDS test
// server (reached through ODBC and FreeTDS, as a user's server is), the
// statements the program sent, and the audit every test ends with: the
// session only read, no file of the folder changed, and the password shows
// up in no output, message box or statement.
//
//   faulttest::ServedDictionary d;
//   d.folder().accounts({{"001", "Main", {2011}}});
//   QVERIFY(d.start({"--delay-ms", "500"}));
//   faulttest::Session session;               // records boxes and output
//   brtest::startProgram();
//   ... drive the windows ...
//   QCOMPARE(d.sent("svdata_001_2011"), expected);
//   session.audit(d);
#include "tds_server_process.h"
#include "test_folder.h"
#include "ui/runtime.h"
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace faulttest {

// The password the test servers accept: ; = { } in it must stay data all
// the way to the server.
QString serverPassword();

class ServedDictionary {
public:
    ServedDictionary() = default;
    ServedDictionary(const ServedDictionary &) = delete;
    ServedDictionary &operator=(const ServedDictionary &) = delete;

    // The catalogs it serves: its own, or another's (shareFolder).
    ddtest::DictionaryFolder &folder() { return *folder_; }
    void shareFolder(ServedDictionary &other) { folder_ = other.folder_; }

    // Fingerprints the folder as it now is and starts a server on it,
    // accepting serverPassword() unless told another.
    bool start(const QStringList &faults = {}, const QString &password = QString());
    void stop();
    tdstest::TdsServerProcess &server() { return *server_; }
    QString dataSource() const { return server_->dataSource(); }
    QString password() const { return server_->password(); }

    // The statements sent since the last look, in order, trimmed; of one
    // catalog when one is named. The driver's housekeeping (SET, USE and
    // its type-information call) is left out.
    QStringList sent(const QString &catalog = QString());
    // Every log entry seen so far, the unread ones included.
    QVector<tdstest::StatementLogEntry> history();

    // Everything the server was asked since it started is a read, and the
    // folder's files are byte for byte what they were at start().
    void verifyOnlyReads();

private:
    void readLog();
    ddtest::DictionaryFolder ownFolder_;
    ddtest::DictionaryFolder *folder_ = &ownFolder_;
    std::unique_ptr<tdstest::TdsServerProcess> server_;
    QMap<QString, QByteArray> before_;
    QVector<tdstest::StatementLogEntry> history_;
    int unread_ = 0;  // index into history_ of the first entry not yet looked at
};

// For one test function: answers and records every message box (never a
// person, never a timer) and records every line of qDebug/qInfo/qWarning/
// qCritical output, still passing it on.
class Session {
public:
    explicit Session(std::function<void(const ui::MsgBoxCall &)> reaction = {});
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    ui::ScopedMsgBoxHandler &boxes() { return boxes_; }
    const QVector<ui::MsgBoxCall> &calls() const { return boxes_.calls(); }
    static QStringList output();

    // No password (the server's and any other that was typed) in the
    // output, the box texts or the statements; only reads on the server;
    // no file changed.
    void audit(ServedDictionary &dictionary, const QStringList &otherPasswords = {});

private:
    ui::ScopedMsgBoxHandler boxes_;
    QtMessageHandler previous_ = nullptr;
};

}  // namespace faulttest
