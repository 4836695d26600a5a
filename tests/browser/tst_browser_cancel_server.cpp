// Reads the browser starts off the window thread, against a server that has
// gone silent: cancelling an export, and leaving the browser while an
// export or the search's dictionary load waits on it. The window thread is
// never held, the export says "正在取消…" until it has stopped and ends
// long before the 30 s statement time-out, and nothing is reported.
#include "awkward_dictionary.h"
#include "browser_driver.h"
#include "browser/export_runner.h"
#include "data/statements.h"
#include "search/results_panel.h"
#include "tds_server_process.h"
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace brtest;
using namespace exporttest;

namespace {

// Until the server holds a statement it will never answer.
bool serverHoldsAStatement(const tdstest::TdsServerProcess &server)
{
    return QTest::qWaitFor([&] { return server.holdsUnansweredStatement(); }, 20000);
}

QProgressDialog *progressDialog(browser::Form2 *b)
{
    return b->widget()->findChild<QProgressDialog *>("exportProgress");
}

}  // namespace

class TestBrowserCancel : public QObject {
    Q_OBJECT
    ddtest::DictionaryFolder folder;
    QTemporaryDir out;
    browser::Form2 *b = nullptr;
    std::unique_ptr<tdstest::TdsServerProcess> silent;

    QPointer<browser::ExportRunner> exportFromSilentServer()
    {
        dd::exporting::ExportRequest r;
        r.source = dd::sql::accountYearConnectionString("svdata_001_2011", silent->dataSource());
        r.user = "sa";
        r.password = silent->password();
        r.format = dd::exporting::Format::Xlsx;
        r.output = out.filePath("silent.xlsx");
        return new browser::ExportRunner(b->widget(), r);
    }

    // Leaving the browser for the login window, as a user does: the
    // window thread comes back within a second.
    void leaveTheBrowser()
    {
        QElapsedTimer leaving;
        leaving.start();
        doubleClickPanel(b->StatusBar1, 1);
        settle();
        QVERIFY2(leaving.elapsed() < 1000, qPrintable(QString::number(leaving.elapsed())));
        QVERIFY(!::Form2.isLoaded() && ::Form1.isLoaded() && ::Form1->Visible());
    }

private slots:
    void initTestCase() { makeAwkwardFolder(folder); }
    void init()
    {
        silent = std::make_unique<tdstest::TdsServerProcess>(
            tdstest::ServerSettings{folder.path(), "pw", {"--hang-after-login"}});
        QString error;
        QVERIFY2(silent->start(&error), qPrintable(error));
        b = openBrowser(folder.path());
        QVERIFY(b);
    }
    void cleanup()
    {
        endProgram();
        silent.reset();
    }

    void cancelledExportStopsWithoutAWord()
    {
        ui::ScopedMsgBoxHandler boxes;
        QPointer<browser::ExportRunner> run = exportFromSilentServer();
        QVERIFY(serverHoldsAStatement(*silent));
        QTRY_VERIFY(progressDialog(b) && progressDialog(b)->isVisible());
        QElapsedTimer cancelling;
        cancelling.start();
        QTest::mouseClick(progressDialog(b)->findChild<QPushButton *>(), Qt::LeftButton);   // 取消
        QVERIFY(progressDialog(b) && progressDialog(b)->isVisible());
        QCOMPARE(progressDialog(b)->findChild<QLabel *>()->text(), QStringLiteral("正在取消…"));
        QTRY_VERIFY_WITH_TIMEOUT(run.isNull(), 10000);
        QVERIFY2(cancelling.elapsed() < 10000, qPrintable(QString::number(cancelling.elapsed())));
        QVERIFY(!progressDialog(b) || !progressDialog(b)->isVisible());
        QTest::qWait(500);
        QVERIFY(boxes.calls().isEmpty());
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void leavingDuringAnExportDoesNotWait()
    {
        ui::ScopedMsgBoxHandler boxes;
        QPointer<browser::ExportRunner> run = exportFromSilentServer();
        QVERIFY(serverHoldsAStatement(*silent));
        leaveTheBrowser();
        QVERIFY(run.isNull());
        QVERIFY(boxes.calls().isEmpty());
    }

    void leavingDuringTheSearchLoadDoesNotWait()
    {
        // The search reads its dictionary from the silent server.
        b->sDataConn = dd::sql::accountYearConnectionString("svdata_001_2011", silent->dataSource());
        QTest::keyClick(b->DataGrid1.tableView(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(b->Text1.lineEdit(), "c");
        QVERIFY(serverHoldsAStatement(*silent));
        auto *panel = b->widget()->findChild<search::ResultsPanel *>();
        QVERIFY(panel && panel->statusText().startsWith(QStringLiteral("正在加载字段…")));
        leaveTheBrowser();
    }
};

QTEST_MAIN(TestBrowserCancel)
#include "tst_browser_cancel_server.moc"
