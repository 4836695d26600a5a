#include "awkward_dictionary.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>

namespace exporttest {

QVector<dictgen::TableRow> awkwardTables()
{
    const QString longText = QString(500, QChar(0x5b57));   // 500 × 字
    return {
        {"01", "总账|GL", "GL_a|b", "凭证<及>&明细'账\"",
         {{"tab\tname", "line1\nline2", "nvarchar(20)"},
          {"quote\"d", "comma, 100% and \"quotes\"", "decimal(18,2)"},
          {"emoji😀", "扩展B 𠀀𠀁", "int"},
          {QString(), QString(), QString()},
          {"long", longText, "ntext"},
          {"crlf", "a\r\nb", "bit"},
          {"mark_up", "a|b\\c*d*_e_ [x](y) `code` #h ~~gone~~ ~x~ **b** <b>t</b>", "int"},
          {"order", "<script>alert(1)</script> & &amp;", "int"}}},
        {"02", "总账|GL", "EMPTY", QString(), {}},
        {"03", "应收<管理>", "AR_x y", "应收'单", {{"cCusCode", "客户编码", "nvarchar(20)"}, {"iSum", "金额", "money"}}},
        {"04", QString(), "NoModule", "无模块", {{"id", "编号", "int"}}},
    };
}

void makeAwkwardFolder(ddtest::DictionaryFolder &folder)
{
    folder.accounts({{"001", "示范<&>公司", {2011}}});
    folder.catalog("svdata_001_2011", awkwardTables());
}

std::vector<QStringList> expectedTableRows()
{
    std::vector<QStringList> rows;
    for (const auto &t : awkwardTables())
        rows.push_back({t.name, t.description, t.module, QString::number(t.fields.size())});
    return rows;
}

std::vector<QStringList> expectedFieldRows()
{
    std::vector<QStringList> rows;
    for (const auto &t : awkwardTables())
        for (int i = 0; i < t.fields.size(); ++i)
            rows.push_back({t.name, t.description, t.module, QString::number(i + 1),
                            t.fields[i].name, t.fields[i].meaning, t.fields[i].type});
    return rows;
}

QString binaryDir() { return qEnvironmentVariable("DD_BINARY_DIR"); }
QString sourceDir() { return qEnvironmentVariable("DD_SOURCE_DIR"); }

QJsonObject readBack(const QString &kind, const QString &file)
{
    QProcess p;
    p.start("/usr/bin/python3", {sourceDir() + "/tests/export/read_export.py", kind, file});
    const bool done = p.waitForFinished(60000);
    const QByteArray err = p.readAllStandardError();
    [&] { QVERIFY2(done && p.exitCode() == 0, err.constData()); }();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

std::vector<QStringList> rowsOf(const QJsonValue &value)
{
    std::vector<QStringList> rows;
    for (const QJsonValue &row : value.toArray()) {
        QStringList cells;
        for (const QJsonValue &cell : row.toArray())
            cells << (cell.isDouble() ? QString::number(cell.toInteger()) : cell.toString());
        rows.push_back(cells);
    }
    return rows;
}

}  // namespace exporttest
