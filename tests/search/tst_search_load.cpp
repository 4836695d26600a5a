// The search's background read of the dictionary over the SQL Server path
// (the TDS test server, FreeTDS): a slow server keeps the window answering
// and what was typed meanwhile is answered; a read that fails says so and
// the next search reads again; leaving the browser during a read ends it.
#include "data/background_work.h"
#include "browser_driver.h"
#include "data/dictionary_reader.h"
#include "fault_session.h"
#include "search/dictionary_search.h"
#include "search/results_panel.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QtEndian>

using namespace brtest;

namespace {

const QString Catalog = QStringLiteral("svdata_001_2011");

void writeDictionary(faulttest::ServedDictionary &d)
{
    d.folder().accounts({{"001", "Main", {2011}}});
    d.folder().catalog(Catalog, {ddtest::table("01", "总账", "GL_a", "甲表", 3),
                                 {"02", "销售管理", "SA_SaleBillVouch", "销售发票主表",
                                  {{"cSBVCode", "发票号", "nvarchar(30)"}, {"cInvCode", "存货编码", "nvarchar(20)"}}},
                                 {"03", "存货核算", "IA_Summary", "存货核算汇总",
                                  {{"cInvCode", "存货编码", "nvarchar(20)"}}}});
}

browser::Form2 *openOn(faulttest::ServedDictionary &d)
{
    startProgram();
    logIn(d.dataSource(), d.password());
    clickOk();
    browser::Form2 *b = ::Form2.loaded();
    if (!b || !QTest::qWaitForWindowActive(b->widget()))
        return nullptr;
    return b;
}

QString panelText()
{
    auto *panel = ::Form2->widget()->findChild<search::ResultsPanel *>();
    return panel && panel->isVisible() ? panel->statusText() : QString();
}

void searchFor(browser::Form2 &b, const char *text)
{
    QTest::keyClick(b.DataGrid1.tableView(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(b.Text1.lineEdit(), text);
}

// The longest time the window thread went without running its event loop.
class StallMeter {
public:
    StallMeter()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            worst_ = std::max(worst_, clock_.restart());
        });
        clock_.start();
        timer_.start();
    }
    qint64 worst() const { return worst_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 worst_ = 0;
};

// Writes a catalog file's bytes back in place, with a change counter the
// server's open connection has not seen, so that it reads the file anew.
void rewriteInPlace(const QString &file, QByteArray bytes)
{
    qToBigEndian<quint32>(0x5b5b0001u, bytes.data() + 24);
    qToBigEndian<quint32>(0x5b5b0001u, bytes.data() + 92);
    qToBigEndian<quint32>(0x5b5b0002u, bytes.data() + 40);
    QFile target(file);
    QVERIFY(target.open(QIODevice::ReadWrite) && target.resize(0));
    QCOMPARE(target.write(bytes), qint64(bytes.size()));
}

const QStringList readerStatements{dd::DictionaryReader::tablesStatement(),
                                   dd::DictionaryReader::fieldsStatement()};

}  // namespace

class SearchLoad : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { endProgram(); }
    void slowServerKeepsTheWindowAnswering();
    void failedReadIsReportedAndTheNextSearchReads();
    void serverGoneDuringTheRead();
    void leavingTheBrowserEndsTheRead();
};

void SearchLoad::slowServerKeepsTheWindowAnswering()
{
    faulttest::ServedDictionary d;
    writeDictionary(d);
    QVERIFY(d.start({"--delay-ms", "400"}));
    faulttest::Session session;
    browser::Form2 *b = openOn(d);
    QVERIFY(b);
    d.sent();  // the login's and the browser's own
    StallMeter meter;
    searchFor(*b, "cinv");
    QVERIFY2(panelText().startsWith(QStringLiteral("正在加载字段…")), qPrintable(panelText()));
    QTRY_COMPARE_WITH_TIMEOUT(panelText(), QStringLiteral("共找到2处"), 30000);
    // Every answer came 400 ms late; the window never waited for one.
    QVERIFY2(meter.worst() < 300, qPrintable(QString::number(meter.worst())));
    QCOMPARE(d.sent(Catalog), readerStatements);

    // Read once per browser: later searches send nothing.
    b->Text1.lineEdit()->selectAll();
    QTest::keyClicks(b->Text1.lineEdit(), "chbm");
    QCOMPARE(panelText(), QStringLiteral("共找到2处"));
    b->DataGrid1.SetFocus();
    searchFor(*b, "xsfp");
    QCOMPARE(panelText(), QStringLiteral("共找到1处"));
    QCOMPARE(d.sent(Catalog), QStringList());
    QVERIFY(session.calls().isEmpty());
    session.audit(d);
}

void SearchLoad::failedReadIsReportedAndTheNextSearchReads()
{
    faulttest::ServedDictionary d;
    writeDictionary(d);
    QVERIFY(d.start());
    faulttest::Session session;
    browser::Form2 *b = openOn(d);
    QVERIFY(b);
    const QString file = d.folder().path() + QLatin1Char('/') + Catalog + QStringLiteral(".db");
    QFile original(file);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    original.close();

    breakCatalog(d.folder().path(), Catalog);  // no RPT_GRPDEF, no RPT_ItmDEF any more
    searchFor(*b, "cinv");
    QTRY_VERIFY_WITH_TIMEOUT(panelText().startsWith(QStringLiteral("字段加载失败：")), 20000);
    QVERIFY2(panelText().size() > QStringLiteral("字段加载失败：").size(), qPrintable(panelText()));
    QVERIFY(session.calls().isEmpty());  // said in the list, not in a box

    rewriteInPlace(file, bytes);
    QTest::keyClicks(b->Text1.lineEdit(), "c");  // the next search reads again
    QTRY_COMPARE_WITH_TIMEOUT(panelText(), QStringLiteral("共找到2处"), 20000);
    QTest::keyClick(b->Text1.lineEdit(), Qt::Key_Return);
    QCOMPARE(b->Label1.Caption(), QStringLiteral("SA_SaleBillVouch表字段说明:(此表共2个字段)"));
    QVERIFY(session.calls().isEmpty());
    // The folder was rewritten on purpose: only the statements are audited.
    for (const auto &entry : d.history())
        QVERIFY2(!entry.text.contains(QStringLiteral("insert"), Qt::CaseInsensitive), qPrintable(entry.text));
}

// The server goes away while the dictionary is read: the list says why,
// the window goes on, and the next search tries (and fails) again.
void SearchLoad::serverGoneDuringTheRead()
{
    faulttest::ServedDictionary d;
    writeDictionary(d);
    QVERIFY(d.start({"--delay-ms", "300"}));
    faulttest::Session session;
    browser::Form2 *b = openOn(d);
    QVERIFY(b);
    searchFor(*b, "cinv");
    QVERIFY(panelText().startsWith(QStringLiteral("正在加载字段…")));
    QTest::qWait(100);
    d.stop();
    QTRY_VERIFY2_WITH_TIMEOUT(panelText().startsWith(QStringLiteral("字段加载失败：")), qPrintable(panelText()), 40000);
    QVERIFY(::Form2.isLoaded() && b->Visible() && !ui::programEnded());
    QTest::keyClicks(b->Text1.lineEdit(), "o");
    QVERIFY2(panelText().startsWith(QStringLiteral("正在加载字段…")), qPrintable(panelText()));
    QTRY_VERIFY2_WITH_TIMEOUT(panelText().startsWith(QStringLiteral("字段加载失败：")), qPrintable(panelText()), 40000);
    QVERIFY(session.calls().isEmpty());
}

// Back to the login window in the middle of a read: the window does not
// wait for it, and the read ends within one (delayed) answer.
void SearchLoad::leavingTheBrowserEndsTheRead()
{
    faulttest::ServedDictionary d;
    writeDictionary(d);
    QVERIFY(d.start({"--delay-ms", "600"}));
    faulttest::Session session;
    browser::Form2 *b = openOn(d);
    QVERIFY(b);
    searchFor(*b, "c");
    // Logged in and reading: the table list has been asked for.
    bool asked = false;
    QTRY_VERIFY_WITH_TIMEOUT(asked = asked || d.sent(Catalog).contains(dd::DictionaryReader::tablesStatement()), 20000);
    QVERIFY(panelText().startsWith(QStringLiteral("正在加载字段…")));
    QElapsedTimer leaving;
    leaving.start();
    doubleClickPanel(b->StatusBar1, 1);
    QVERIFY2(leaving.elapsed() < 1000, qPrintable(QString::number(leaving.elapsed())));
    settle();
    QVERIFY(!::Form2.isLoaded() && ::Form1.isLoaded() && ::Form1->Visible());
    QVERIFY(dd::BackgroundWork::waitForAll(1000));
    QVERIFY2(leaving.elapsed() < 1000, qPrintable(QString::number(leaving.elapsed())));
    QVERIFY(session.calls().isEmpty());
    session.audit(d);
}

QTEST_MAIN(SearchLoad)
#include "tst_search_load.moc"
