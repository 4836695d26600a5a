// The command line's one parser, with the options of a command: what it
// takes, what it refuses and in which words.
#include "cli/arguments.h"
#include <QTest>

using dd::cli::Arguments;
using dd::cli::Option;
using dd::cli::UsageError;

namespace {

const QList<Option> kOptions = {
    {"server", "SERVER", "", true},
    {"module", "NAME", ""},
    {"raw", "", ""},   // a switch
};

}  // namespace

class TestCliArguments : public QObject {
    Q_OBJECT
private slots:
    void parses_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");     // empty: parsed
        QTest::addColumn<QString>("module");
        QTest::newRow("value after") << QStringList{"--server", "s", "--module", " m "} << "" << " m ";
        QTest::newRow("value joined") << QStringList{"--server=s", "--module=a=b"} << "" << "a=b";
        QTest::newRow("empty value joined") << QStringList{"--server=s", "--module="} << "" << "";
        QTest::newRow("switch") << QStringList{"--raw", "--server", "s"} << "" << "";
        QTest::newRow("given twice") << QStringList{"--server", "s", "--server", "t"} << "参数 --server 只能给一次。" << "";
        QTest::newRow("twice, other spelling") << QStringList{"--server=s", "--raw", "--server", "s"} << "参数 --server 只能给一次。" << "";
        QTest::newRow("switch twice") << QStringList{"--raw", "--raw", "--server", "s"} << "参数 --raw 只能给一次。" << "";
        QTest::newRow("value missing") << QStringList{"--server"} << "参数 --server 缺少值。" << "";
        QTest::newRow("switch with value") << QStringList{"--server", "s", "--raw=1"} << "参数 --raw 不带值。" << "";
        QTest::newRow("required missing") << QStringList{"--module", "m"} << "缺少参数 --server。" << "";
        QTest::newRow("unknown") << QStringList{"--server", "s", "--colour", "x"} << "不认识的参数【--colour】。" << "";
        QTest::newRow("not an option") << QStringList{"s"} << "多余的参数【s】。" << "";
        QTest::newRow("bare dashes") << QStringList{"--server", "s", "--"} << "多余的参数【--】。" << "";
        QTest::newRow("password") << QStringList{"--server", "s", "--password=x"}
                                  << "密码不能写在命令行上：请用环境变量 DATADICT_PASSWORD，或在终端上输入。" << "";
    }
    void parses()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        QFETCH(QString, module);
        try {
            const Arguments parsed = Arguments::parse(args, kOptions);
            QVERIFY2(error.isEmpty(), qPrintable("parsed, expected: " + error));
            QVERIFY(!parsed.helpAsked());
            QCOMPARE(parsed.value("server"), QString("s"));
            QCOMPARE(parsed.value("module"), module);
            QCOMPARE(parsed.has("raw"), args.contains("--raw"));
        } catch (const UsageError &e) {
            QCOMPARE(e.text, error);
        }
    }

    // --help wins over everything else wrong on the line.
    void helpAnywhere_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("alone") << QStringList{"--help"};
        QTest::newRow("short") << QStringList{"-h"};
        QTest::newRow("after a missing value") << QStringList{"--server", "--help"};
        QTest::newRow("with unknown options") << QStringList{"--colour", "x", "--help", "--server", "a", "--server", "b"};
    }
    void helpAnywhere()
    {
        QFETCH(QStringList, args);
        QVERIFY(Arguments::parse(args, kOptions).helpAsked());
    }
};

QTEST_GUILESS_MAIN(TestCliArguments)
#include "tst_cli_arguments.moc"
