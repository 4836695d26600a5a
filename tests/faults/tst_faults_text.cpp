// Awkward contents, through the server: quotes and wildcard characters in
// names and in what the user types, NULLs, very long and non-BMP names,
// mixed case, and lists that are empty. The statement log proves that no
// text changed a statement: each one is exactly the documented text with
// the value inserted, its apostrophes doubled.
#include "browser_driver.h"
#include "fault_session.h"
#include <QAbstractItemView>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

using namespace brtest;

namespace {

const QString Prompt = QStringLiteral("提示");

// The statements, as the server must receive them; callers pass the value
// as it stands inside the quotes (apostrophes already doubled).
const QString TableColumns = QStringLiteral(
    "select Tablename as 数据表,Tabledefine as 中文表名,SystemName as 所属模块 from   RPT_GRPDEF");
QString allTables() { return TableColumns + QStringLiteral("  order by systemid"); }
QString moduleTables(const QString &inside)
{
    return TableColumns + QStringLiteral(" where SystemName='") + inside + QStringLiteral("' order by systemid");
}
QString fieldsOf(const QString &inside)
{
    return QStringLiteral("Select FieldName as 字段名称,FieldDef as 字段含义,FieldType as 字段类型 From RPT_ItmDEF "
                          "where TableName='")
           + inside + QStringLiteral("' order by FieldID");
}
const QString Modules = QStringLiteral("select distinct systemid ,systemname from rpt_GRPDEF");
QStringList startUp(const QString &firstTableInside)
{
    return {allTables(), Modules, allTables(), fieldsOf(firstTableInside)};
}

QString caption(const QString &table, int count)
{
    return table + QStringLiteral("表字段说明:(此表共") + QString::number(count) + QStringLiteral("个字段)");
}

dictgen::TableRow tableWith(const QString &systemid, const QString &module, const QString &name,
                            const QString &description, const QVector<dictgen::FieldRow> &fields)
{
    return dictgen::TableRow{systemid, module, name, description, fields};
}

QLineEdit *tableNameEdit() { return ::Form2->Combo1.comboBox()->lineEdit(); }

// Types over the whole text of the table-name box, one change per character.
void retype(const QString &text)
{
    tableNameEdit()->selectAll();
    QTest::keyClicks(tableNameEdit(), text);
}

// Text committed by an input method in one piece, as characters outside
// the keyboard (CJK extension B, emoji) arrive.
void commitText(const QString &text)
{
    QLineEdit *edit = tableNameEdit();
    edit->setFocus();
    edit->selectAll();
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(edit, &event);
}

// Opens the list and clicks the entry where it shows: an entry wider than
// the list is clicked on its visible part.
void pickEntry(QComboBox *box, int index)
{
    QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView *list = box->view();
    QVERIFY(list->isVisible());
    const QModelIndex item = list->model()->index(index, box->modelColumn());
    list->scrollTo(item);
    const QPoint at = list->visualRect(item).intersected(list->viewport()->rect()).center();
    QTest::mouseMove(list->viewport(), at);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(!list->isVisible());
}

void pickModule(const QString &name)
{
    QComboBox *box = ::Form2->Combo2.comboBox();
    const int index = box->findText(name, Qt::MatchExactly);
    QVERIFY2(index >= 0, qPrintable(name));
    pickEntry(box, index);
}

}  // namespace

class FaultsText : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase()
    {
        wide_.stop();
        narrow_.stop();
    }
    void cleanup() { endProgram(); }

    void quotesAndWildcardsAreLiteral_data() { addServers(); }
    void quotesAndWildcardsAreLiteral();
    void nullsReadAsEmptyText_data() { addServers(); }
    void nullsReadAsEmptyText();
    void longAndNonBmpNamesShowIntact_data() { addServers(); }
    void longAndNonBmpNamesShowIntact();
    void apostropheInAnAccountId_data() { addServers(); }
    void apostropheInAnAccountId();
    void emptyListsCountZero_data();
    void emptyListsCountZero();

private:
    // Every test runs against a server declaring text columns 4000 wide
    // and against one declaring them as narrow as their longest value, as
    // a real server's columns are.
    void addServers();
    faulttest::ServedDictionary &server();
    browser::Form2 *openYear(const QString &year);
    faulttest::ServedDictionary wide_, narrow_;
    QString long_, longModule_, longField_, nonBmp_, nonBmpModule_, emojiText_, extensionBText_;
};

void FaultsText::initTestCase()
{
    using ddtest::table;
    ddtest::DictionaryFolder &folder = wide_.folder();
    folder.accounts({{"001", "Main", {2011, 2012, 2013, 2014, 2015}}, {"O'1", "撇号账套", {2011}}});
    folder.catalog(QStringLiteral("svdata_O'1_2011"), {table("01", "总账", "GL_q", "撇号账套的表", 2)});
    // 2011: quotes, wildcards and brackets in table and module names.
    folder.catalog(QStringLiteral("svdata_001_2011"),
                   {table("01", "O'Brien模块", "O'Neil_T", "含'撇号", 2),
                    table("01", "O'Brien模块", "O_Neil", "下划线", 3),
                    table("02", "100%_模块", "PCTX1", "百分号前", 1),
                    table("02", "100%_模块", "PCT%_1", "百分号", 4),
                    table("03", "[方括号]模块", "[T]able", "方括号", 2),
                    table("03", "[方括号]模块", "T[1]", "方括号二", 1),
                    table("04", "星*号", "STARLIGHT", "星前", 1),
                    table("04", "星*号", "STAR*X", "星号", 5)});
    // 2012: NULL names, modules, descriptions, meanings and types.
    folder.catalog(QStringLiteral("svdata_001_2012"),
                   {tableWith("01", "总账", "GL_a", QString(),
                              {{"F1", QString(), QString()}, {"F2", "含义", QString()}}),
                    tableWith("02", QString(), QString(), "无名", {}),
                    table("03", "应收", "AR_x", "乙", 2),
                    tableWith("04", QString(), "ZZ_nomod", QString(), {{QString(), "无名字段", "int"}})});
    // 2013: 500-character names, characters outside the BMP, mixed case.
    long_ = QStringLiteral("LONG_") + QString(495, QChar(0x957F));                 // 长
    longModule_ = QString(498, QChar(0x6A21)) + QStringLiteral("块E");             // 模…块E
    longField_ = QStringLiteral("F_") + QString(498, QChar(0x5B57));               // 字
    nonBmp_ = QStringLiteral("\U00020000\U00020001表\U0001F600_E");
    nonBmpModule_ = QStringLiteral("\U00020000模块\U0001F600");
    for (int i = 0; i < 700; ++i)
        emojiText_ += QStringLiteral("\U0001F600");
    emojiText_ += QLatin1Char('a');
    for (int i = 0; i < 1500; ++i) {
        const char32_t c = char32_t(0x20000 + i);
        extensionBText_ += QString::fromUcs4(&c, 1);
    }
    extensionBText_ += QLatin1Char('z');
    folder.catalog(QStringLiteral("svdata_001_2013"),
                   {tableWith("01", longModule_, long_, QString(500, QChar(0x8BF4)),
                              {{longField_, QString(500, QChar(0x4E49)), "nvarchar(500)"},
                               {"F2", "短", "int"}}),
                    tableWith("02", nonBmpModule_, nonBmp_, QStringLiteral("\U0001F600描述\U0002000B"),
                              {{QStringLiteral("字段\U0001F600"), QStringLiteral("\U0002000B含义"), "nvarchar(10)"}}),
                    table("03", "Mixed", "MixedCaseXTbl", "X", 1),
                    table("03", "Mixed", "MixedCase_Tbl", "下划线", 2),
                    table("03", "Mixed", "mixedcase_other", "小写", 3),
                    // Longer than the pieces a value is read in, an odd
                    // count of UTF-16 units per piece putting pairs on seams.
                    tableWith("04", "长文本", "EMOJI_LONG", emojiText_,
                              {{"F1", extensionBText_, "ntext"}})});
    // A description opening with U+FEFF: a character of the text, not a
    // byte-order mark. Written as a character: handed over as UTF-16,
    // SQLite would take it for a mark and drop it.
    folder.execute(QStringLiteral("svdata_001_2013"),
                   QStringLiteral("update RPT_GRPDEF set Tabledefine = char(65279) || Tabledefine "
                                  "where Tablename = 'MixedCaseXTbl'"));
    // 2014: an empty dictionary. 2015: a table without fields and a module
    // (the NULL one) whose name finds no table.
    folder.catalog(QStringLiteral("svdata_001_2014"), {});
    folder.catalog(QStringLiteral("svdata_001_2015"),
                   {table("01", "总账", "GL_a", "甲", 3), table("01", "总账", "EMPTY", "空表", 0),
                    table("02", QString(), "NOMOD", "无模块", 1)});
    QVERIFY(wide_.start());
    narrow_.shareFolder(wide_);
    QVERIFY(narrow_.start({"--fit-text-widths"}));
}

void FaultsText::addServers()
{
    QTest::addColumn<bool>("narrow");
    QTest::newRow("wide columns") << false;
    QTest::newRow("narrow columns") << true;
}

faulttest::ServedDictionary &FaultsText::server()
{
    QFETCH(bool, narrow);
    return narrow ? narrow_ : wide_;
}

browser::Form2 *FaultsText::openYear(const QString &year)
{
    faulttest::ServedDictionary &d = server();
    startProgram();
    if (!QTest::currentTestFailed())
        logIn(d.dataSource(), d.password());
    if (!QTest::currentTestFailed())
        choose(::Form1->Combo2, year);
    d.sent();  // the login window's statements are not looked at here
    if (!QTest::currentTestFailed())
        clickOk();
    return QTest::currentTestFailed() ? nullptr : ::Form2.loaded();
}

void FaultsText::quotesAndWildcardsAreLiteral()
{
    faulttest::ServedDictionary &d = server();
    const QString catalog = QStringLiteral("svdata_001_2011");
    faulttest::Session session;
    startProgram();
    logIn(d.dataSource(), d.password());
    choose(::Form1->Combo2, QStringLiteral("2011"));
    d.sent();
    clickOk();
    browser::Form2 *b = ::Form2.loaded();
    QVERIFY(b && b->Visible());
    QCOMPARE(entries(b->Combo1),
             (QStringList{"O'Neil_T", "O_Neil", "PCTX1", "PCT%_1", "[T]able", "T[1]", "STARLIGHT", "STAR*X"}));
    QCOMPARE(column(b->DataGrid1, 1).value(0), QStringLiteral("含'撇号"));
    QCOMPARE(b->Label1.Caption(), caption("O'Neil_T", 2));
    QCOMPARE(d.sent(catalog), startUp("O''Neil_T"));

    // Typed text: _ [ ] and ' match themselves, % and * any run, case is
    // ignored; every search that lands on a table asks for its fields.
    retype("o_");
    QCOMPARE(b->Label1.Caption(), caption("O_Neil", 3));
    retype("o'");
    QCOMPARE(b->Label1.Caption(), caption("O'Neil_T", 2));
    retype("pct%");
    QCOMPARE(b->Label1.Caption(), caption("PCTX1", 1));
    QTest::keyClicks(tableNameEdit(), "_");
    QCOMPARE(b->Label1.Caption(), caption("PCT%_1", 4));
    retype("[t");
    QCOMPARE(b->Label1.Caption(), caption("[T]able", 2));
    retype("t[");
    QCOMPARE(b->Label1.Caption(), caption("T[1]", 1));
    retype("star*x");
    QCOMPARE(b->Label1.Caption(), caption("STAR*X", 5));
    QCOMPARE(column(b->DataGrid2, 0), (QStringList{"F1", "F2", "F3", "F4", "F5"}));
    QCOMPARE(highlightedRows(b->DataGrid1), QList<int>{7});
    QVERIFY(session.calls().isEmpty());
    QCOMPARE(d.sent(catalog),
             (QStringList{fieldsOf("O''Neil_T"), fieldsOf("O_Neil"),
                          fieldsOf("O''Neil_T"), fieldsOf("O''Neil_T"),
                          fieldsOf("PCTX1"), fieldsOf("PCTX1"), fieldsOf("PCTX1"), fieldsOf("PCTX1"), fieldsOf("PCT%_1"),
                          fieldsOf("[T]able"), fieldsOf("[T]able"),
                          fieldsOf("T[1]"), fieldsOf("T[1]"),
                          fieldsOf("STARLIGHT"), fieldsOf("STARLIGHT"), fieldsOf("STARLIGHT"), fieldsOf("STARLIGHT"),
                          fieldsOf("STARLIGHT"), fieldsOf("STAR*X")}));

    // An apostrophe that begins no name: the not-found message names it.
    retype("'");
    QCOMPARE(session.calls().size(), 1);
    QCOMPARE(session.calls()[0].title, Prompt);
    QCOMPARE(session.calls()[0].prompt, QStringLiteral("本字典中没有包含【'】开头的表，请重新输入"));
    QCOMPARE(b->Combo1.Text(), QString());
    QCOMPARE(b->Label1.Caption(), QString());
    QCOMPARE(b->DataGrid2.RowCount(), 0);
    QCOMPARE(d.sent(catalog), QStringList());

    // Module names with the same characters, and exact picks by name.
    pickModule("O'Brien模块");
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【O'Brien模块】模块共加载了2个表"));
    QCOMPARE(entries(b->Combo1), (QStringList{"O'Neil_T", "O_Neil"}));
    pickEntry(b->Combo1.comboBox(), 1);
    QCOMPARE(b->Label1.Caption(), caption("O_Neil", 3));
    pickModule("100%_模块");
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【100%_模块】模块共加载了2个表"));
    QCOMPARE(entries(b->Combo1), (QStringList{"PCTX1", "PCT%_1"}));
    pickModule("[方括号]模块");
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【[方括号]模块】模块共加载了2个表"));
    pickEntry(b->Combo1.comboBox(), 1);
    QCOMPARE(b->Label1.Caption(), caption("T[1]", 1));
    pickModule("星*号");
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【星*号】模块共加载了2个表"));
    pickEntry(b->Combo1.comboBox(), 1);
    QCOMPARE(b->Label1.Caption(), caption("STAR*X", 5));
    QCOMPARE(b->rsTable.AbsolutePosition(), 2);
    QCOMPARE(session.calls().size(), 1);
    QCOMPARE(d.sent(catalog),
             (QStringList{moduleTables("O''Brien模块"), fieldsOf("O''Neil_T"), fieldsOf("O_Neil"),
                          moduleTables("100%_模块"), fieldsOf("PCTX1"),
                          moduleTables("[方括号]模块"), fieldsOf("[T]able"), fieldsOf("T[1]"),
                          moduleTables("星*号"), fieldsOf("STARLIGHT"), fieldsOf("STAR*X")}));
    session.audit(d);
}

void FaultsText::nullsReadAsEmptyText()
{
    faulttest::ServedDictionary &d = server();
    const QString catalog = QStringLiteral("svdata_001_2012");
    faulttest::Session session;
    browser::Form2 *b = openYear(QStringLiteral("2012"));
    QVERIFY(b && b->Visible());
    QCOMPARE(entries(b->Combo1), (QStringList{"GL_a", "", "AR_x", "ZZ_nomod"}));
    QCOMPARE(column(b->DataGrid1, 0), (QStringList{"GL_a", "", "AR_x", "ZZ_nomod"}));
    QCOMPARE(column(b->DataGrid1, 1), (QStringList{"", "无名", "乙", ""}));
    QCOMPARE(column(b->DataGrid1, 2), (QStringList{"总账", "", "应收", ""}));
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【共加载4个表】"));
    QStringList modules = entries(b->Combo2);
    QCOMPARE(modules.size(), 5);
    QCOMPARE(modules.takeFirst(), QStringLiteral("全部模块"));
    QCOMPARE(modules.count(QString()), 2);  // one NULL name under each of two ids
    QVERIFY(modules.contains("总账") && modules.contains("应收"));
    QCOMPARE(b->Label1.Caption(), caption("GL_a", 2));
    QCOMPARE(column(b->DataGrid2, 1), (QStringList{"", "含义"}));
    QCOMPARE(column(b->DataGrid2, 2), (QStringList{"", ""}));
    QCOMPARE(d.sent(catalog), startUp("GL_a"));

    // Every entry stays with its record.
    clickRow(b->DataGrid1, 1);
    QCOMPARE(b->Label1.Caption(), caption("", 0));
    QCOMPARE(highlightedRows(b->DataGrid1), QList<int>{1});
    pickEntry(b->Combo1.comboBox(), 3);
    QCOMPARE(b->rsTable.AbsolutePosition(), 4);
    QCOMPARE(b->Label1.Caption(), caption("ZZ_nomod", 1));
    QCOMPARE(column(b->DataGrid2, 0), QStringList{""});
    pickEntry(b->Combo1.comboBox(), 2);
    QCOMPARE(b->rsTable.AbsolutePosition(), 3);
    QCOMPARE(b->Label1.Caption(), caption("AR_x", 2));
    pickEntry(b->Combo1.comboBox(), 1);
    QCOMPARE(b->rsTable.AbsolutePosition(), 2);

    // The NULL module's name finds no table: an empty list, counted.
    pickModule(QString());
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【】模块共加载了0个表"));
    QCOMPARE(b->DataGrid1.RowCount(), 0);
    QCOMPARE(b->Combo1.ListCount(), 0);
    QCOMPARE(b->Label1.Caption(), QString());
    QCOMPARE(b->DataGrid2.RowCount(), 0);
    QVERIFY(session.calls().isEmpty());
    QCOMPARE(d.sent(catalog), (QStringList{fieldsOf(""), fieldsOf("ZZ_nomod"), fieldsOf("AR_x"),
                                            fieldsOf(""), moduleTables("")}));
    session.audit(d);
}

void FaultsText::longAndNonBmpNamesShowIntact()
{
    faulttest::ServedDictionary &d = server();
    const QString catalog = QStringLiteral("svdata_001_2013");
    QCOMPARE(long_.size(), 500);
    QCOMPARE(longModule_.size(), 500);
    faulttest::Session session;
    browser::Form2 *b = openYear(QStringLiteral("2013"));
    QVERIFY(b && b->Visible());
    const QStringList names{long_, nonBmp_, "MixedCaseXTbl", "MixedCase_Tbl", "mixedcase_other", "EMOJI_LONG"};
    QCOMPARE(entries(b->Combo1), names);
    QCOMPARE(column(b->DataGrid1, 0), names);
    QCOMPARE(column(b->DataGrid1, 1).mid(0, 2),
             (QStringList{QString(500, QChar(0x8BF4)), QStringLiteral("\U0001F600描述\U0002000B")}));
    QCOMPARE(column(b->DataGrid1, 1).mid(2, 2), (QStringList{QStringLiteral("\uFEFFX"), "下划线"}));
    QCOMPARE(column(b->DataGrid1, 2).mid(0, 2), (QStringList{longModule_, nonBmpModule_}));
    QVERIFY(entries(b->Combo2).contains(longModule_) && entries(b->Combo2).contains(nonBmpModule_));
    QCOMPARE(b->Label1.Caption(), caption(long_, 2));
    QCOMPARE(column(b->DataGrid2, 0), (QStringList{longField_, "F2"}));
    QCOMPARE(column(b->DataGrid2, 1).value(0), QString(500, QChar(0x4E49)));
    QCOMPARE(d.sent(catalog), startUp(long_));

    // Searches: characters outside the BMP, case ignored, _ literal, * and
    // % any run.
    commitText(QStringLiteral("\U00020000\U00020001"));
    QCOMPARE(b->Label1.Caption(), caption(nonBmp_, 1));
    QCOMPARE(column(b->DataGrid2, 0), QStringList{QStringLiteral("字段\U0001F600")});
    QCOMPARE(column(b->DataGrid2, 1), QStringList{QStringLiteral("\U0002000B含义")});
    retype("MIXEDCASE_");
    QCOMPARE(b->Label1.Caption(), caption("MixedCase_Tbl", 2));
    retype("mixed*_o");
    QCOMPARE(b->Label1.Caption(), caption("mixedcase_other", 3));
    retype("MIXED%X");
    QCOMPARE(b->Label1.Caption(), caption("MixedCaseXTbl", 1));
    pickEntry(b->Combo1.comboBox(), 0);
    QCOMPARE(b->Label1.Caption(), caption(long_, 2));
    QCOMPARE(b->Combo1.Text(), long_);
    pickModule(longModule_);
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【") + longModule_ + QStringLiteral("】模块共加载了1个表"));
    pickModule(nonBmpModule_);
    QCOMPARE(b->Label3.Caption(), QStringLiteral("【") + nonBmpModule_ + QStringLiteral("】模块共加载了1个表"));
    QCOMPARE(entries(b->Combo1), QStringList{nonBmp_});
    QCOMPARE(b->Label1.Caption(), caption(nonBmp_, 1));
    QVERIFY(session.calls().isEmpty());
    const QString mixedX = fieldsOf("MixedCaseXTbl");
    QCOMPARE(d.sent(catalog),
             (QStringList{fieldsOf(nonBmp_),
                          mixedX, mixedX, mixedX, mixedX, mixedX, mixedX, mixedX, mixedX, mixedX,
                          fieldsOf("MixedCase_Tbl"),
                          mixedX, mixedX, mixedX, mixedX, mixedX, mixedX, fieldsOf("MixedCase_Tbl"),
                          fieldsOf("mixedcase_other"),
                          mixedX, mixedX, mixedX, mixedX, mixedX, mixedX, mixedX,
                          fieldsOf(long_),
                          moduleTables(longModule_), fieldsOf(long_),
                          moduleTables(nonBmpModule_), fieldsOf(nonBmp_)}));

    // Values longer than a piece, with pairs across the pieces' seams.
    pickModule(QStringLiteral("长文本"));
    QCOMPARE(b->Label1.Caption(), caption("EMOJI_LONG", 1));
    QCOMPARE(column(b->DataGrid1, 1), QStringList{emojiText_});
    QCOMPARE(column(b->DataGrid2, 1), QStringList{extensionBText_});
    QCOMPARE(column(b->DataGrid2, 2), QStringList{"ntext"});
    QCOMPARE(d.sent(catalog), (QStringList{moduleTables("长文本"), fieldsOf("EMOJI_LONG")}));
    session.audit(d);
}

// The account id goes into the year query and the database name.
void FaultsText::apostropheInAnAccountId()
{
    faulttest::ServedDictionary &d = server();
    faulttest::Session session;
    startProgram();
    logIn(d.dataSource(), d.password());
    d.sent();
    choose(::Form1->Combo1, QStringLiteral("[O'1]撇号账套"));
    QCOMPARE(entries(::Form1->Combo2), QStringList{"2011"});
    QCOMPARE(d.sent(), QStringList{QStringLiteral("select distinct iyear from UA_Period where cacc_id='O''1'")});
    clickOk();
    browser::Form2 *b = ::Form2.loaded();
    QVERIFY(b && b->Visible());
    QCOMPARE(b->Label1.Caption(), caption("GL_q", 2));
    QCOMPARE(b->StatusBar1.Panels(1).Text(), QStringLiteral("当前账套:[O'1]撇号账套"));
    QCOMPARE(d.sent(QStringLiteral("svdata_O'1_2011")), startUp("GL_q"));
    QVERIFY(session.calls().isEmpty());
    session.audit(d);
}

void FaultsText::emptyListsCountZero_data()
{
    QTest::addColumn<bool>("narrow");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("tableCount");
    QTest::addColumn<QString>("fieldCaption");
    for (const bool narrow : {false, true}) {
        const char *columns = narrow ? "narrow columns" : "wide columns";
        QTest::addRow("empty dictionary, %s", columns)
            << narrow << QStringLiteral("2014") << QString() << QStringLiteral("【共加载0个表】") << QString();
        QTest::addRow("module with no tables, %s", columns)
            << narrow << QStringLiteral("2015") << QStringLiteral("module") << QStringLiteral("【】模块共加载了0个表")
            << QString();
        QTest::addRow("table with no fields, %s", columns)
            << narrow << QStringLiteral("2015") << QStringLiteral("click") << QStringLiteral("【共加载3个表】")
            << caption("EMPTY", 0);
    }
}

void FaultsText::emptyListsCountZero()
{
    faulttest::ServedDictionary &d = server();
    QFETCH(QString, year);
    QFETCH(QString, action);
    QFETCH(QString, tableCount);
    QFETCH(QString, fieldCaption);
    faulttest::Session session;
    browser::Form2 *b = openYear(year);
    QVERIFY(b && b->Visible());
    if (action == QLatin1String("module"))
        pickModule(QString());
    else if (action == QLatin1String("click"))
        clickRow(b->DataGrid1, 1);
    QCOMPARE(b->Label3.Caption(), tableCount);
    QCOMPARE(b->Label1.Caption(), fieldCaption);
    QCOMPARE(b->DataGrid2.RowCount(), 0);
    if (action != QLatin1String("click")) {
        QCOMPARE(b->DataGrid1.RowCount(), 0);
        QCOMPARE(b->Combo1.ListCount(), 0);
    } else {
        QCOMPARE(headers(b->DataGrid2), (QStringList{"字段名称", "字段含义", "字段类型"}));
        QCOMPARE(highlightedRows(b->DataGrid1), QList<int>{1});
    }
    if (action.isEmpty())
        QCOMPARE(entries(b->Combo2), QStringList{"全部模块"});
    // Typing into an empty list: the not-found message, nothing else.
    if (action != QLatin1String("click")) {
        retype("G");
        QCOMPARE(session.calls().size(), 1);
        QCOMPARE(session.calls()[0].prompt, QStringLiteral("本字典中没有包含【G】开头的表，请重新输入"));
    } else {
        QVERIFY(session.calls().isEmpty());
    }
    session.audit(d);
}

QTEST_MAIN(FaultsText)
#include "tst_faults_text.moc"
