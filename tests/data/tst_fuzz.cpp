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

// Letters whose case folding is irregular: sharp s, final sigma, dotted and
// dotless i, the Kelvin sign, a title-case digraph, a ligature, and a pair
// outside the basic plane.
const QString kCaseAlphabet = QStringLiteral("aAbB%*_ßẞΣσςİıiIKkǄǅǆﬀ数") + QString::fromUcs4(U"\U00010400\U00010428");

QString randomCaseText(QRandomGenerator &rng, int maxLength)
{
    QString s;
    const int n = rng.bounded(maxLength + 1);
    for (int i = 0; i < n; ++i) {
        const int at = rng.bounded(kCaseAlphabet.size());
        if (kCaseAlphabet[at].isSurrogate()) {  // keep the pair whole
            const int high = at - (kCaseAlphabet[at].isLowSurrogate() ? 1 : 0);
            s += kCaseAlphabet.mid(high, 2);
        } else {
            s += kCaseAlphabet[at];
        }
    }
    return s;
}

// The pattern rules applied directly with the toolkit's case-ignoring
// comparisons, to check the folded matcher against.
bool referenceLike(const QString &pattern, const QString &value)
{
    QStringList pieces;
    QString piece;
    for (const QChar ch : pattern) {
        if (ch == '%' || ch == '*') {
            pieces << piece;
            piece.clear();
        } else {
            piece += ch;
        }
    }
    pieces << piece;
    if (pieces.size() == 1)
        return value.compare(pattern, Qt::CaseInsensitive) == 0;
    if (!value.startsWith(pieces.front(), Qt::CaseInsensitive))
        return false;
    int from = pieces.front().size();
    for (int i = 1; i + 1 < pieces.size(); ++i) {
        if (pieces[i].isEmpty())
            continue;
        const int at = value.indexOf(pieces[i], from, Qt::CaseInsensitive);
        if (at < 0)
            return false;
        from = at + pieces[i].size();
    }
    return value.size() - from >= pieces.back().size() && value.endsWith(pieces.back(), Qt::CaseInsensitive);
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

    void foldedMatchingAgreesWithCaseIgnoringComparison()
    {
        QRandomGenerator rng(17);
        int matched = 0;
        for (int i = 0; i < 20000; ++i) {
            const QString pattern = randomCaseText(rng, 6);
            QString quoted = pattern;
            quoted.replace('\'', "''");
            // Values often built from the pattern with letters' case flipped,
            // so that matches are common.
            QString value = rng.bounded(2) ? randomCaseText(rng, 8) : pattern;
            if (rng.bounded(2)) {
                value.replace('%', randomCaseText(rng, 2));
                value.replace('*', QString());
                value = rng.bounded(2) ? value.toUpper() : value.toLower();
            }
            const bool expected = referenceLike(pattern, value);
            const bool like = Criterion::parse("数据表 like '" + quoted + "'").matches(value);
            QVERIFY2(like == expected, qPrintable(pattern + " / " + value));
            const bool exact = Criterion::parse("数据表='" + quoted + "'").matches(value);
            QVERIFY2(exact == (value.compare(pattern, Qt::CaseInsensitive) == 0), qPrintable(pattern + " / " + value));
            matched += expected ? 1 : 0;
        }
        QVERIFY(matched > 1000);
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
