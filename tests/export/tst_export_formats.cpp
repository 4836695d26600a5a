// Every format round trip: an awkward dictionary is exported through the
// export job (reader + writer) and read back by an independent reader; the
// HTML page's filter is tried in headless Chromium; a cancelled or failed
// export leaves nothing behind; CSV stays text in spreadsheets, workbooks
// keep within Excel's limits, special files are written in place.
#include "awkward_dictionary.h"
#include "data/statements.h"
#include "export/export_job.h"
#include "export/output_file.h"
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A dictionary made in memory: tables of the given field counts, every text
// `text` unless a field's meaning is given.
struct SmallDictionary {
    Dictionary dictionary;
    ExportContent content;
    SmallDictionary(const std::vector<int> &fieldCounts, const QString &text = "x",
                    const QStringList &meanings = {})
    {
        for (int t = 0; t < int(fieldCounts.size()); ++t) {
            const QString name = text == "x" ? QString("T%1").arg(t + 1) : text;
            dictionary.tables.push_back({name, text, text, int(dictionary.fields.size()), fieldCounts[size_t(t)]});
            for (int f = 0; f < fieldCounts[size_t(t)]; ++f) {
                const int i = int(dictionary.fields.size());
                dictionary.fields.push_back({t, f + 1, text == "x" ? QString("F%1").arg(i + 1) : text,
                                             i < meanings.size() ? meanings[i] : text, text});
            }
            content.tables.push_back(t);
        }
        content.dictionary = &dictionary;
        content.heading = {"[001]小", "2011", QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))};
    }
};

int openDescriptors()
{
    return int(QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

QString chromium()
{
    for (const char *name : {"chromium", "chromium-browser"}) {
        const QString path = QStandardPaths::findExecutable(name);
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
        QTest::addColumn<QString>("reader");
        QTest::newRow("csv") << int(Format::Csv) << "csv";
        QTest::newRow("xlsx") << int(Format::Xlsx) << "xlsx";
        QTest::newRow("md") << int(Format::Markdown) << "md";
        QTest::newRow("md, as GitHub reads it") << int(Format::Markdown) << "gfm";
        QTest::newRow("html") << int(Format::Html) << "html";
    }

    void roundTrip()
    {
        QFETCH(int, format);
        QFETCH(QString, reader);
        if (reader == "gfm" && QStandardPaths::findExecutable("cmark-gfm").isEmpty())
            QSKIP("cmark-gfm is not installed");
        const Format f = Format(format);
        const QJsonObject back = readBack(reader, file(f));
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
        // Opened at an address whose filter does not decode (a lone "%"):
        // it filters by the text as it stands.
        QList<Case> all_cases{{"100%", {"t1"}, {"quote\"d"}}};
        all_cases += cases;
        QStringList args{sourceDir() + "/tests/export/chromium_filter.py", browser, file(Format::Html),
                         "--hash", "filter=100%"};
        for (const Case &c : cases)
            args << c.typed;
        QProcess p;
        p.start("/usr/bin/python3", args);
        QVERIFY(p.waitForFinished(180000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        const QJsonArray results = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
        QCOMPARE(results.size(), all_cases.size());
        for (int i = 0; i < all_cases.size(); ++i) {
            const QJsonObject r = results[i].toObject();
            QCOMPARE(r["typed"].toString(), all_cases[i].typed);
            QCOMPARE(r["tables"].toVariant().toStringList(), all_cases[i].tables);
            QCOMPARE(r["fields"].toVariant().toStringList(), all_cases[i].fields);
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

    // A cell a spreadsheet would evaluate is written with a leading
    // apostrophe; --csv-raw keeps the bytes.
    void csvCellsStayText_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("guarded");
        QTest::newRow("formula") << "=HYPERLINK(\"http://x\",\"y\")" << "'=HYPERLINK(\"http://x\",\"y\")";
        QTest::newRow("minus") << "-1：红字" << "'-1：红字";
        QTest::newRow("plus") << "+86 10" << "'+86 10";
        QTest::newRow("at") << "@SUM(A1)" << "'@SUM(A1)";
        QTest::newRow("tab") << "\tx" << "'\tx";
        QTest::newRow("carriage return") << "\rx,y" << "'\rx,y";
        QTest::newRow("marks inside") << "a=b-c+@" << "a=b-c+@";
        QTest::newRow("empty") << "" << "";
    }

    void csvCellsStayText()
    {
        QFETCH(QString, value);
        QFETCH(QString, guarded);
        SmallDictionary d({1}, value);
        QTemporaryDir dir;
        for (bool raw : {false, true}) {
            const QString path = dir.filePath(raw ? "raw.csv" : "guarded.csv");
            WriteOptions options;
            options.csvRaw = raw;
            writeExport(d.content, Format::Csv, path, {}, options);
            const auto rows = rowsOf(readBack("csv", path)["fields"]);
            QCOMPARE(int(rows.size()), 1);
            const QString expected = raw ? value : guarded;
            QCOMPARE(rows[0], QStringList({expected, expected, expected, "1", expected, expected, expected}));
        }
    }

    // Sheets of 4 rows and 2 links: 9 field rows go on over three sheets,
    // the third table's name is plain text; texts over Excel's real cell
    // limit are cut and counted.
    void workbookKeepsWithinExcelLimits()
    {
        const QString over(40000, QChar(0x5b57));
        // The cut falls inside the emoji's pair: the whole pair goes.
        const QString pairAtCut = QString(32760, 'a') + QString::fromUtf8("😀") + QString(100, 'b');
        const QString exact(32767, 'c');
        SmallDictionary d({5, 1, 3}, "x", {over, pairAtCut, exact});
        QTemporaryDir dir;
        const QString path = dir.filePath("limits.xlsx");
        WriteOptions options;
        options.xlsx.rowsPerSheet = 6;
        options.xlsx.linksPerSheet = 2;
        const ExportResult result = writeExport(d.content, Format::Xlsx, path, {}, options);
        QCOMPARE(result.cutCells, 2);
        QVERIFY(cutCellsNote(result).contains("2 个单元格"));

        const QJsonObject back = readBack("xlsx", path);
        QCOMPARE(back["sheets"].toVariant().toStringList(), QStringList({"数据表", "字段", "字段(2)", "字段(3)"}));
        const QJsonObject sheets = back["sheetRows"].toObject();
        QStringList names;
        for (const QString sheet : {"字段", "字段(2)", "字段(3)"}) {
            const auto rows = rowsOf(sheets[sheet]);
            QCOMPARE(int(rows.size()), sheet == "字段(3)" ? 1 : 4);
            for (const QStringList &r : rows)
                names << r[4];
        }
        QCOMPARE(names, QStringList({"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9"}));
        QCOMPARE(back["sheetLinks"].toObject()["数据表"].toVariant().toStringList(),
                 QStringList({"'字段'!A3", "'字段(2)'!A4", ""}));
        QCOMPARE(rowsOf(sheets["数据表"])[2][0], "T3");

        const auto first = rowsOf(sheets["字段"]);
        QCOMPARE(first[0][5].size(), 32767);
        QVERIFY(first[0][5].endsWith(cutMarker()));
        QCOMPARE(first[1][5], QString(32760, 'a') + cutMarker());
        QCOMPARE(first[2][5], exact);
    }

    // A stopped workbook is dropped: no file, no file left open.
    void stoppedWorkbookIsNeverWritten()
    {
        SmallDictionary d({3, 3});
        QTemporaryDir dir;
        const QString path = dir.filePath("stopped.xlsx");
        const int before = openDescriptors();
        try {
            writeXlsx(path, path, d.content, [](int) { return false; });
            QFAIL("the workbook was written to its end");
        } catch (const Error &e) {
            QVERIFY(isExportCancelled(e));
        }
        QVERIFY(!QFile::exists(path));
        QCOMPARE(openDescriptors(), before);
    }

    // A FIFO and a device node are written, not replaced; an existing file
    // in a folder where no file can be made is written in place.
    void specialFilesAreWrittenInPlace()
    {
        SmallDictionary d({2});
        QTemporaryDir dir;
        const QByteArray fifo = QFile::encodeName(dir.filePath("pipe"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        writeExport(d.content, Format::Csv, QFile::decodeName(fifo));
        QByteArray received(1 << 16, '\0');
        received.resize(std::max<ssize_t>(0, ::read(reader, received.data(), received.size())));
        ::close(reader);
        QVERIFY(received.startsWith("\xEF\xBB\xBF数据表,"));
        QCOMPARE(received.count("\r\n"), 3);
        struct stat st {};
        QCOMPARE(::lstat(fifo.constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));

        // The null-device's sibling that is always full (as root: a node of our own).
        const QByteArray full = QFile::encodeName(dir.filePath("full"));
        if (::geteuid() == 0 && ::mknod(full.constData(), S_IFCHR | 0600, makedev(1, 7)) == 0) {
            try {
                writeExport(d.content, Format::Xlsx, QFile::decodeName(full));
                QFAIL("writing to a full device succeeded");
            } catch (const Error &e) {
                QCOMPARE(e.Description(), QStringLiteral("磁盘已满，无法写入【%1】。").arg(QFile::decodeName(full)));
            }
            QCOMPARE(::lstat(full.constData(), &st), 0);
            QVERIFY(S_ISCHR(st.st_mode));
        }

        // A read-only folder (as root: written by an unprivileged child).
        const QString folder = dir.filePath("readonly");
        QVERIFY(QDir().mkdir(folder));
        const QString target = folder + "/old.csv";
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("the file as it was, longer than what replaces it ......................................");
        }
        for (const auto &[path, mode] : {std::pair{target, 0666}, {folder, 0555}, {dir.path(), 0755}})
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
        const auto write = [&] {
            try {
                writeExport(d.content, Format::Csv, target);
                return 0;
            } catch (const Error &e) {
                std::fprintf(stderr, "%s\n", qPrintable(e.Description()));
                return 1;
            }
        };
        int status = 1;
        if (::geteuid() == 0) {
            const pid_t child = ::fork();
            if (child == 0) {
                if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(2);
                ::_exit(write());
            }
            int how = 0;
            QCOMPARE(::waitpid(child, &how, 0), child);
            status = WIFEXITED(how) ? WEXITSTATUS(how) : -1;
        } else {
            status = write();
        }
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        QCOMPARE(status, 0);
        QFile f(target);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray written = f.readAll();
        QVERIFY(written.startsWith("\xEF\xBB\xBF数据表,"));
        QVERIFY(!written.contains("the file as it was"));
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
