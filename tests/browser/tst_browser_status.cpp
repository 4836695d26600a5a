// The status bar: account, year, a running clock and its tooltip; and the
// way back to a fresh login window by double-clicking it.
#include "browser_driver.h"
#include "data/public_ado.h"
#include "test_folder.h"
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

using namespace brtest;

class BrowserStatus : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { endProgram(); }
    void showsAccountYearAndClock();
    void doubleClickReturnsToAFreshLogin_data();
    void doubleClickReturnsToAFreshLogin();

private:
    std::unique_ptr<ddtest::DictionaryFolder> folder_;
};

void BrowserStatus::init()
{
    folder_ = std::make_unique<ddtest::DictionaryFolder>();
    folder_->accounts({{"001", "Main", {2011}}, {"002", "Branch", {2012, 2013}}});
    folder_->catalog("svdata_001_2011", {ddtest::table("01", "总账", "GL_a", "甲", 2)});
    folder_->catalog("svdata_002_2013", {ddtest::table("01", "总账", "GL_a", "甲", 2),
                                         ddtest::table("02", "应收", "AR_x", "乙", 1)});
}

void BrowserStatus::showsAccountYearAndClock()
{
    browser::Form2 *b = openBrowser(folder_->path());
    QVERIFY(b);
    ui::StatusBar &bar = b->StatusBar1;
    QCOMPARE(bar.Panels(1).Text(), QStringLiteral("当前账套:[001]Main"));
    QCOMPARE(bar.Panels(2).Text(), QStringLiteral("会计年度:[2011]"));
    QCOMPARE(bar.Panels(4).Text(), browser::creditText());
    for (const QPoint &at : {bar.panelRect(1).center(), bar.panelRect(4).center()}) {
        QHelpEvent hover(QEvent::ToolTip, at, bar.widget()->mapToGlobal(at));
        QApplication::sendEvent(bar.widget(), &hover);
        QCOMPARE(QToolTip::text(), QStringLiteral("双击状态栏可重新选择账套"));
        QToolTip::hideText();
    }
    // The clock goes on, once a second.
    for (int tick = 0; tick < 2; ++tick) {
        const QString shown = bar.Panels(3).Text();
        QVERIFY(!shown.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(bar.Panels(3).Text() != shown, 5000);
    }
}

void BrowserStatus::doubleClickReturnsToAFreshLogin_data()
{
    QTest::addColumn<int>("panel");
    QTest::newRow("account panel") << 1;
    QTest::newRow("credit panel") << 4;
}

void BrowserStatus::doubleClickReturnsToAFreshLogin()
{
    QFETCH(int, panel);
    browser::Form2 *b = openBrowser(folder_->path());
    QVERIFY(b);
    doubleClickPanel(b->StatusBar1, panel);
    settle();
    QVERIFY(!::Form2.isLoaded() && !ui::programEnded());
    QCOMPARE(dd::PublicADO::cnSys().State() + dd::PublicADO::rsAcc().State(), 0);

    login::Form1 &f = *::Form1;
    QVERIFY(f.Visible());
    QCOMPARE(f.Text1.Text(), QStringLiteral("(local)"));
    QCOMPARE(f.Text2.Text(), QString());
    QVERIFY(f.Text1.Enabled() && f.Text2.Enabled() && !f.Command1.Enabled());
    QCOMPARE(f.Combo1.ListCount() + f.Combo2.ListCount(), 0);
    QVERIFY(QTest::qWaitForWindowActive(f.widget()));
    QCOMPARE(QApplication::focusWidget(), f.Text2.lineEdit());

    // A second browser shows the newly chosen account and year.
    logIn(folder_->path());
    choose(f.Combo1, "[002]Branch");
    choose(f.Combo2, "2013");
    clickOk();
    QVERIFY(::Form2.isLoaded() && ::Form2->Visible());
    QCOMPARE(::Form2->StatusBar1.Panels(1).Text(), QStringLiteral("当前账套:[002]Branch"));
    QCOMPARE(::Form2->StatusBar1.Panels(2).Text(), QStringLiteral("会计年度:[2013]"));
    QCOMPARE(::Form2->Label3.Caption(), QStringLiteral("【共加载2个表】"));

    // Exit from a login window shown again ends the program.
    doubleClickPanel(::Form2->StatusBar1, 2);
    settle();
    QTest::mouseClick(::Form1->Command2.button(), Qt::LeftButton);
    settle();
    QVERIFY(ui::programEnded() && ui::Form::loadedForms().empty());
}

QTEST_MAIN(BrowserStatus)
#include "tst_browser_status.moc"
