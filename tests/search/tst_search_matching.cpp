// What a query finds and in which order: names, meanings, table names and
// descriptions as substrings, case and width folded, pinyin initials by any
// reading, several terms on one row, and texts that are anything but tame.
#include "search/pinyin_initials.h"
#include "search/searcher.h"
#include <QTest>

using search::Hit;

namespace {

struct T {
    const char *name, *description, *module;
    std::vector<std::pair<QString, QString>> fields;  // name, meaning
};

std::shared_ptr<const dd::Dictionary> dictionary(const std::vector<T> &tables)
{
    auto d = std::make_shared<dd::Dictionary>();
    for (const T &t : tables) {
        dd::DictionaryTable table{QString::fromUtf8(t.name), QString::fromUtf8(t.description),
                                  QString::fromUtf8(t.module), int(d->fields.size()), int(t.fields.size())};
        d->tables.push_back(table);
        int number = 0;
        for (const auto &[name, meaning] : t.fields)
            d->fields.push_back({int(d->tables.size()) - 1, ++number, name, meaning, QStringLiteral("int")});
    }
    return d;
}

// "TABLE" for a table row, "TABLE.FIELD" for a field row.
QStringList rows(const std::vector<Hit> &hits, const dd::Dictionary &d)
{
    QStringList out;
    for (const Hit &h : hits)
        out << (h.isTable() ? d.tables[h.table].name
                            : d.tables[h.table].name + QLatin1Char('.') + d.fields[h.field].name);
    return out;
}

const QString Long = QString(497, QChar(0x5B57)) + QStringLiteral("末尾处");

std::shared_ptr<const dd::Dictionary> sample()
{
    return dictionary({
        {"SA_SaleBillVouch", "销售发票主表", "销售管理",
         {{"cSBVCode", "发票号"}, {"cCusCode", "客户编码"}, {"iRowNo", "行号"}, {"cInvCode", "存货编码"}}},
        {"IA_Summary", "存货核算汇总", "存货核算",
         {{"cInvCode", "存货编码"}, {"cNote", QString()}, {"cWide", "ＡＢＣ全角"}}},
        {"GL_accvouch", "凭证及明细账", "总账",
         {{"ccode", "科目编码"}, {"cDigest", "O'Brien%_*[x]\"q\""}, {"cBox", "📦包裹"},
          {"cRare", QString::fromUcs4(U"\U00020000乙")}, {"cLong", Long}}},
        {"", "", "", {{"cOrphan", "无名表的字段"}}},
    });
}

}  // namespace

class SearchMatching : public QObject {
    Q_OBJECT

private slots:
    void pinyinTableGivesEveryReading();
    void finds_data();
    void finds();
    void ranksInTheGivenOrder();
    void narrowingAsTheUserTypesChangesNothing();
    void emptyDictionaryFindsNothing();
};

void SearchMatching::pinyinTableGivesEveryReading()
{
    auto bit = [](char c) { return 1u << (c - 'a'); };
    QCOMPARE(search::pinyinInitials(U'存'), bit('c'));
    QCOMPARE(search::pinyinInitials(U'行'), bit('h') | bit('x'));
    QCOMPARE(search::pinyinInitials(U'a'), 0u);
    QVERIFY(search::pinyinInitials(U'\U00020000') != 0);  // extension B has readings too
}

void SearchMatching::finds_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected");
    const QStringList invCode{"SA_SaleBillVouch.cInvCode", "IA_Summary.cInvCode"};
    QTest::newRow("exact name, every table") << "cInvCode" << invCode;
    QTest::newRow("case ignored") << "CINVCODE" << invCode;
    QTest::newRow("full-width query") << "ｃｉｎｖ" << invCode;
    QTest::newRow("full-width text") << "abc全" << QStringList{"IA_Summary.cWide"};
    QTest::newRow("pinyin of a meaning") << "chbm" << invCode;
    QTest::newRow("pinyin of a description: the table") << "xsfp" << QStringList{"SA_SaleBillVouch"};
    QTest::newRow("one reading of 行 (and 货核 of a description)")
        << "hh" << QStringList{"IA_Summary", "SA_SaleBillVouch.iRowNo"};
    QTest::newRow("another reading of 行") << "XH" << QStringList{"SA_SaleBillVouch.iRowNo"};
    QTest::newRow("table by description, then its fields by meaning")
        << "存货" << QStringList{"IA_Summary", "SA_SaleBillVouch.cInvCode", "IA_Summary.cInvCode"};
    QTest::newRow("two terms on one row")
        << "sa_  编码" << QStringList{"SA_SaleBillVouch.cCusCode", "SA_SaleBillVouch.cInvCode"};
    QTest::newRow("two terms, one only on the table") << "核算 cinv" << QStringList{"IA_Summary.cInvCode"};
    QTest::newRow("a table name alone brings no fields") << "IA_Summary" << QStringList{"IA_Summary"};
    QTest::newRow("apostrophe and wildcards are letters") << "o'brien%_*[x]" << QStringList{"GL_accvouch.cDigest"};
    QTest::newRow("quotes") << "\"q\"" << QStringList{"GL_accvouch.cDigest"};
    QTest::newRow("% alone") << "%" << QStringList{"GL_accvouch.cDigest"};
    QTest::newRow("emoji") << "📦" << QStringList{"GL_accvouch.cBox"};
    QTest::newRow("extension B") << QString::fromUcs4(U"\U00020000") << QStringList{"GL_accvouch.cRare"};
    QTest::newRow("extension B by its initial") << "hy" << QStringList{"GL_accvouch.cRare"};
    QTest::newRow("end of a 500-character meaning") << "末尾处" << QStringList{"GL_accvouch.cLong"};
    QTest::newRow("field of a table without a name") << "cOrphan" << QStringList{".cOrphan"};
    QTest::newRow("only spaces") << "  \t　 " << QStringList{};
    QTest::newRow("nothing matches") << "zzzq" << QStringList{};
    QTest::newRow("one term of two misses") << "cinvcode zzzq" << QStringList{};
}

void SearchMatching::finds()
{
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    const auto d = sample();
    search::Searcher searcher(search::SearchIndex::build(d));
    QCOMPARE(rows(searcher.find(query), *d), expected);
}

// Exact names, name prefixes, exact meanings, other substrings, pinyin;
// tables before fields of one rank; dictionary order within.
void SearchMatching::ranksInTheGivenOrder()
{
    const auto d = dictionary({
        {"T1", "一", "m", {{"xbm", "x"}, {"bm", "x"}, {"y", "编码"}, {"z", "bm"}, {"bmz", "x"}}},
        {"bm", "二", "m", {{"w", "xbmx"}, {"bm", "x"}}},
        {"T3", "bm", "m", {}},
    });
    search::Searcher searcher(search::SearchIndex::build(d));
    const std::vector<Hit> hits = searcher.find(QStringLiteral("BM"));
    QCOMPARE(rows(hits, *d), (QStringList{"bm", "T1.bm", "bm.bm", "T1.bmz", "T3", "T1.z", "T1.xbm",
                                          "bm.w", "T1.y"}));
    QList<int> ranks;
    for (const Hit &h : hits)
        ranks << h.rank;
    QCOMPARE(ranks, (QList<int>{0, 0, 0, 1, 2, 2, 3, 3, 4}));
}

// The search remembers earlier terms to narrow later ones: every step of
// typing and erasing finds what a fresh search finds.
void SearchMatching::narrowingAsTheUserTypesChangesNothing()
{
    const auto d = sample();
    const auto index = search::SearchIndex::build(d);
    search::Searcher typing(index);
    const QStringList steps{"c", "ch", "chb", "chbm", "chb", "c", "cinv", "cinv 销", "cinv 销售", "o'", "o'b"};
    for (const QString &q : steps) {
        search::Searcher fresh(index);
        QCOMPARE(rows(typing.find(q), *d), rows(fresh.find(q), *d));
    }
}

void SearchMatching::emptyDictionaryFindsNothing()
{
    search::Searcher searcher(search::SearchIndex::build(std::make_shared<dd::Dictionary>()));
    QVERIFY(searcher.find(QStringLiteral("a")).empty());
    QVERIFY(searcher.find(QStringLiteral(" ")).empty());
}

QTEST_APPLESS_MAIN(SearchMatching)
#include "tst_search_matching.moc"
