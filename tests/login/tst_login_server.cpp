// The login window against a SQL Server speaking the real protocol (the
// test server over loopback): a wrong password, then the right one.
#include "data/connection.h"
#include "data/public_ado.h"
#include "data/statements.h"
#include "login/form1.h"
#include "login_fixture.h"
#include "tds_server_process.h"
#include "ui/runtime.h"
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

class LoginServerTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { logintest::resetAll(); }

    void wrongPasswordShowsTheServersTextAndTheNextAttemptWorks()
    {
        ddtest::DictionaryFolder folder;
        logintest::writeThreeAccounts(folder);
        tdstest::ServerSettings settings;
        settings.folder = folder.path();
        settings.password = QStringLiteral("Right;Pw");
        tdstest::TdsServerProcess server(settings);
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        try {
            dd::Connection probe;
            probe.Open(dd::sql::systemConnectionString(server.dataSource()), QStringLiteral("sa"),
                       server.password());
        } catch (const dd::Error &e) {
            QSKIP(qPrintable(QStringLiteral("the test server refuses the right password: ") + e.Description()));
        }

        logintest::openLogin(server.dataSource());
        login::Form1 &f = *::Form1;
        ui::ScopedMsgBoxHandler boxes;
        QTest::keyClicks(f.Text2.lineEdit(), QStringLiteral("wrong"));
        QTest::keyClick(f.Text2.lineEdit(), Qt::Key_Tab);
        QCOMPARE(boxes.calls().size(), 1);
        QCOMPARE(boxes.calls()[0].title, QStringLiteral("提示"));
        QVERIFY2(boxes.calls()[0].prompt.contains(QStringLiteral("'sa'")), qPrintable(boxes.calls()[0].prompt));
        QVERIFY(f.Text1.Enabled() && f.Text2.Enabled());
        QCOMPARE(f.Combo1.ListIndex(), -1);
        QCOMPARE(dd::PublicADO::cnSys().State(), 0);

        QTest::keyClick(f.Combo1.comboBox(), Qt::Key_Backtab);
        f.Text2.lineEdit()->selectAll();
        QTest::keyClicks(f.Text2.lineEdit(), server.password());
        QTest::keyClick(f.Text2.lineEdit(), Qt::Key_Tab);
        QCOMPARE(boxes.calls().size(), 1);
        QCOMPARE(f.Combo1.ListCount(), 3);
        QCOMPARE(f.Combo1.Text(), QStringLiteral("[002]华东分公司"));
        QCOMPARE(f.Combo2.ListCount(), 2);
        QVERIFY(f.Command1.Enabled());
        QVERIFY(!f.Text2.Enabled());
    }
};

QTEST_MAIN(LoginServerTest)
#include "tst_login_server.moc"
