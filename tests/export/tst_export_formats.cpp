// Every format round trip: an awkward dictionary is exported through the
// export job (reader + writer) and read back by an independent reader; the
// HTML page's filter is tried in headless Chromium; a cancelled or failed
// export leaves nothing behind.
#include "awkward_dictionary.h"
#include "host_tools.h"
#include "data/statements.h"
#include "export/export_job.h"
#include "export/output_file.h"
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace dd;
using namespace dd::exporting;
using namespace exporttest;

namespace {

QString normalised(QString s, bool trimmed)
{
    s.replace("\r\n", "\n");
    s.replace('\r', '\n');
    return trimmed ? s.trimmed() : s;
}

void compareRows(const std::vector<QStringList> &actual, const std::vector<QStringList> &expected,
                 bool loose)
{
    QCOMPARE(actual.size(), expected.size());
    for (size_t r = 0; r < actual.size(); ++r) {
        QCOMPARE(actual[r].size(), expected[r].size());
        for (int c = 0; c < actual[r].size(); ++c)
            QCOMPARE(normalised(actual[r][c], loose), normalised(expected[r][c], loose));
    }
}

// Field rows as the Markdown and HTML field tables hold them: number, name,
// meaning, type, one table after the other.
std::vector<QStringList> fieldTableRows(const QJsonValue &tables)
{
    std::vector<QStringList> rows;
    for (const QJsonValue &t : tables.toArray())
        for (const QStringList &row : rowsOf(t))
            rows.push_back(row);
    return rows;
}

std::vector<QStringList> lastColumns(const std::vector<QStringList> &rows, int n)
{
    std::vector<QStringList> out;
    for (const QStringList &r : rows)
        out.push_back(r.mid(r.size() - n));
    return out;
}

QString chromium()
{
    for (const char *name : {"chromium", "chromium-browser"}) {
        const QString path = ddtest::hostProgram(name);
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

}  // namespace

class TestExportFormats : public QObject {
    Q_OBJECT
    ddtest::DictionaryFolder folder;
    QTemporaryDir out;

    QString file(Format f) const { return out.filePath("dictionary." + suffixOf(f)); }

    ExportRequest request(Format f) const
    {
        ExportRequest r;
        r.source = sql::accountYearConnectionString("svdata_001_2011", folder.path());
        r.user = "sa";
        r.password = "pw";
        r.format = f;
        r.output = file(f);
        r.heading = {"[001]示范<&>公司", "2011", QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))};
        return r;
    }

private slots:
    void initTestCase()
    {
        makeAwkwardFolder(folder);
        // DD_KEEP_EXPORTS=1 keeps the exported files for a look.
        out.setAutoRemove(!qEnvironmentVariableIsSet("DD_KEEP_EXPORTS"));
        qInfo() << "exports in" << out.path();
        for (Format f : {Format::Xlsx, Format::Csv, Format::Markdown, Format::Html})
            runExport(request(f));
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("csv") << int(Format::Csv);
        QTest::newRow("xlsx") << int(Format::Xlsx);
        QTest::newRow("md") << int(Format::Markdown);
        QTest::newRow("html") << int(Format::Html);
    }

    void roundTrip()
    {
        QFETCH(int, format);
        const Format f = Format(format);
        const QJsonObject back = readBack(suffixOf(f), file(f));
        const auto fields = expectedFieldRows();
        switch (f) {
        case Format::Csv:
            QVERIFY(back["bom"].toBool());
            QCOMPARE(back["header"].toVariant().toStringList(), fieldColumns());
            compareRows(rowsOf(back["fields"]), fields, false);
            break;
        case Format::Xlsx:
            // XML keeps a carriage return only as a line break.
            compareRows(rowsOf(back["tables"]), expectedTableRows(), false);
            compareRows(rowsOf(back["fields"]), fields, false);
            break;
        default:
            // Markdown trims cells; both read a line break as "\n".
            compareRows(rowsOf(back["tables"]), expectedTableRows(), f == Format::Markdown);
            compareRows(fieldTableRows(back["fieldTables"]), lastColumns(fields, 4),
                        f == Format::Markdown);
        }
    }

    void workbookHasHeaderFilterAndLinks()
    {
        const QJsonObject back = readBack("xlsx", file(Format::Xlsx));
        QCOMPARE(back["sheets"].toVariant().toStringList(), QStringList({"数据表", "字段"}));
        QCOMPARE(back["heading"].toString(), "账套：[001]示范<&>公司　会计年度：2011　导出时间：2026-01-02 03:04:05");
        QCOMPARE(back["header"].toVariant().toStringList(), tableColumns() + QStringList{"|"} + fieldColumns());
        QVERIFY(back["bold"].toBool());
        QCOMPARE(back["frozen"].toVariant().toStringList(), QStringList({"A3", "A3"}));
        QCOMPARE(back["filters"].toVariant().toStringList(), QStringList({"A2:D6", "A2:G13"}));
        // Each table links to its first field row; a table without fields links nowhere.
        QStringList links;
        for (const QJsonValue &link : back["links"].toArray())
            links << link.toString();
        QCOMPARE(links, QStringList({"'字段'!A3", "", "'字段'!A11", "'字段'!A13"}));
    }

    void htmlPageIsSelfContained()
    {
        QFile page(file(Format::Html));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QByteArray text = page.readAll();
        for (const char *outside : {"<link", "src=", "url(", "@import", "http:", "https:"})
            QVERIFY2(!text.contains(outside), outside);
    }

    // Typed into the page's filter box in Chromium, one text after the other.
    void htmlFilterInChromium()
    {
        struct Case {
            QString typed;
            QStringList tables, fields;   // fields: of the first table shown
        };
        const QStringList all{"tab\tname", "quote\"d", "emoji😀", "", "long", "crlf", "mark_up", "order"};
        const QList<Case> cases{
            {"gl_A|B", {"t1"}, all},                          // a table name, other case: all its fields
            {"应收'单", {"t3"}, {"cCusCode", "iSum"}},         // a description
            {"LINE2", {"t1"}, {"tab\tname"}},                 // a meaning: that field only
            {"ccus", {"t3"}, {"cCusCode"}},                   // a field name
            {"𠀁", {"t1"}, {"emoji😀"}},                       // extension B
            {"<script>", {"t1"}, {"order"}},                  // markup is text
            {"不存在的", {}, {}},
            {"", {"t1", "t2", "t3", "t4"}, all},               // emptied: everything again
        };
        const QString browser = chromium();
        if (browser.isEmpty())
            QSKIP("chromium is not installed");
        QStringList args{sourceDir() + "/tests/export/chromium_filter.py", browser, ddtest::hostPath(file(Format::Html))};
        for (const Case &c : cases)
            args << c.typed;
        const ddtest::HostRun p = ddtest::runHostProgram(ddtest::hostProgram("python3"), args, 180000);
        QVERIFY(p.finished);
        QVERIFY2(p.exitCode == 0, p.err.constData());
        const QJsonArray results = QJsonDocument::fromJson(p.out).array();
        QCOMPARE(results.size(), cases.size());
        for (int i = 0; i < cases.size(); ++i) {
            const QJsonObject r = results[i].toObject();
            QCOMPARE(r["typed"].toString(), cases[i].typed);
            QCOMPARE(r["tables"].toVariant().toStringList(), cases[i].tables);
            QCOMPARE(r["fields"].toVariant().toStringList(), cases[i].fields);
        }
    }

    void cancelledOrFailedExportLeavesNothing_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("xlsx") << int(Format::Xlsx);
        QTest::newRow("csv") << int(Format::Csv);
        QTest::newRow("md") << int(Format::Markdown);
        QTest::newRow("html") << int(Format::Html);
    }

    void cancelledOrFailedExportLeavesNothing()
    {
        QFETCH(int, format);
        QTemporaryDir dir;
        const QString target = dir.filePath("old." + suffixOf(Format(format)));
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("the file as it was");
        }
        ExportRequest r = request(Format(format));
        r.output = target;
        std::atomic<bool> cancel{false};
        try {
            runExport(r, [&cancel](const ExportProgress &p) {
                if (p.stage == ExportProgress::Writing && p.done > 0)
                    cancel = true;
            }, &cancel);
            QFAIL("the export ran to its end");
        } catch (const Error &e) {
            QVERIFY(isExportCancelled(e));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old." + suffixOf(Format(format))});
        QFile f(target);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("the file as it was"));

        // A folder that is not there: the reason, and no file.
        r.output = dir.filePath("missing/x." + suffixOf(Format(format)));
        try {
            runExport(r);
            QFAIL("wrote into a missing folder");
        } catch (const Error &e) {
            QCOMPARE(e.Description(), QStringLiteral("找不到路径【%1】。").arg(r.output));
        }
    }

    void scopesPickTheirTables()
    {
        Dictionary d;
        for (const auto &[name, module] : std::vector<std::pair<QString, QString>>{
                 {"A", "总账"}, {"B", "应收"}, {"C", "总账 "}, {"A", "应收"}})
            d.tables.push_back({name, QString(), module, 0, 0});
        QCOMPARE(selectTables(d, Scope::Dictionary, "应收", QString()), std::vector<int>({0, 1, 2, 3}));
        QCOMPARE(selectTables(d, Scope::List, "总账", QString()), std::vector<int>({0, 2}));
        QCOMPARE(selectTables(d, Scope::List, QString(), QString()), std::vector<int>({0, 1, 2, 3}));
        QCOMPARE(selectTables(d, Scope::Table, "应收", "a"), std::vector<int>({3}));
        QCOMPARE(selectTables(d, Scope::Table, QString(), "A", 3), std::vector<int>({3}));
        try {
            selectTables(d, Scope::List, "存货", QString());
            QFAIL("an unknown module was taken");
        } catch (const Error &e) {
            QCOMPARE(e.Description(), QStringLiteral("字典中没有模块【存货】。"));
        }
    }
};

QTEST_GUILESS_MAIN(TestExportFormats)
#include "tst_export_formats.moc"
