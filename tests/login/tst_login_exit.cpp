// The program's end with the system connection still open: the login
// window has listed the accounts, then the user presses Exit, or the
// process is ended at once. Either way the process ends normally. The
// shared objects outlive main, so each case runs in a child process of
// this executable.
#include "data/public_ado.h"
#include "login/form1.h"
#include "login_fixture.h"
#include "ui/error_modes.h"
#include "ui/form.h"
#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char ChildFlag[] = "--exit-child";
constexpr int AbruptStatus = 3;

// The program's start-up on the folder, the accounts listed by tabbing from
// the password into the account box, then the way out named by `how`:
// "exit-button" presses Exit and leaves main as the program does;
// "exit-call" ends the process on the spot.
int runChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    login::setDefaultServer(QString::fromLocal8Bit(argv[2]));
    ui::untrapped([] { ::Form1.Load(); });
    login::Form1 &f = *::Form1.loaded();
    if (!QTest::qWaitForWindowActive(f.widget()))
        return 10;
    QTest::keyClicks(f.Text2.lineEdit(), QStringLiteral("pw"));
    QTest::keyClick(f.Text2.lineEdit(), Qt::Key_Tab);
    if (dd::PublicADO::cnSys().State() != 1 || f.Combo1.ListCount() == 0)
        return 11;  // the accounts were not listed: nothing is tested
    if (std::strcmp(argv[3], "exit-call") == 0)
        std::exit(AbruptStatus);
    QTest::mouseClick(f.Command2.button(), Qt::LeftButton);
    const int status = ui::programEnded() ? 0 : app.exec();
    dd::PublicADO::closeAll();
    return status;
}

}  // namespace

class LoginExitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { logintest::writeThreeAccounts(folder_); }

    void endsNormallyWithTheConnectionOpen_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("status");
        QTest::newRow("Exit pressed") << QStringLiteral("exit-button") << 0;
        QTest::newRow("process ended at once") << QStringLiteral("exit-call") << AbruptStatus;
    }

    void endsNormallyWithTheConnectionOpen()
    {
        QFETCH(QString, how);
        QFETCH(int, status);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(ChildFlag), folder_.path(), how});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), status);
    }

private:
    ddtest::DictionaryFolder folder_;
};

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], ChildFlag) == 0)
        return runChild(argc, argv);
    QApplication app(argc, argv);
    LoginExitTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_login_exit.moc"
