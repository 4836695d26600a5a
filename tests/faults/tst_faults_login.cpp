// The login window when the server cannot be reached or the choice cannot
// be opened: the reason shows in a "提示" box within the login time-out and
// the window stays as it was, ready for another attempt.
#include "browser_driver.h"
#include "data/public_ado.h"
#include "data/statements.h"
#include "fault_session.h"
#include "wait/form3.h"
#include <QComboBox>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTcpServer>
#include <QTest>

using namespace brtest;

namespace {

const QString Prompt = QStringLiteral("提示");

// A name that cannot exist and that the resolver refuses by itself (a label
// longer than 63 characters), so no name server is ever asked.
QString unknownServerName()
{
    return QStringLiteral("no-such-server-") + QString(70, QLatin1Char('x')) + QStringLiteral(".invalid");
}

// A loopback port on which nothing listens (any more).
quint16 closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

// Types the server and the password into a fresh login window and tabs into
// the account box; returns the milliseconds that took.
qint64 attemptLogin(const QString &server, const QString &password)
{
    login::Form1 &f = *::Form1;
    QTest::mouseClick(f.Text1.lineEdit(), Qt::LeftButton);
    f.Text1.lineEdit()->selectAll();
    QTest::keyClicks(f.Text1.lineEdit(), server);
    QTest::keyClick(f.Text1.lineEdit(), Qt::Key_Tab);
    f.Text2.lineEdit()->selectAll();
    QTest::keyClicks(f.Text2.lineEdit(), password);
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(f.Text2.lineEdit(), Qt::Key_Tab);
    return timer.elapsed();
}

// The login window as a failed attempt must leave it: shown, both text
// boxes editable, no account, OK disabled, no browser.
void verifyWaitingForPassword()
{
    QVERIFY(::Form1.isLoaded() && !ui::programEnded());
    login::Form1 &f = *::Form1;
    QVERIFY(f.Visible());
    QVERIFY(f.Text1.Enabled() && f.Text2.Enabled());
    QCOMPARE(f.Combo1.ListIndex(), -1);
    QCOMPARE(f.Combo1.ListCount(), 0);
    QVERIFY(!f.Command1.Enabled());
    QVERIFY(!::Form2.isLoaded() && !::Form3.isLoaded());
}

}  // namespace

class FaultsLogin : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { dictionary_.stop(); }
    void cleanup() { endProgram(); }

    void unreachableServerIsReported_data();
    void unreachableServerIsReported();
    void loginNeverAnsweredEndsWithinTheTimeout();
    void choiceThatCannotBeOpened_data();
    void choiceThatCannotBeOpened();
    void serverGoneBeforeOk();
    void passwordOutsideAscii_data();
    void passwordOutsideAscii();

private:
    faulttest::ServedDictionary dictionary_;
};

void FaultsLogin::initTestCase()
{
    // 001 with a good year (2011), a year without database (2010) and one
    // whose database has no dictionary tables (2012); 005 without periods.
    dictionary_.folder().accounts({{"001", "Main", {2011, 2010, 2012}}, {"005", "空账套", {}}});
    dictionary_.folder().catalog(QStringLiteral("svdata_001_2011"),
                               {ddtest::table("01", "总账", "GL_a", "甲表", 3)});
    dictionary_.folder().emptyCatalog(QStringLiteral("svdata_001_2012"));
    QVERIFY(dictionary_.start());
}

void FaultsLogin::unreachableServerIsReported_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("reason");
    const quint16 port = closedPort();
    QVERIFY(port != 0);
    QTest::newRow("wrong password") << QString() << QStringLiteral("Wr0ng'pass;{}")
                                    << QStringLiteral("Login failed for user 'sa'.");
    QTest::newRow("unknown server name") << unknownServerName() << QStringLiteral("Any'pass1")
                                         << QStringLiteral("找不到该服务器名称");
    QTest::newRow("nothing listening") << QStringLiteral("127.0.0.1,%1").arg(port)
                                       << QStringLiteral("Any'pass2")
                                       << QStringLiteral("无法连接到服务器");
    QTest::newRow("connection closed at once") << QStringLiteral("close-on-accept") << QStringLiteral("Any'pass3")
                                               << QStringLiteral("无法连接到服务器");
    // The instance is looked up on the host (loopback here) first.
    QTest::newRow("instance nobody serves") << QStringLiteral("127.0.0.1\\NOSUCHINSTANCE")
                                            << QStringLiteral("Any'pass4") << QStringLiteral("无法连接到服务器");
    QTest::newRow("port that is no port") << QStringLiteral("127.0.0.1,99999") << QStringLiteral("Any'pass5")
                                          << QStringLiteral("端口无效");
    QTest::newRow("password the driver cannot pass") << QString() << QStringLiteral("Bad};pass")
                                                     << QStringLiteral("“};”");
}

void FaultsLogin::unreachableServerIsReported()
{
    QFETCH(QString, server);
    QFETCH(QString, password);
    QFETCH(QString, reason);
    if (server.isEmpty())
        server = dictionary_.dataSource();
    faulttest::ServedDictionary closing;
    if (server == QLatin1String("close-on-accept")) {
        closing.folder().accounts({});
        QVERIFY(closing.start({"--close-on-accept"}));
        server = closing.dataSource();
    }
    faulttest::Session session;
    startProgram();
    QVERIFY(!QTest::currentTestFailed());

    const qint64 elapsed = attemptLogin(server, password);
    QVERIFY2(elapsed < 20000, qPrintable(QString::number(elapsed)));
    QCOMPARE(session.calls().size(), 1);
    QCOMPARE(session.calls()[0].title, Prompt);
    QVERIFY2(session.calls()[0].prompt.contains(reason), qPrintable(session.calls()[0].prompt));
    QCOMPARE(dd::PublicADO::cnSys().State(), 0);
    verifyWaitingForPassword();
    QVERIFY(!QTest::currentTestFailed());

    // Still usable: the right server and password, and the accounts load.
    QTest::keyClick(::Form1->Combo1.comboBox(), Qt::Key_Backtab);
    attemptLogin(dictionary_.dataSource(), dictionary_.password());
    login::Form1 &f = *::Form1;
    QCOMPARE(session.calls().size(), 1);
    QCOMPARE(entries(f.Combo1), (QStringList{"[001]Main", "[005]空账套"}));
    QCOMPARE(entries(f.Combo2), (QStringList{"2011", "2010", "2012"}));
    QVERIFY(f.Command1.Enabled() && !f.Text1.Enabled() && !f.Text2.Enabled());
    session.audit(dictionary_, {password});
}

void FaultsLogin::loginNeverAnsweredEndsWithinTheTimeout()
{
    // A server that takes the connection and then says nothing: the
    // connection is made, the login packet is never answered.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
    faulttest::Session session;
    startProgram();
    QVERIFY(!QTest::currentTestFailed());
    const QString password = QStringLiteral("Silent'pw;1");
    const qint64 elapsed = attemptLogin(QStringLiteral("127.0.0.1,%1").arg(silent.serverPort()), password);
    QVERIFY2(elapsed < 20000, qPrintable(QString::number(elapsed)));
    QVERIFY(silent.hasPendingConnections() || silent.waitForNewConnection(0));
    QCOMPARE(session.calls().size(), 1);
    QCOMPARE(session.calls()[0].title, Prompt);
    QVERIFY2(session.calls()[0].prompt.contains(QStringLiteral("超时")), qPrintable(session.calls()[0].prompt));
    verifyWaitingForPassword();
    QVERIFY(!QTest::currentTestFailed());

    QTest::keyClick(::Form1->Combo1.comboBox(), Qt::Key_Backtab);
    attemptLogin(dictionary_.dataSource(), dictionary_.password());
    QCOMPARE(::Form1->Combo1.ListCount(), 2);
    session.audit(dictionary_, {password});
}

void FaultsLogin::choiceThatCannotBeOpened_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("reason");
    QTest::newRow("account without periods") << QStringLiteral("[005]空账套") << QString()
                                             << QStringLiteral("该账套没有会计年度");
    QTest::newRow("year whose database is missing") << QStringLiteral("[001]Main") << QStringLiteral("2010")
                                                    << QStringLiteral("svdata_001_2010");
    QTest::newRow("database without dictionary tables")
        << QStringLiteral("[001]Main") << QStringLiteral("2012") << QStringLiteral("RPT_GRPDEF");
}

void FaultsLogin::choiceThatCannotBeOpened()
{
    QFETCH(QString, account);
    QFETCH(QString, year);
    QFETCH(QString, reason);
    faulttest::Session session;
    startProgram();
    QVERIFY(!QTest::currentTestFailed());
    attemptLogin(dictionary_.dataSource(), dictionary_.password());
    login::Form1 &f = *::Form1;
    QCOMPARE(f.Combo1.ListCount(), 2);
    QVERIFY(session.calls().isEmpty());
    dictionary_.sent();

    choose(f.Combo1, account);
    if (!year.isEmpty()) {
        choose(f.Combo2, year);
        clickOk();
    }
    settle();
    QCOMPARE(session.calls().size(), 1);
    QCOMPARE(session.calls()[0].title, Prompt);
    QVERIFY2(session.calls()[0].prompt.contains(reason), qPrintable(session.calls()[0].prompt));

    // The login window as it was: connected, the accounts listed, the
    // account chosen and, when it has years, the year chosen.
    QVERIFY(::Form1.isLoaded() && f.Visible() && !ui::programEnded());
    QVERIFY(!::Form2.isLoaded() && !::Form3.isLoaded());
    QVERIFY(!f.Text1.Enabled() && !f.Text2.Enabled());
    QCOMPARE(entries(f.Combo1), (QStringList{"[001]Main", "[005]空账套"}));
    QCOMPARE(f.Combo1.Text(), account);
    if (year.isEmpty()) {
        QCOMPARE(f.Combo2.ListCount(), 0);
        QVERIFY(!f.Command1.Enabled());
        QCOMPARE(dictionary_.sent(), QStringList{dd::sql::yearQuery("005")});
        choose(f.Combo1, QStringLiteral("[001]Main"));
    } else {
        QCOMPARE(entries(f.Combo2), (QStringList{"2011", "2010", "2012"}));
        QCOMPARE(f.Combo2.Text(), year);
        QVERIFY(f.Command1.Enabled());
        choose(f.Combo2, QStringLiteral("2011"));
    }
    QVERIFY(!QTest::currentTestFailed());

    // Another choice opens the browser.
    clickOk();
    QVERIFY(::Form2.isLoaded() && ::Form2->Visible());
    QCOMPARE(::Form2->Label1.Caption(), QStringLiteral("GL_a表字段说明:(此表共3个字段)"));
    QCOMPARE(session.calls().size(), 1);
    session.audit(dictionary_);
}

// Logged in, then the server goes away before OK: the browser cannot open
// its database, says why, and the login window comes back as it was.
void FaultsLogin::serverGoneBeforeOk()
{
    faulttest::ServedDictionary gone;
    gone.folder().accounts({{"001", "Main", {2011}}});
    gone.folder().catalog(QStringLiteral("svdata_001_2011"), {ddtest::table("01", "总账", "GL_a", "甲表", 3)});
    QVERIFY(gone.start());
    faulttest::Session session;
    startProgram();
    QVERIFY(!QTest::currentTestFailed());
    attemptLogin(gone.dataSource(), gone.password());
    login::Form1 &f = *::Form1;
    QCOMPARE(f.Combo1.ListCount(), 1);
    session.audit(gone);
    gone.stop();
    QElapsedTimer timer;
    timer.start();
    clickOk();
    settle();
    QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(session.calls().size(), 1);
    QCOMPARE(session.calls()[0].title, Prompt);
    QVERIFY2(session.calls()[0].prompt.contains(QStringLiteral("无法连接到服务器")), qPrintable(session.calls()[0].prompt));
    QVERIFY(::Form1.isLoaded() && f.Visible() && !ui::programEnded());
    QVERIFY(!::Form2.isLoaded() && !::Form3.isLoaded());
    QCOMPARE(f.Combo1.Text(), QStringLiteral("[001]Main"));
    QCOMPARE(f.Combo2.Text(), QStringLiteral("2011"));
    QVERIFY(f.Command1.Enabled());
    session.audit(gone);
}

void FaultsLogin::passwordOutsideAscii_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("Chinese") << QStringLiteral("密码'测试;{x}");
    QTest::newRow("outside the BMP") << QStringLiteral("\U0001F511\U00020000pw");
}

// Typed in one piece by an input method; the right one logs in, a wrong
// one in the same script is refused.
void FaultsLogin::passwordOutsideAscii()
{
    QFETCH(QString, password);
    faulttest::ServedDictionary d;
    d.folder().accounts({{"001", "Main", {2011}}});
    QVERIFY(d.start({}, password));
    faulttest::Session session;
    startProgram();
    QVERIFY(!QTest::currentTestFailed());
    login::Form1 &f = *::Form1;
    auto attempt = [&](const QString &typed) {
        f.Text1.lineEdit()->selectAll();
        QTest::keyClicks(f.Text1.lineEdit(), d.dataSource());
        f.Text2.lineEdit()->setFocus();
        f.Text2.lineEdit()->selectAll();
        QInputMethodEvent event;
        event.setCommitString(typed);
        QCoreApplication::sendEvent(f.Text2.lineEdit(), &event);
        QCOMPARE(f.Text2.Text(), typed);
        QTest::keyClick(f.Text2.lineEdit(), Qt::Key_Tab);
    };
    const QString wrong = password.left(password.size() - 1) + QStringLiteral("X");
    attempt(wrong);
    QCOMPARE(session.calls().size(), 1);
    QVERIFY2(session.calls()[0].prompt.contains(QStringLiteral("Login failed for user 'sa'.")),
             qPrintable(session.calls()[0].prompt));
    verifyWaitingForPassword();
    QTest::keyClick(f.Combo1.comboBox(), Qt::Key_Backtab);
    attempt(password);
    QCOMPARE(session.calls().size(), 1);
    QCOMPARE(entries(f.Combo1), QStringList{"[001]Main"});
    QCOMPARE(d.history().value(0).outcome, QStringLiteral("error 18456"));
    session.audit(d, {wrong});
}

QTEST_MAIN(FaultsLogin)
#include "tst_faults_login.moc"
