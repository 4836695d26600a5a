// The servers users have: dictionaries typed NVARCHAR, VARCHAR in code
// page 936, or both, on every protocol version from SQL Server 2000's on.
// One flow through the windows for each: accounts with Chinese names, the
// years, the table list, a Chinese module filter, the fields, and the texts
// that break easily (quotes, NULLs, long values, characters the code page
// lacks).
#include "browser_driver.h"
#include "fault_session.h"
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace brtest;

namespace {

const QString Long = QString(5000, QChar(0x957F));  // 长: more than 8000 bytes in any typing
const QString Outside = QStringLiteral("\U0001F600表\uFEFF");  // no place in code page 936

QString caption(const QString &table, int count)
{
    return table + QStringLiteral("表字段说明:(此表共") + QString::number(count) + QStringLiteral("个字段)");
}

}  // namespace

class FaultsServers : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { endProgram(); }
    void everyTypingOnEveryVersion_data();
    void everyTypingOnEveryVersion();

private:
    faulttest::ServedDictionary dictionary_;
};

void FaultsServers::initTestCase()
{
    ddtest::DictionaryFolder &folder = dictionary_.folder();
    folder.accounts({{"001", "主账套", {2011, 2012}}, {"002", "分公司账套", {2013}}});
    folder.catalog(QStringLiteral("svdata_001_2011"),
                   {ddtest::table("01", "总账", "GL_accvouch", "凭证及明细账", 3),
                    {"02", "应收'账款", "AR_O'Neil", QString(), {{"cCode", QString(), "varchar(30)"}}},
                    {"02", "应收'账款", "AR_long", Outside, {{"cMemo", Long, "ntext"}, {"cName", "名称", "nvarchar(60)"}}},
                    ddtest::table("03", "存货", "IA_subsidiary", "存货明细账", 1)});
    QVERIFY(dictionary_.start());  // checks the folder; each row starts its own server
    dictionary_.stop();
}

void FaultsServers::everyTypingOnEveryVersion_data()
{
    QTest::addColumn<QString>("textType");
    QTest::addColumn<QString>("version");
    for (const char *type : {"nvarchar", "varchar", "mixed"})
        for (const char *version : {"7.1", "7.2", "7.3", "7.4"})
            QTest::addRow("%s, TDS %s", type, version) << QString::fromLatin1(type) << QString::fromLatin1(version);
}

void FaultsServers::everyTypingOnEveryVersion()
{
    QFETCH(QString, textType);
    QFETCH(QString, version);
    faulttest::ServedDictionary d;
    d.shareFolder(dictionary_);
    QVERIFY(d.start({"--text-type", textType, "--tds-version", version, "--fit-text-widths"}));
    faulttest::Session session;
    startProgram();
    logIn(d.dataSource(), d.password());
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(entries(::Form1->Combo1), (QStringList{"[001]主账套", "[002]分公司账套"}));
    QCOMPARE(entries(::Form1->Combo2), (QStringList{"2011", "2012"}));
    choose(::Form1->Combo2, QStringLiteral("2011"));
    clickOk();
    browser::Form2 *b = ::Form2.loaded();
    QVERIFY(b && b->Visible());

    // A description goes out as VARCHAR only in the "varchar" typing.
    const bool narrowDescriptions = textType == QLatin1String("varchar");
    const QString outside = narrowDescriptions ? QStringLiteral("??表?") : Outside;
    QCOMPARE(column(b->DataGrid1, 0), (QStringList{"GL_accvouch", "AR_O'Neil", "AR_long", "IA_subsidiary"}));
    QCOMPARE(column(b->DataGrid1, 1), (QStringList{"凭证及明细账", "", outside, "存货明细账"}));
    QCOMPARE(column(b->DataGrid1, 2), (QStringList{"总账", "应收'账款", "应收'账款", "存货"}));
    QCOMPARE(entries(b->Combo2), (QStringList{"全部模块", "总账", "应收'账款", "存货"}));
    QCOMPARE(b->Label1.Caption(), caption("GL_accvouch", 3));

    const int index = b->Combo2.comboBox()->findText(QStringLiteral("应收'账款"));
    pickFromList(b->Combo2.comboBox(), index);
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【应收'账款】模块共加载了2个表"));
    QCOMPARE(entries(b->Combo1), (QStringList{"AR_O'Neil", "AR_long"}));
    QCOMPARE(b->Label1.Caption(), caption("AR_O'Neil", 1));
    QCOMPARE(column(b->DataGrid2, 1), QStringList{QString()});
    pickFromList(b->Combo1.comboBox(), 1);
    QCOMPARE(b->Label1.Caption(), caption("AR_long", 2));
    QCOMPARE(column(b->DataGrid2, 0), (QStringList{"cMemo", "cName"}));
    QCOMPARE(column(b->DataGrid2, 1), (QStringList{Long, "名称"}));
    QCOMPARE(column(b->DataGrid2, 2), (QStringList{"ntext", "nvarchar(60)"}));
    b->Combo1.comboBox()->lineEdit()->selectAll();
    QTest::keyClicks(b->Combo1.comboBox()->lineEdit(), QStringLiteral("ar_o'"));
    QCOMPARE(b->Label1.Caption(), caption("AR_O'Neil", 1));
    QVERIFY(session.calls().isEmpty());
    QVERIFY(d.history().size() > 0);
    session.audit(d);
}

QTEST_MAIN(FaultsServers)
#include "tst_faults_servers.moc"
