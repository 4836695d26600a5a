// A short, bounded fuzz run over the two parsers that take typed text: the
// search criterion and the Data Source. Random texts must give a result or a
// clean error, never a crash; random passwords must reach the driver intact.
#include "data/criterion.h"
#include "data/data_source.h"
#include "data/error.h"
#include <QRandomGenerator>
#include <QTest>

using namespace dd;

namespace {

const QString kAlphabet = QStringLiteral("'%*_[]{}=;,\\ .()aZ9数据表like LIKE\t\"") + QChar(0x3010)
                          + QString::fromUcs4(U"\U0001F600\U00020000");

QString randomText(QRandomGenerator &rng, int maxLength)
{
    QString s;
    const int n = rng.bounded(maxLength + 1);
    for (int i = 0; i < n; ++i)
        s += kAlphabet[rng.bounded(kAlphabet.size())];
    return s;
}

}  // namespace

class TestFuzz : public QObject {
    Q_OBJECT
private slots:
    void criteria()
    {
        QRandomGenerator rng(7);
        int parsed = 0;
        for (int i = 0; i < 20000; ++i) {
            const QString text = rng.bounded(2) ? randomText(rng, 30)
                                                : QStringLiteral("数据表 like '") + randomText(rng, 12) + QLatin1Char('\'');
            try {
                const Criterion c = Criterion::parse(text);
                c.matches(randomText(rng, 20));
                ++parsed;
            } catch (const Error &e) {
                QVERIFY(!e.Description().isEmpty());
            }
        }
        QVERIFY(parsed > 100);  // the run did reach the matcher
    }

    void dataSources()
    {
        QRandomGenerator rng(11);
        for (int i = 0; i < 5000; ++i) {
            const QString text = randomText(rng, 25);
            try {
                const DataTarget t = resolveDataSource(text);
                odbcConnectionString("FreeTDS", t, "svsystem", "sa", randomText(rng, 20));
                odbcConnectionString("ODBC Driver 18 for SQL Server", t, "svsystem", "sa", randomText(rng, 20));
            } catch (const Error &e) {
                QVERIFY(!e.Description().isEmpty());
            }
        }
    }

    void passwordsSurviveQuoting()
    {
        QRandomGenerator rng(13);
        for (int i = 0; i < 5000; ++i) {
            const QString password = randomText(rng, 24);
            const QString quoted = odbcValue(password);
            // Undo the quoting as a driver does: strip the braces, fold "}}".
            QVERIFY(quoted.startsWith('{') && quoted.endsWith('}'));
            QString inner = quoted.mid(1, quoted.size() - 2);
            inner.replace("}}", "}");
            QCOMPARE(inner, password);
        }
    }
};

QTEST_GUILESS_MAIN(TestFuzz)
#include "tst_fuzz.moc"
