// The login window, driven with keystrokes and clicks on a local
// dictionary folder.
#include "data/connection.h"
#include "data/public_ado.h"
#include "login/form1.h"
#include "login_fixture.h"
#include "ui/form.h"
#include "ui/runtime.h"
#include "ui/twips.h"
#include "wait/form3.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using logintest::openLogin;

namespace {

login::Form1 &form() { return *::Form1.loaded(); }

QStringList items(const ui::ComboBox &box)
{
    QStringList list;
    for (int i = 0; i < box.ListCount(); ++i)
        list << box.List(i);
    return list;
}

QWidget *focused() { return QApplication::focusWidget(); }

void typePasswordAndTab()
{
    QTest::keyClicks(form().Text2.lineEdit(), QStringLiteral("secret"));
    QTest::keyClick(form().Text2.lineEdit(), Qt::Key_Tab);
}

const QString WaitText = QStringLiteral("正在初始化数据字典,请稍后......");

// Counts the paintings of the wait window's text and notes how many
// statements had run at the first one.
class PaintWatch : public QObject {
public:
    int paints = 0;
    long statementsAtFirstPaint = -1;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            if (auto *label = qobject_cast<QLabel *>(o); label && label->text() == WaitText) {
                if (paints++ == 0)
                    statementsAtFirstPaint = dd::Connection::statementsRun();
            }
        }
        return false;
    }
};

}  // namespace

class LoginTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { logintest::resetAll(); }

    void startsWaitingForThePassword()
    {
        openLogin(QStringLiteral("(local)"));
        login::Form1 &f = form();
        QCOMPARE(f.Caption(), QStringLiteral("登陆"));
        QCOMPARE(focused(), f.Text2.widget());
        QVERIFY(!f.Command1.Enabled());
        QCOMPARE(f.Text1.Text(), QStringLiteral("(local)"));
        QCOMPARE(f.Text2.Text(), QString());
        QCOMPARE(f.Combo1.ListCount(), 0);
        QCOMPARE(f.Combo1.ListIndex(), -1);
        QCOMPARE(f.Combo2.ListCount(), 0);
        QVERIFY(f.Text1.Enabled() && f.Text2.Enabled());

        QTest::keyClicks(f.Text2.lineEdit(), QStringLiteral("abc"));
        QCOMPARE(f.Text2.lineEdit()->displayText(), QStringLiteral("***"));
        QCOMPARE(f.Text2.Text(), QStringLiteral("abc"));
        // Neither list takes typed text.
        QVERIFY(!f.Combo1.comboBox()->isEditable());
        QVERIFY(!f.Combo2.comboBox()->isEditable());
    }

    void designIsApplied()
    {
        openLogin(QStringLiteral("(local)"));
        login::Form1 &f = form();
        QWidget *w = f.widget();
        QCOMPARE(w->size(), ui::twipsSize(6870, 4365));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        const Qt::WindowFlags flags = w->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(f.Text1.widget()->geometry(), ui::twipsRect(3720, 1320, 2655, 300));
        QCOMPARE(f.Combo2.widget()->geometry(), ui::twipsRect(3720, 2640, 2655, 300));
        QCOMPARE(f.Command1.widget()->geometry(), ui::twipsRect(3000, 3360, 1215, 495));
        QCOMPARE(f.Label3.Caption(), QStringLiteral("登陆帐套："));
        QCOMPARE(f.Label3.widget()->geometry(), ui::twipsRect(2760, 2280, 1455, 375));
        QCOMPARE(f.Command1.Caption(), QStringLiteral("确定"));
        QCOMPARE(f.Command2.Caption(), QStringLiteral("退出"));
        QVERIFY(f.Command1.Default() && f.Command2.Cancel());
        QCOMPARE(f.Label5.ForeColor(), QColor(255, 0, 0));
        QCOMPARE(f.Label5.Caption(), QStringLiteral("本工具适用于StravikR2/P5系列"));
        // The note sits inside the window, on its designed line.
        QVERIFY(f.Label5.widget()->geometry().right() < w->width());
        QCOMPARE(f.Label5.Top(), 4080.0f);
        // Each caption label lies under the input beside it.
        const QObjectList kids = w->children();
        QVERIFY(kids.indexOf(f.Label1.widget()) < kids.indexOf(f.Text1.widget()));
        QVERIFY(f.Label1.widget()->geometry().intersects(f.Text1.widget()->geometry()));

        // The picture covers the window unscaled; the window is centred on the screen.
        const QImage shot = w->grab().toImage();
        const QImage picture(QStringLiteral(":/login_background.jpg"));
        QCOMPARE(picture.size(), QSize(458, 290));
        QCOMPARE(shot.pixelColor(5, 5), picture.pixelColor(5, 5));
        QCOMPARE(shot.pixelColor(150, 280), picture.pixelColor(150, 280));
        const QPoint screenCentre = w->screen()->availableGeometry().center();
        QVERIFY((w->geometry().center() - screenCentre).manhattanLength() <= 40);
        QVERIFY(w->windowIcon().availableSizes().contains(QSize(48, 48)));
    }

    void tabOrder()
    {
        openLogin(QStringLiteral("(local)"));
        login::Form1 &f = form();
        QList<QWidget *> chain;
        QWidget *start = f.Text1.widget();
        QWidget *w = start;
        do {
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w;
            w = w->nextInFocusChain();
        } while (w != start && chain.size() < 20);
        const QList<QWidget *> expected{f.Text1.widget(),  f.Text2.widget(),    f.Combo1.widget(),
                                        f.Combo2.widget(), f.Command1.widget(), f.Command2.widget()};
        QCOMPARE(chain, expected);
    }

    void tabFromThePasswordLoadsAccountsAndYears()
    {
        ddtest::DictionaryFolder folder;
        logintest::writeThreeAccounts(folder);
        openLogin(folder.path());
        ui::ScopedMsgBoxHandler boxes;
        typePasswordAndTab();

        login::Form1 &f = form();
        QCOMPARE(focused(), f.Combo1.widget());
        const QStringList entries = logintest::accountEntries(folder.path());
        QCOMPARE(entries.first(), QStringLiteral("[002]华东分公司"));  // the server's order
        QCOMPARE(items(f.Combo1), entries);
        QCOMPARE(f.Combo1.ListIndex(), 0);
        QCOMPARE(f.Combo1.Text(), QStringLiteral("[002]华东分公司"));
        QCOMPARE(items(f.Combo2), logintest::years(folder.path(), QStringLiteral("002")));
        QCOMPARE(f.Combo2.ListIndex(), 0);
        QCOMPARE(f.Combo2.Text(), items(f.Combo2).first());
        QVERIFY(f.Command1.Enabled());
        QVERIFY(!f.Text1.Enabled() && !f.Text2.Enabled());
        QVERIFY(boxes.calls().isEmpty());
        QCOMPARE(dd::PublicADO::cnSys().State(), 1);
        QCOMPARE(dd::PublicADO::sSysConn().text(),
                 QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=True;Initial Catalog=svsystem;Data Source=") +
                     folder.path());

        // Tab from Exit skips the two disabled text boxes.
        QTest::keyClick(f.Combo1.comboBox(), Qt::Key_Tab);
        QCOMPARE(focused(), f.Combo2.widget());
        QTest::keyClick(f.Combo2.comboBox(), Qt::Key_Tab);
        QCOMPARE(focused(), f.Command1.widget());
        QTest::keyClick(f.Command1.button(), Qt::Key_Tab);
        QCOMPARE(focused(), f.Command2.widget());
        QTest::keyClick(f.Command2.button(), Qt::Key_Tab);
        QCOMPARE(focused(), f.Combo1.widget());
    }

    void pickingAnotherAccountRelistsItsYears()
    {
        ddtest::DictionaryFolder folder;
        logintest::writeThreeAccounts(folder);
        openLogin(folder.path());
        ui::ScopedMsgBoxHandler boxes;
        typePasswordAndTab();
        login::Form1 &f = form();
        QTest::keyClick(f.Combo1.comboBox(), Qt::Key_Down);
        QCOMPARE(f.Combo1.Text(), QStringLiteral("[001]Main"));
        const QStringList expected = logintest::years(folder.path(), QStringLiteral("001"));
        QCOMPARE(expected.size(), 3);
        QCOMPARE(items(f.Combo2), expected);
        QCOMPARE(f.Combo2.ListIndex(), 0);
        QVERIFY(f.Command1.Enabled());
        QVERIFY(boxes.calls().isEmpty());
    }

    void accountWithoutYearsSaysSoAndAnotherCanBePicked()
    {
        ddtest::DictionaryFolder folder;
        logintest::writeThreeAccounts(folder);
        openLogin(folder.path());
        ui::ScopedMsgBoxHandler boxes;
        typePasswordAndTab();
        login::Form1 &f = form();
        QTest::keyClick(f.Combo1.comboBox(), Qt::Key_End);
        QCOMPARE(f.Combo1.Text(), QStringLiteral("[005]空账套"));
        QCOMPARE(boxes.calls().size(), 1);
        QCOMPARE(boxes.calls()[0].prompt, QStringLiteral("该账套没有会计年度"));
        QCOMPARE(boxes.calls()[0].title, QStringLiteral("提示"));
        QCOMPARE(f.Combo2.ListCount(), 0);
        QCOMPARE(f.Combo2.Text(), QString());
        QVERIFY(!f.Command1.Enabled());
        QVERIFY(!ui::programEnded());
        // Enter does nothing while OK is disabled.
        QTest::keyClick(f.Combo1.comboBox(), Qt::Key_Return);
        QVERIFY(f.Visible());

        QTest::keyClick(f.Combo1.comboBox(), Qt::Key_Home);
        QCOMPARE(items(f.Combo2), logintest::years(folder.path(), QStringLiteral("002")));
        QVERIFY(f.Command1.Enabled());
        QCOMPARE(boxes.calls().size(), 1);
    }

    void firstAccountWithoutYearsIsNotFatal()
    {
        ddtest::DictionaryFolder folder;
        folder.accounts({{QStringLiteral("009"), QStringLiteral("新账套"), {}},
                         {QStringLiteral("001"), QStringLiteral("Main"), {2011}}});
        openLogin(folder.path());
        ui::ScopedMsgBoxHandler boxes;
        typePasswordAndTab();
        login::Form1 &f = form();
        QVERIFY(!ui::programEnded());
        QCOMPARE(boxes.calls().size(), 1);
        QCOMPARE(boxes.calls()[0].prompt, QStringLiteral("该账套没有会计年度"));
        QCOMPARE(boxes.calls()[0].title, QStringLiteral("提示"));
        // Every account is listed and the user can go on.
        QCOMPARE(items(f.Combo1), (QStringList{QStringLiteral("[009]新账套"), QStringLiteral("[001]Main")}));
        QCOMPARE(f.Combo1.ListIndex(), 0);
        QVERIFY(!f.Command1.Enabled());
        QTest::keyClick(f.Combo1.comboBox(), Qt::Key_Down);
        QCOMPARE(items(f.Combo2), QStringList{QStringLiteral("2011")});
        QVERIFY(f.Command1.Enabled());
    }

    void failingYearQueryShowsTheServersText()
    {
        ddtest::DictionaryFolder folder;
        logintest::writeAccountsWithoutPeriodTable(folder.path(), {QStringLiteral("001"), QStringLiteral("002")});
        openLogin(folder.path());
        ui::ScopedMsgBoxHandler boxes;
        typePasswordAndTab();
        login::Form1 &f = form();
        QVERIFY(!ui::programEnded());
        QCOMPARE(boxes.calls().size(), 1);
        QCOMPARE(boxes.calls()[0].title, QStringLiteral("提示"));
        QVERIFY2(boxes.calls()[0].prompt.contains(QStringLiteral("UA_Period"), Qt::CaseInsensitive),
                 qPrintable(boxes.calls()[0].prompt));
        QCOMPARE(f.Combo1.ListCount(), 2);
        QCOMPARE(f.Combo2.ListCount(), 0);
        QVERIFY(!f.Command1.Enabled());
        // Picking the other account tries again and says so again.
        QTest::keyClick(f.Combo1.comboBox(), Qt::Key_Down);
        QCOMPARE(boxes.calls().size(), 2);
        QVERIFY(!ui::programEnded());
    }

    void reenteringTheAccountBoxDoesNotReconnect()
    {
        ddtest::DictionaryFolder folder;
        logintest::writeThreeAccounts(folder);
        openLogin(folder.path());
        typePasswordAndTab();
        login::Form1 &f = form();
        const long before = dd::Connection::statementsRun();
        const QStringList accounts = items(f.Combo1);
        QTest::keyClick(f.Combo1.comboBox(), Qt::Key_Backtab);   // to Exit (the text boxes are disabled)
        QCOMPARE(focused(), f.Command2.widget());
        QTest::keyClick(f.Command2.button(), Qt::Key_Tab);       // back into the account box
        QCOMPARE(focused(), f.Combo1.widget());
        QTest::mouseClick(f.Combo2.comboBox(), Qt::LeftButton);
        if (QWidget *popup = QApplication::activePopupWidget())
            QTest::keyClick(popup, Qt::Key_Escape);
        f.Combo1.SetFocus();
        QCOMPARE(dd::Connection::statementsRun(), before);
        QCOMPARE(items(f.Combo1), accounts);
        QCOMPARE(f.Combo1.ListIndex(), 0);
    }

    void failedConnectionLeavesTheBoxesEditableAndTheNextAttemptWorks()
    {
        ddtest::DictionaryFolder folder;
        logintest::writeThreeAccounts(folder);
        QTemporaryDir noDictionary;   // a folder without the system catalog
        openLogin(noDictionary.path());
        ui::ScopedMsgBoxHandler boxes;
        typePasswordAndTab();
        login::Form1 &f = form();
        QCOMPARE(boxes.calls().size(), 1);
        QCOMPARE(boxes.calls()[0].title, QStringLiteral("提示"));
        QVERIFY(!boxes.calls()[0].prompt.isEmpty());
        QVERIFY(f.Text1.Enabled() && f.Text2.Enabled());
        QCOMPARE(f.Combo1.ListIndex(), -1);
        QCOMPARE(f.Combo1.ListCount(), 0);
        QVERIFY(!f.Command1.Enabled());
        QCOMPARE(dd::PublicADO::cnSys().State(), 0);
        QVERIFY(!ui::programEnded());

        // Back to the server box, type the right one, and enter the list again.
        QTest::keyClick(f.Combo1.comboBox(), Qt::Key_Backtab);
        QTest::keyClick(f.Text2.lineEdit(), Qt::Key_Backtab);
        QCOMPARE(focused(), f.Text1.widget());
        f.Text1.lineEdit()->selectAll();
        QTest::keyClicks(f.Text1.lineEdit(), folder.path());
        QTest::keyClick(f.Text1.lineEdit(), Qt::Key_Tab);
        QTest::keyClick(f.Text2.lineEdit(), Qt::Key_Tab);
        QCOMPARE(boxes.calls().size(), 1);
        QCOMPARE(f.Combo1.ListCount(), 3);
        QVERIFY(f.Command1.Enabled());
        QVERIFY(!f.Text1.Enabled());
    }

    void closingTheTrapsBoxStartsNoNewAttempt()
    {
        QTemporaryDir noDictionary;
        openLogin(noDictionary.path());
        // Real message boxes: each takes the activation from the login
        // window and gives it back when it closes.
        int shown = 0;
        ui::setMsgBoxHandler([&shown](const QString &prompt, int, const QString &title) {
            if (++shown > 3)
                return ui::vbOK;  // a loop: the count shows it
            QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok, ::Form1->widget());
            box.open();
            if (QTest::qWaitForWindowActive(&box))
                box.accept();
            else
                box.reject();
            return ui::vbOK;
        });
        typePasswordAndTab();
        ::Form1->widget()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(::Form1->widget()));
        QCoreApplication::processEvents();
        QCOMPARE(focused(), form().Combo1.widget());
        QCOMPARE(shown, 1);
        ui::setMsgBoxHandler({});

        // The user entering the box again is a new attempt.
        ui::ScopedMsgBoxHandler boxes;
        QTest::keyClick(form().Combo1.comboBox(), Qt::Key_Backtab);
        QTest::keyClick(form().Text2.lineEdit(), Qt::Key_Tab);
        QCOMPARE(boxes.calls().size(), 1);
    }

    void emptyAccountListAfterLoginCanBeRetried()
    {
        ddtest::DictionaryFolder folder;
        folder.accounts({});
        openLogin(folder.path());
        ui::ScopedMsgBoxHandler boxes;
        typePasswordAndTab();
        login::Form1 &f = form();
        QCOMPARE(boxes.calls().size(), 1);
        QCOMPARE(boxes.calls()[0].prompt, QStringLiteral("服务器上没有账套"));
        QCOMPARE(boxes.calls()[0].title, QStringLiteral("提示"));
        QCOMPARE(dd::PublicADO::cnSys().State(), 1);
        QVERIFY(!f.Text1.Enabled() && !f.Text2.Enabled());
        QCOMPARE(f.Combo1.ListIndex(), -1);

        // Entering the box again reruns the account query on the open
        // connection (one statement, no second open) and says the same.
        const long before = dd::Connection::statementsRun();
        QTest::keyClick(f.Combo1.comboBox(), Qt::Key_Backtab);
        QCOMPARE(focused(), f.Command2.widget());
        QTest::keyClick(f.Command2.button(), Qt::Key_Tab);
        QCOMPARE(dd::Connection::statementsRun(), before + 1);
        QCOMPARE(boxes.calls().size(), 2);
        QCOMPARE(boxes.calls()[1].prompt, QStringLiteral("服务器上没有账套"));
        QVERIFY(!ui::programEnded());
    }

    void failingAccountQueryAfterLoginCanBeRetried()
    {
        ddtest::DictionaryFolder folder;
        folder.emptyCatalog(QStringLiteral("svsystem"));   // no ua_account table
        openLogin(folder.path());
        ui::ScopedMsgBoxHandler boxes;
        typePasswordAndTab();
        login::Form1 &f = form();
        QCOMPARE(boxes.calls().size(), 1);
        const QString serverText = boxes.calls()[0].prompt;
        QVERIFY2(serverText.contains(QStringLiteral("ua_account"), Qt::CaseInsensitive), qPrintable(serverText));
        QCOMPARE(dd::PublicADO::cnSys().State(), 1);

        QTest::keyClick(f.Combo1.comboBox(), Qt::Key_Backtab);
        QTest::keyClick(f.Command2.button(), Qt::Key_Tab);
        QCOMPARE(boxes.calls().size(), 2);
        QCOMPARE(boxes.calls()[1].prompt, serverText);   // the query again, not an "already open" error
        QVERIFY(!ui::programEnded());
    }

    void escPressesExitWhereverTheFocusIs()
    {
        openLogin(QStringLiteral("(local)"));
        QTest::keyClick(form().Text2.lineEdit(), Qt::Key_Escape);
        QVERIFY(ui::programEnded());
        QVERIFY(!::Form1.isLoaded());
    }

    void exitEndsTheProgramWithNoWindowLeft()
    {
        openLogin(QStringLiteral("(local)"));
        QTest::mouseClick(form().Command2.button(), Qt::LeftButton);
        QVERIFY(ui::programEnded());
        QVERIFY(!::Form1.isLoaded());
        QVERIFY(!::Form3.isLoaded());
        ui::deleteDiscardedForms();
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY2(!top->isVisible(), qPrintable(top->windowTitle()));
    }

    void closeBoxUnloadsAndEndsTheProgram()
    {
        openLogin(QStringLiteral("(local)"));
        form().widget()->close();
        QVERIFY(!::Form1.isLoaded());
        QTRY_VERIFY(ui::programEnded());
    }

    void enterPressesOkWhichShowsThePaintedWaitWindow()
    {
        ddtest::DictionaryFolder folder;
        logintest::writeThreeAccounts(folder);
        openLogin(folder.path());
        typePasswordAndTab();
        QTest::keyClick(form().Combo1.comboBox(), Qt::Key_Tab);

        PaintWatch watch;
        qApp->installEventFilter(&watch);
        const long before = dd::Connection::statementsRun();
        struct Seen {
            bool called = false, loginHidden = false, waitVisible = false;
            int paints = 0;
            ui::Form *owner = nullptr;
        } seen;
        login::setBrowserOpener([&] {
            seen.called = true;
            seen.loginHidden = !::Form1->Visible();
            seen.waitVisible = ::Form3.isLoaded() && ::Form3->Visible();
            seen.owner = ::Form3.isLoaded() ? ::Form3->owner() : nullptr;
            seen.paints = watch.paints;
            ::Form3.Unload();   // as the browser's load does
        });
        QTest::keyClick(form().Combo2.comboBox(), Qt::Key_Return);
        qApp->removeEventFilter(&watch);

        QVERIFY(seen.called);
        QVERIFY(seen.loginHidden);
        QVERIFY(seen.waitVisible);
        QCOMPARE(seen.owner, ::Form1.loaded());
        QVERIFY2(seen.paints > 0, "the wait window was not painted before the browser opened");
        QCOMPARE(watch.statementsAtFirstPaint, before);
        // The login window stays loaded for the browser to read.
        QVERIFY(::Form1.isLoaded());
        QCOMPARE(::Form1->Combo1.Text(), QStringLiteral("[002]华东分公司"));
        QVERIFY(!ui::programEnded());
    }

    void okOpensTheBrowserAndTheLoginWindowStaysLoaded()
    {
        ddtest::DictionaryFolder folder;
        dictgen::Options options;
        options.accounts = 1;
        options.yearsPerAccount = 1;
        options.tables = 6;
        folder.generate(options);
        openLogin(folder.path());
        ui::ScopedMsgBoxHandler boxes;
        typePasswordAndTab();
        QVERIFY(form().Command1.Enabled());
        QTest::mouseClick(form().Command1.button(), Qt::LeftButton);
        QVERIFY2(boxes.calls().isEmpty(), boxes.calls().isEmpty() ? "" : qPrintable(boxes.calls()[0].prompt));
        QVERIFY(::Form1.isLoaded());
        QVERIFY(!::Form1->Visible());
        QVERIFY(!::Form3.isLoaded());   // gone once the browser had loaded
        QVERIFY(!ui::programEnded());
        const std::vector<ui::Form *> loaded = ui::Form::loadedForms();
        QCOMPARE(loaded.size(), size_t(2));
        QVERIFY(loaded.back()->Visible());
    }

    void waitWindowDesign()
    {
        openLogin(QStringLiteral("(local)"));
        wait::Form3 &w = *::Form3;
        w.Show(::Form1.loaded());
        QCOMPARE(w.Caption(), QStringLiteral(" "));
        QCOMPARE(w.widget()->size(), ui::twipsSize(4830, 1005));
        QCOMPARE(w.widget()->minimumSize(), w.widget()->maximumSize());
        const Qt::WindowFlags flags = w.widget()->windowFlags();
        QVERIFY(!(flags & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(w.Label1.Caption(), WaitText);
        QCOMPARE(w.Label1.Left(), 360.0f);
        QCOMPARE(w.Label1.Top(), 360.0f);
        QCOMPARE(w.Label1.Font().families().first(), QStringLiteral("宋体"));
        QCOMPARE(w.Label1.Font().pointSizeF(), 10.5);
        QVERIFY(w.Label1.Font().bold());
        // Sized to its text, which fits in the window.
        QVERIFY(w.Label1.widget()->geometry().right() < w.widget()->width());
        QCOMPARE(w.Label1.widget()->width(), QFontMetrics(w.Label1.Font()).horizontalAdvance(WaitText));
        // Centred over the login window.
        const QPoint c = ::Form1->widget()->frameGeometry().center();
        QVERIFY((w.widget()->frameGeometry().center() - c).manhattanLength() <= 40);
        // Nothing to click: closing it does nothing.
        w.widget()->close();
        QVERIFY(::Form3.isLoaded());
    }
};

QTEST_MAIN(LoginTest)
#include "tst_login.moc"
