// The texts copying builds: names as a statement needs them, the SELECT of
// a table, and rows as tab-separated text.
#include "export/clipboard_text.h"
#include <QTest>

using namespace dd::exporting;

class TestExportClipboard : public QObject {
    Q_OBJECT

private slots:
    void namesAreBracketedWhenNeeded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "cInvCode" << "cInvCode";
        QTest::newRow("chinese") << "存货编码" << "存货编码";
        QTest::newRow("extension B") << "𠀀名" << "𠀀名";
        QTest::newRow("reserved word") << "order" << "[order]";
        QTest::newRow("reserved, other case") << "Group" << "[Group]";
        QTest::newRow("space") << "AR_x y" << "[AR_x y]";
        QTest::newRow("leading digit") << "1abc" << "[1abc]";
        QTest::newRow("closing bracket") << "a]b" << "[a]]b]";
        QTest::newRow("quotes") << "it's \"x\"" << "[it's \"x\"]";
        QTest::newRow("emoji") << "emoji😀" << "[emoji😀]";
        QTest::newRow("temporary table") << "#x" << "[#x]";
        QTest::newRow("global temporary table") << "##x" << "[##x]";
        QTest::newRow("variable") << "@v" << "[@v]";
        QTest::newRow("marks after the first letter") << "a#b$c@d_1" << "a#b$c@d_1";
    }

    void namesAreBracketedWhenNeeded()
    {
        QFETCH(QString, name);
        QFETCH(QString, written);
        QCOMPARE(sqlName(name), written);
    }

    void selectListsFieldsWithTheirMeanings()
    {
        QCOMPARE(selectStatement("Inventory", {{"cInvCode", "存货编码"}, {"order", "顺序\n第二行"},
                                               {QString(), "无名"}, {"iQty", QString()}}),
                 "select cInvCode, -- 存货编码\n"
                 "       [order], -- 顺序 第二行\n"
                 "       iQty\n"
                 "from Inventory\n");
        QCOMPARE(selectStatement("EMPTY", {}), "select *\nfrom EMPTY\n");
    }

    void rowsAsTabSeparatedText()
    {
        const CopiedRows rows{{"字段名称", "字段含义"}, {{"a\tb", "x\"y"}, {"", "line1\nline2"}}};
        QCOMPARE(tabSeparated(rows, false), "\"a\tb\"\t\"x\"\"y\"\r\n\t\"line1\nline2\"\r\n");
        QVERIFY(tabSeparated(rows, true).startsWith("字段名称\t字段含义\r\n"));
        const QString html = htmlTable(rows, true);
        QVERIFY(html.contains("<th>字段名称</th>"));
        QVERIFY(html.contains("line1<br style=\"mso-data-placement:same-cell;\">line2"));
    }
};

QTEST_GUILESS_MAIN(TestExportClipboard)
#include "tst_export_clipboard.moc"
