// How the test server frames and types what it sends: packets split and
// reassembled at any boundary, SQLite values typed for the wire as a server
// types them, and text parameters read in their own code page.
#include "browser_service.h"
#include "column_typing.h"
#include "executor.h"
#include "login7.h"
#include "packets.h"
#include "rpc_request.h"
#include "test_folder.h"
#include "text_typing.h"
#include "tokens.h"
#include <QTest>

using namespace tds;

class TestTdsEncoding : public QObject {
    Q_OBJECT
private slots:
    void framesLongMessagesIntoPackets();
    void reassemblesAcrossAnyReadBoundary();
    void attentionCancelsAHalfSentMessage();
    void rejectsBrokenPackets();
    void unscramblesPasswords();
    void typesColumns_data();
    void typesColumns();
    void encodesCodePage936_data();
    void encodesCodePage936();
    void answersTheBrowserForItsInstanceOnly();
    void typesResultsAsAServer_data();
    void typesResultsAsAServer();
    void describesPreparedStatementsAsTheyRun();
    void readsTextParametersInTheirCodePage_data();
    void readsTextParametersInTheirCodePage();
};

namespace {
QByteArray rawPacket(quint8 type, quint8 status, const QByteArray &data)
{
    const int length = data.size() + 8;
    QByteArray p;
    p.append(char(type)).append(char(status)).append(char(length >> 8)).append(char(length & 0xff));
    p.append(QByteArray(4, '\0'));
    return p + data;
}
}  // namespace

void TestTdsEncoding::framesLongMessagesIntoPackets()
{
    QByteArray payload(10000, '\0');
    for (int i = 0; i < payload.size(); ++i)
        payload[i] = char(i * 7);
    const QByteArray framed = framePackets(packet::Reply, payload, 4096, 52);
    // 10000 bytes in packets of 4088 data bytes: three packets, EOM on the last only.
    QCOMPARE(framed.size(), 10000 + 3 * 8);
    int offset = 0, packets = 0;
    while (offset < framed.size()) {
        const int length = (quint8(framed[offset + 2]) << 8) | quint8(framed[offset + 3]);
        QVERIFY(length <= 4096);
        const bool last = offset + length == framed.size();
        QCOMPARE(bool(framed[offset + 1] & packet::EndOfMessage), last);
        QCOMPARE(quint8(framed[offset + 6]), quint8(packets + 1));
        offset += length;
        ++packets;
    }
    QCOMPARE(packets, 3);
    MessageAssembler a;
    a.feed(framed);
    Message m;
    QVERIFY(a.next(m));
    QCOMPARE(m.payload, payload);
    QVERIFY(!a.next(m));
}

void TestTdsEncoding::reassemblesAcrossAnyReadBoundary()
{
    const QByteArray stream = rawPacket(packet::SqlBatch, 0, "abc") + rawPacket(packet::SqlBatch, packet::EndOfMessage, "def")
                              + rawPacket(packet::Rpc, packet::EndOfMessage | packet::ResetConnection, "xyz");
    for (int chunk = 1; chunk <= stream.size(); ++chunk) {
        MessageAssembler a;
        QVector<Message> got;
        for (int i = 0; i < stream.size(); i += chunk) {
            a.feed(stream.mid(i, chunk));
            Message m;
            while (a.next(m))
                got << m;
        }
        QVERIFY2(a.error().isEmpty(), qPrintable(a.error()));
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[0].type, packet::SqlBatch);
        QCOMPARE(got[0].payload, QByteArray("abcdef"));
        QCOMPARE(got[1].type, packet::Rpc);
        QVERIFY(got[1].firstStatus & packet::ResetConnection);
    }
}

void TestTdsEncoding::attentionCancelsAHalfSentMessage()
{
    MessageAssembler a;
    a.feed(rawPacket(packet::SqlBatch, 0, "half"));
    a.feed(rawPacket(packet::Attention, packet::EndOfMessage, QByteArray()));
    Message m;
    QVERIFY(a.next(m));
    QCOMPARE(m.type, packet::Attention);
    QVERIFY(m.payload.isEmpty());
    QVERIFY(!a.next(m));
}

void TestTdsEncoding::rejectsBrokenPackets()
{
    {
        MessageAssembler a;
        a.feed(QByteArray("\x01\x01\x00\x03\x00\x00\x00\x00", 8));  // shorter than its header
        Message m;
        QVERIFY(!a.next(m));
        QVERIFY(!a.error().isEmpty());
    }
    {
        MessageAssembler a;
        a.feed(rawPacket(packet::SqlBatch, 0, "a") + rawPacket(packet::Rpc, packet::EndOfMessage, "b"));
        Message m;
        QVERIFY(!a.next(m));
        QVERIFY(a.error().contains("inside a message"));
    }
}

void TestTdsEncoding::unscramblesPasswords()
{
    // 'a' is 61 00 in UTF-16LE; nibbles swapped and XOR 0xA5 on the wire.
    QCOMPARE(scramblePassword("a"), QByteArray("\xB3\xA5", 2));
    QCOMPARE(unscramblePassword(QByteArray("\xB3\xA5", 2)), QString("a"));
    const QString awkward = QString::fromUtf8("p;w={x}= 密码\t'\"\\");
    QCOMPARE(unscramblePassword(scramblePassword(awkward)), awkward);
}

void TestTdsEncoding::typesColumns_data()
{
    QTest::addColumn<int>("declared");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<int>("type");
    const int text = QMetaType::QString, integer = QMetaType::Int, none = QMetaType::UnknownType;
    QTest::newRow("text stays text, digits or not") << text << QVariantList{"001", 5} << int(ColumnType::NVarChar);
    QTest::newRow("empty text column") << text << QVariantList{} << int(ColumnType::NVarChar);
    QTest::newRow("integers") << integer << QVariantList{qint64(1), QVariant()} << int(ColumnType::Int);
    QTest::newRow("past 32 bits") << integer << QVariantList{qint64(5000000000)} << int(ColumnType::BigInt);
    QTest::newRow("integer column holding text") << integer << QVariantList{qint64(1), "x"} << int(ColumnType::NVarChar);
    QTest::newRow("expression of ints and reals") << none << QVariantList{qint64(1), 1.5} << int(ColumnType::Float);
    QTest::newRow("blobs") << none << QVariantList{QByteArray("\x01")} << int(ColumnType::VarBinary);
    QTest::newRow("all NULL expression") << none << QVariantList{QVariant()} << int(ColumnType::NVarChar);
    QTest::newRow("empty integer column") << integer << QVariantList{} << int(ColumnType::Int);
    QTest::newRow("longer than 4000") << text << QVariantList{QString(4001, QChar(0x957F))} << int(ColumnType::NVarCharMax);
}

void TestTdsEncoding::typesColumns()
{
    QFETCH(int, declared);
    QFETCH(QVariantList, values);
    QFETCH(int, type);
    QVector<QVector<QVariant>> rows;
    for (const QVariant &v : values)
        rows << QVector<QVariant>{v};
    QCOMPARE(int(columnTypeFor(QMetaType(declared), rows, 0)), type);
}

void TestTdsEncoding::encodesCodePage936_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << "GL_accvouch" << QByteArray("GL_accvouch");
    QTest::newRow("chinese") << "总账" << QByteArray("\xD7\xDC\xD5\xCB");
    QTest::newRow("outside the BMP: one ? per unit") << QStringLiteral("a\U0001F600") << QByteArray("a??");
    QTest::newRow("byte-order mark") << QStringLiteral("\uFEFFx") << QByteArray("?x");
    QTest::newRow("not in GBK") << QStringLiteral("\u0E01") << QByteArray("?");
}

void TestTdsEncoding::encodesCodePage936()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encodeCodePage936(text), bytes);
}

void TestTdsEncoding::answersTheBrowserForItsInstanceOnly()
{
    const QByteArray reply = BrowserService::answer(QByteArray("\x04" "erp\0", 5), "ERP", 50123, "8.0.2039.0");
    QVERIFY(reply.startsWith('\x05'));
    QCOMPARE(int(quint8(reply.at(1))) | int(quint8(reply.at(2))) << 8, reply.size() - 3);
    QVERIFY(reply.mid(3).contains(";InstanceName;ERP;"));
    QVERIFY(reply.mid(3).endsWith(";tcp;50123;;"));
    QVERIFY(BrowserService::answer(QByteArray("\x04" "OTHER\0", 7), "ERP", 50123, "8.0").isEmpty());
    QVERIFY(BrowserService::answer(QByteArray("\x0F"), "ERP", 50123, "8.0").isEmpty());
}

namespace {
QString typeName(ColumnType t)
{
    switch (t) {
    case ColumnType::NVarChar: return "nvarchar";
    case ColumnType::NVarCharMax: return "nvarchar(max)";
    case ColumnType::VarChar: return "varchar";
    case ColumnType::VarCharMax: return "varchar(max)";
    case ColumnType::Int: return "int";
    default: return "other";
    }
}
}  // namespace

void TestTdsEncoding::typesResultsAsAServer_data()
{
    QTest::addColumn<QString>("textType");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("types");
    const QString expressions = "select N'中文😀', 'abc', @@version, db_name(), @v, @n";
    const QStringList expressionTypes{"nvarchar", "varchar", "nvarchar", "nvarchar", "varchar", "nvarchar"};
    QTest::newRow("expressions") << "varchar" << expressions << expressionTypes;
    QTest::newRow("a column by its own name, not its alias")
        << "mixed" << "select Tablename as 中文表名, Tabledefine as x from RPT_GRPDEF" << QStringList{"varchar", "nvarchar"};
    QTest::newRow("expressions over columns")
        << "mixed" << "select upper(FieldName), coalesce(FieldName, N''), cast(FieldDef as varchar(10)), FieldID from RPT_ItmDEF where FieldID = 1"
        << QStringList{"varchar", "nvarchar", "varchar", "int"};
    QTest::newRow("star") << "mixed" << "select * from RPT_GRPDEF" << QStringList{"varchar", "varchar", "varchar", "nvarchar"};
    // Another row of the column holds more than 8000 bytes.
    QTest::newRow("long column, short row") << "varchar" << "select FieldName from RPT_ItmDEF where FieldID = 1"
                                            << QStringList{"varchar(max)"};
}

void TestTdsEncoding::typesResultsAsAServer()
{
    QFETCH(QString, textType);
    QFETCH(QString, statement);
    QFETCH(QStringList, types);
    ddtest::DictionaryFolder folder;
    folder.catalog("svdata_001_2009", {{"01", "总账", "GL_accvouch", "凭证及明细账",
                                        {{"ccode", "科目编码", "nvarchar(20)"}, {QString(9000, 'n'), "长", "int"}}}});
    const CatalogFolder served(folder.path());
    TextType type;
    QVERIFY(parseTextType(textType, &type));
    SessionState state(served, 1, false, type);
    QVERIFY(state.useCatalog("svdata_001_2009"));
    Executor executor(state);
    const StatementResult r = executor.runStatement(
        statement, bindParameters({"@v", "@n"}, {ProcedureArgument{QString(), "文", false, false},
                                                 ProcedureArgument{QString(), "字", false, true}}));
    QVERIFY2(!r.failed(), qPrintable(r.messages.value(0).text));
    QStringList actual;
    for (const Column &c : r.rows.columns)
        actual << typeName(c.type);
    QCOMPARE(actual, types);
}

void TestTdsEncoding::describesPreparedStatementsAsTheyRun()
{
    ddtest::DictionaryFolder folder;
    folder.accounts({{"001", "演示账套", {2009}}});
    const CatalogFolder served(folder.path());
    SessionState state(served, 1, false, TextType::VarChar);
    QVERIFY(state.useCatalog("svsystem"));
    Executor executor(state);
    // sp_prepare asking for the columns only: the parameters are NULL of their declared types.
    const ProcedureReply described = executor.callProcedure(
        "sp_prepare", {ProcedureArgument{"@handle", QVariant(), true}, ProcedureArgument{QString(), "@n nvarchar(10), @v varchar(10)"},
                       ProcedureArgument{QString(), "select @n, @v, cAcc_Name from ua_account"}, ProcedureArgument{QString(), 1}});
    QVector<ColumnType> types;
    for (const Column &c : described.results.value(0).rows.columns)
        types << c.type;
    QCOMPARE(types, (QVector<ColumnType>{ColumnType::NVarChar, ColumnType::VarChar, ColumnType::VarChar}));
}

void TestTdsEncoding::readsTextParametersInTheirCodePage_data()
{
    QTest::addColumn<QByteArray>("collation");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("Chinese_PRC") << QByteArray("\x04\x08\xD0\x00\x00", 5) << QByteArray("\xD7\xDC\xD5\xCB") << "总账";
    QTest::newRow("Chinese_Taiwan") << QByteArray("\x04\x04\xD0\x00\x00", 5) << QByteArray("\xA4\xA4") << "中";
    QTest::newRow("SQL_Latin1_General_CP1") << QByteArray("\x09\x04\xD0\x00\x34", 5) << QByteArray("\x80\xE9") << "€é";
}

void TestTdsEncoding::readsTextParametersInTheirCodePage()
{
    QFETCH(QByteArray, collation);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    // sp_executesql by id, one VARCHAR(8000) parameter.
    QByteArray rpc("\xFF\xFF\x0A\x00\x00\x00" "\x00\x00\xA7\x40\x1F", 11);
    rpc += collation;
    rpc += char(bytes.size());
    rpc += '\0';
    rpc += bytes;
    const RpcRequest r = parseRpc(rpc, version::V71);
    QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
    QCOMPARE(r.calls.value(0).parameters.value(0).value.toString(), text);
}

QTEST_GUILESS_MAIN(TestTdsEncoding)
#include "tst_tds_encoding.moc"
