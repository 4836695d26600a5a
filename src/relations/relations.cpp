#include "relations.h"
#include "naming_rules.h"
#include "catalog/catalog.h"
#include "data/object_names.h"
#include <QHash>
#include <QSet>
#include <algorithm>

namespace dd::relations {

namespace {

// A name or meaning found in at least this many tables (or this share of
// them) is a hub: 制单人, 日期, 行号, AutoID. A link that rests on a hub
// counts for little unless its parent is plainly that thing's master table.
constexpr int kHubTables = 8;
constexpr int kHubShareDivisor = 20;
// A name or meaning that is the key of more tables than this, none of them
// plainly its master, links to none of them: the parent cannot be told.
constexpr int kMaxParents = 3;
// A master file's code stands among its first fields.
constexpr int kMasterCodeWithin = 3;

// Points that make a link's confidence: 高 from kHigh, 中 from kMedium.
constexpr int kHigh = 4;
constexpr int kMedium = 2;

int intern(QHash<QString, int> &ids, const QString &text)
{
    auto it = ids.constFind(text);
    if (it != ids.cend())
        return *it;
    const int id = int(ids.size());
    ids.insert(text, id);
    return id;
}

quint64 pairKey(int a, int b) { return (quint64(quint32(a)) << 32) | quint32(b); }

}  // namespace

QString evidenceText(unsigned evidence)
{
    QStringList words;
    if (evidence & DeclaredKey)
        words << QStringLiteral("外键");
    if (evidence & SameKeyName)
        words << QStringLiteral("同名键");
    if (evidence & SameMeaning)
        words << QStringLiteral("含义相同");
    if (evidence & MasterDetail)
        words << QStringLiteral("主子表");
    return words.join(QLatin1Char('+'));
}

QString confidenceText(Confidence confidence)
{
    switch (confidence) {
    case Confidence::High:
        return QStringLiteral("高");
    case Confidence::Medium:
        return QStringLiteral("中");
    default:
        return QStringLiteral("低");
    }
}

bool confidenceFromText(const QString &text, Confidence *confidence)
{
    const QString t = text.trimmed().toLower();
    if (t == u"高" || t == u"h" || t == u"high")
        *confidence = Confidence::High;
    else if (t == u"中" || t == u"m" || t == u"medium")
        *confidence = Confidence::Medium;
    else if (t == u"低" || t == u"l" || t == u"low")
        *confidence = Confidence::Low;
    else
        return false;
    return true;
}

class Relations::Builder {
public:
    Builder(Relations &r, const catalog::Catalog *catalog, const std::atomic<bool> *cancel)
        : r_(r), d_(*r.dictionary_), catalog_(catalog), cancel_(cancel)
    {
    }

    bool run()
    {
        internTexts();
        if (stopped())
            return false;
        findKeys();
        if (stopped())
            return false;
        indexKeys();
        linkDetailsToHeaders();
        if (stopped())
            return false;
        linkByNameAndMeaning();
        if (stopped())
            return false;
        orderLinks();
        return true;
    }

private:
    struct Parents {
        std::vector<int> keys;   // key fields
        bool ambiguous = false;
        bool computed = false;
    };

    bool stopped() const { return cancel_ && cancel_->load(); }
    int tableOfField(int field) const { return d_.fields[size_t(field)].table; }

    void internTexts()
    {
        const size_t fields = d_.fields.size();
        nameId_.resize(fields);
        meaningId_.resize(fields, -1);
        typeId_.resize(fields);
        QHash<QString, int> names, meanings, types;
        // The texts as written: most repeat, and are folded once.
        QHash<QString, int> rawNames, rawMeanings;
        names.reserve(1024);
        std::vector<int> nameStamp, meaningStamp;
        for (size_t t = 0; t < d_.tables.size(); ++t) {
            const DictionaryTable &table = d_.tables[t];
            for (int f = table.firstField; f < table.firstField + table.fieldCount; ++f) {
                const DictionaryField &field = d_.fields[size_t(f)];
                auto raw = rawNames.constFind(field.name);
                if (raw == rawNames.cend())
                    raw = rawNames.insert(field.name, intern(names, nameKey(field.name)));
                const int n = *raw;
                nameId_[size_t(f)] = n;
                if (size_t(n) >= nameStamp.size()) {
                    nameStamp.push_back(-1);
                    tablesWithName_.push_back(0);
                }
                if (nameStamp[size_t(n)] != int(t)) {
                    nameStamp[size_t(n)] = int(t);
                    ++tablesWithName_[size_t(n)];
                }
                auto rawMeaning = rawMeanings.constFind(field.meaning);
                if (rawMeaning == rawMeanings.cend()) {
                    const QString meaning = rules::meaningKey(field.meaning);
                    const int id = meaning.isEmpty() ? -1 : intern(meanings, meaning);
                    if (id >= 0 && size_t(id) >= meaningText_.size())
                        meaningText_.push_back(meaning);
                    rawMeaning = rawMeanings.insert(field.meaning, id);
                }
                if (*rawMeaning >= 0) {
                    const int m = *rawMeaning;
                    meaningId_[size_t(f)] = m;
                    if (size_t(m) >= meaningStamp.size()) {
                        meaningStamp.push_back(-1);
                        tablesWithMeaning_.push_back(0);
                    }
                    if (meaningStamp[size_t(m)] != int(t)) {
                        meaningStamp[size_t(m)] = int(t);
                        ++tablesWithMeaning_[size_t(m)];
                    }
                }
                const int ty = intern(types, field.type);
                if (size_t(ty) >= typeFacts_.size())
                    typeFacts_.push_back(rules::typeFacts(field.type));
                typeId_[size_t(f)] = ty;
            }
        }
        tableNameKey_.reserve(d_.tables.size());
        descriptionKey_.reserve(d_.tables.size());
        for (const DictionaryTable &table : d_.tables) {
            tableNameKey_.push_back(nameKey(table.name));
            descriptionKey_.push_back(rules::meaningKey(table.description));
        }
        r_.tableByName_.reserve(d_.tables.size());
        for (size_t t = 0; t < d_.tables.size(); ++t)
            r_.tableByName_.emplace_back(tableNameKey_[t], int(t));
        std::stable_sort(r_.tableByName_.begin(), r_.tableByName_.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        const int tables = int(d_.tables.size());
        hubTables_ = std::max(kHubTables, tables / kHubShareDivisor);
    }

    int fieldNamed(int table, const QString &name) const
    {
        const DictionaryTable &t = d_.tables[size_t(table)];
        const QString key = nameKey(name);
        for (int f = t.firstField; f < t.firstField + t.fieldCount; ++f)
            if (nameKey(d_.fields[size_t(f)].name) == key)
                return f;
        return -1;
    }

    // Keys: the catalog's single-column primary and unique keys where the
    // catalog knows the table and gives it any; the dictionary's
    // identifying first field otherwise. Declared foreign keys become links.
    void findKeys()
    {
        r_.isKey_.assign(d_.fields.size(), 0);
        r_.empty_.assign(d_.tables.size(), 0);
        std::vector<char> keyed(d_.tables.size(), 0);
        if (catalog_) {
            r_.hasCatalog_ = true;
            QHash<QString, int> physical;
            for (size_t p = 0; p < catalog_->tables.size(); ++p)
                physical.insert(nameKey(catalog_->tables[p].name), int(p));
            for (size_t t = 0; t < d_.tables.size(); ++t) {
                const auto it = physical.constFind(tableNameKey_[t]);
                if (it == physical.cend())
                    continue;
                const catalog::Table &pt = catalog_->tables[size_t(*it)];
                if (pt.rowCount == 0)
                    r_.empty_[t] = 1;
                bool anyKey = false;
                for (const catalog::Key &key : pt.keys) {
                    if (key.kind == catalog::Key::Index)
                        continue;
                    anyKey = true;
                    if (key.columns.size() == 1) {
                        const int f = fieldNamed(int(t), key.columns.first());
                        if (f >= 0)
                            r_.isKey_[size_t(f)] = 1;
                    }
                }
                if (pt.keys.empty()) {
                    int primary = -1, count = 0;
                    for (size_t c = 0; c < pt.columns.size(); ++c)
                        if (pt.columns[c].keys & catalog::PrimaryKey) {
                            primary = int(c);
                            ++count;
                        }
                    if (count > 0)
                        anyKey = true;
                    if (count == 1) {
                        const int f = fieldNamed(int(t), pt.columns[size_t(primary)].name);
                        if (f >= 0)
                            r_.isKey_[size_t(f)] = 1;
                    }
                }
                keyed[t] = anyKey;
            }
            for (size_t t = 0; t < d_.tables.size(); ++t) {
                const auto it = physical.constFind(tableNameKey_[t]);
                if (it == physical.cend())
                    continue;
                const catalog::Table &table = catalog_->tables[size_t(*it)];
                for (const catalog::ForeignReference &reference : table.references) {
                    const int child = fieldNamed(int(t), table.columns[size_t(reference.column)].name);
                    QString target = reference.table;
                    if (target.startsWith(QLatin1String("dbo."), Qt::CaseInsensitive))
                        target = target.mid(4);
                    const int parent = r_.tableNamed(target);
                    const int parentField = parent >= 0 ? fieldNamed(parent, reference.targetColumn) : -1;
                    if (child < 0 || parentField < 0 || parent == int(t))
                        continue;
                    r_.isKey_[size_t(parentField)] = 1;
                    keyed[size_t(parent)] = 1;
                    Link link;
                    link.child = int(t);
                    link.childField = child;
                    link.parent = parent;
                    link.parentField = parentField;
                    link.evidence = DeclaredKey;
                    link.confidence = Confidence::High;
                    addLink(link);
                }
            }
        }
        for (size_t t = 0; t < d_.tables.size(); ++t)
            if (!keyed[t])
                inferKey(int(t));
    }

    // A table's identifying first field: its name or meaning says code or
    // id, and no other field of the table repeats its name or meaning. And
    // where a master file puts an id first, the code of the thing its
    // description names, among its first fields (存货编码 in 存货档案).
    void inferKey(int table)
    {
        const DictionaryTable &t = d_.tables[size_t(table)];
        if (t.fieldCount == 0)
            return;
        const int first = t.firstField;
        const int m = meaningId_[size_t(first)];
        if ((rules::namesCode(nameKeyOf(first)) || (m >= 0 && rules::meansCode(meaningText_[size_t(m)])))
            && unrepeated(table, first))
            r_.isKey_[size_t(first)] = 1;
        for (int f = first + 1; f < first + std::min(t.fieldCount, kMasterCodeWithin); ++f)
            if (meaningId_[size_t(f)] >= 0 && masterLevel(f) == 2 && unrepeated(table, f)) {
                r_.isKey_[size_t(f)] = 1;
                break;
            }
    }

    bool unrepeated(int table, int field) const
    {
        const DictionaryTable &t = d_.tables[size_t(table)];
        const int m = meaningId_[size_t(field)];
        for (int f = t.firstField; f < t.firstField + t.fieldCount; ++f)
            if (f != field && (nameId_[size_t(f)] == nameId_[size_t(field)] || (m >= 0 && meaningId_[size_t(f)] == m)))
                return false;
        return true;
    }

    QString nameKeyOf(int field) const { return nameKey(d_.fields[size_t(field)].name); }

    void indexKeys()
    {
        keysByName_.resize(tablesWithName_.size());
        keysByMeaning_.resize(tablesWithMeaning_.size());
        keysOfTable_.resize(d_.tables.size());
        for (size_t f = 0; f < d_.fields.size(); ++f) {
            if (!r_.isKey_[f])
                continue;
            keysByName_[size_t(nameId_[f])].keys.push_back(int(f));
            if (meaningId_[f] >= 0)
                keysByMeaning_[size_t(meaningId_[f])].keys.push_back(int(f));
            keysOfTable_[size_t(d_.fields[f].table)].push_back(int(f));
        }
    }

    // How plainly the key's table is the master of what the key's code
    // stands for (存货编码 in 存货档案: 2; in 存货价格表: 1).
    int masterLevel(int key) const
    {
        const int m = meaningId_[size_t(key)];
        if (m < 0)
            return 0;
        return rules::describesMasterOf(descriptionKey_[size_t(tableOfField(key))],
                                        rules::codedThing(meaningText_[size_t(m)]));
    }
    bool isMasterKey(int key) const { return masterLevel(key) > 0; }

    // The parents a name or a meaning leads to: one key; the one key among
    // several whose table is plainly the master, or whose table's name the
    // others' names extend (Item and Item_Price); a few, ambiguous; none
    // when there are more.
    const Parents &resolve(Parents &p)
    {
        if (p.computed)
            return p;
        p.computed = true;
        if (p.keys.size() <= 1)
            return p;
        for (int level = 2; level >= 1; --level) {
            std::vector<int> masters;
            for (int k : p.keys)
                if (masterLevel(k) >= level)
                    masters.push_back(k);
            if (masters.size() == 1) {
                p.keys = masters;
                return p;
            }
            if (masters.size() > 1)
                break;
        }
        if (p.keys.size() > size_t(kMaxParents)) {
            p.keys.clear();
            return p;
        }
        for (int k : p.keys) {
            const QString &base = tableNameKey_[size_t(tableOfField(k))];
            bool extended = true;
            for (int other : p.keys)
                if (other != k && !tableNameKey_[size_t(tableOfField(other))].startsWith(base))
                    extended = false;
            if (extended) {
                p.keys = {k};
                return p;
            }
        }
        p.ambiguous = true;
        return p;
    }

    // A lines table and its header: the header's key repeated in a table
    // whose name or description marks it as the header's lines.
    void linkDetailsToHeaders()
    {
        QHash<QString, std::vector<int>> byHeaderStem;
        for (size_t t = 0; t < d_.tables.size(); ++t)
            if (!descriptionKey_[t].isEmpty())
                byHeaderStem[rules::headerStem(descriptionKey_[t])].push_back(int(t));
        for (size_t c = 0; c < d_.tables.size(); ++c) {
            std::vector<int> headers;
            for (const QString &name : rules::headerNamesOf(tableNameKey_[c])) {
                const int h = r_.tableNamed(name);
                if (h >= 0 && h != int(c))
                    headers.push_back(h);
            }
            const QString stem = rules::headerDescriptionOf(descriptionKey_[c]);
            if (!stem.isEmpty()) {
                const auto it = byHeaderStem.constFind(stem);
                if (it != byHeaderStem.cend())
                    for (int h : *it)
                        if (h != int(c) && std::find(headers.begin(), headers.end(), h) == headers.end())
                            headers.push_back(h);
            }
            for (int h : headers) {
                masterDetail_.insert(pairKey(int(c), h));
                for (int key : keysOfTable_[size_t(h)]) {
                    const int f = matchingField(int(c), key);
                    if (f < 0)
                        continue;
                    Link link;
                    link.child = int(c);
                    link.childField = f;
                    link.parent = h;
                    link.parentField = key;
                    link.evidence = MasterDetail | sameness(f, key);
                    link.confidence = Confidence::High;
                    addLink(link);
                }
            }
        }
    }

    // The table's field with the key's name, else with its meaning.
    int matchingField(int table, int key) const
    {
        const DictionaryTable &t = d_.tables[size_t(table)];
        int byMeaning = -1;
        for (int f = t.firstField; f < t.firstField + t.fieldCount; ++f) {
            if (nameId_[size_t(f)] == nameId_[size_t(key)])
                return f;
            if (byMeaning < 0 && meaningId_[size_t(key)] >= 0 && meaningId_[size_t(f)] == meaningId_[size_t(key)])
                byMeaning = f;
        }
        return byMeaning;
    }

    unsigned sameness(int field, int key) const
    {
        unsigned e = 0;
        if (nameId_[size_t(field)] == nameId_[size_t(key)])
            e |= SameKeyName;
        if (meaningId_[size_t(field)] >= 0 && meaningId_[size_t(field)] == meaningId_[size_t(key)])
            e |= SameMeaning;
        return e;
    }

    void linkByNameAndMeaning()
    {
        std::vector<int> candidates;
        for (size_t f = 0; f < d_.fields.size(); ++f) {
            if ((f & 0xFFF) == 0 && stopped())
                return;
            candidates.clear();
            bool ambiguous = false;
            const Parents &byName = resolve(keysByName_[size_t(nameId_[f])]);
            candidates = byName.keys;
            ambiguous = byName.ambiguous;
            const int m = meaningId_[f];
            bool ambiguousMeaning = false;
            if (m >= 0) {
                const Parents &byMeaning = resolve(keysByMeaning_[size_t(m)]);
                ambiguousMeaning = byMeaning.ambiguous;
                for (int k : byMeaning.keys)
                    if (std::find(candidates.begin(), candidates.end(), k) == candidates.end())
                        candidates.push_back(k);
            }
            const int child = d_.fields[f].table;
            for (int key : candidates) {
                const int parent = tableOfField(key);
                if (parent == child)
                    continue;
                const bool lines = masterDetail_.contains(pairKey(child, parent));
                if (r_.isKey_[f] && !lines)
                    continue;   // a table's own key names that table's rows, not another's
                Link link;
                link.child = child;
                link.childField = int(f);
                link.parent = parent;
                link.parentField = key;
                link.evidence = sameness(int(f), key) | (lines ? MasterDetail : 0u);
                const bool viaName = link.evidence & SameKeyName;
                link.confidence = lines ? Confidence::High
                                        : judge(int(f), key, viaName ? ambiguous : ambiguousMeaning);
                addLink(link);
            }
        }
    }

    Confidence judge(int field, int key, bool ambiguous) const
    {
        const bool sameName = nameId_[size_t(field)] == nameId_[size_t(key)];
        const int m = meaningId_[size_t(field)];
        const bool sameMeaning = m >= 0 && m == meaningId_[size_t(key)];
        int points = 0;
        if (sameName)
            points += 2;
        if (sameMeaning)
            points += 2;
        // The meanings agree when equal, when either is missing, or when both
        // are codes of one thing (存货编码, 存货代码).
        const int keyMeaning = meaningId_[size_t(key)];
        bool meaningAgrees = sameMeaning || m < 0 || keyMeaning < 0;
        if (!meaningAgrees) {
            const QString thing = rules::codedThing(meaningText_[size_t(m)]);
            meaningAgrees = !thing.isEmpty() && thing == rules::codedThing(meaningText_[size_t(keyMeaning)]);
        }
        // One name, two things: a key here, a plain column of another meaning there.
        if (sameName && !meaningAgrees)
            points -= 2;
        const int types = rules::typeAgreement(typeFacts_[size_t(typeId_[size_t(field)])],
                                               typeFacts_[size_t(typeId_[size_t(key)])]);
        points += types > 0 ? 1 : types < 0 ? -2 : 0;
        // The parent is plainly the master of what the field holds, unless
        // the field's own meaning says it holds something else.
        const bool master = !ambiguous && meaningAgrees && isMasterKey(key);
        if (master)
            points += 1;
        // Several parents alike: which one is meant is a guess.
        if (ambiguous)
            points -= 4;
        const int found = sameName ? tablesWithName_[size_t(nameId_[size_t(field)])]
                                   : tablesWithMeaning_[size_t(m)];
        if (found >= hubTables_ && !master)
            points -= 4;
        return points >= kHigh ? Confidence::High : points >= kMedium ? Confidence::Medium : Confidence::Low;
    }

    // One link per child field and parent key; evidence found twice is merged.
    void addLink(Link link)
    {
        const quint64 k = pairKey(link.childField, link.parentField);
        const auto it = linkIndex_.constFind(k);
        if (it != linkIndex_.cend()) {
            Link &existing = r_.links_[size_t(*it)];
            existing.evidence |= link.evidence;
            existing.confidence = std::max(existing.confidence, link.confidence);
            return;
        }
        const rules::TypeFacts &a = typeFacts_[size_t(typeId_[size_t(link.childField)])];
        const rules::TypeFacts &b = typeFacts_[size_t(typeId_[size_t(link.parentField)])];
        if (!a.length.isEmpty() && !b.length.isEmpty() && a.length.compare(b.length, Qt::CaseInsensitive) != 0)
            link.lengthDifference = a.length + QLatin1Char('/') + b.length;
        linkIndex_.insert(k, int(r_.links_.size()));
        r_.links_.push_back(std::move(link));
    }

    void orderLinks()
    {
        std::stable_sort(r_.links_.begin(), r_.links_.end(), [](const Link &a, const Link &b) {
            return a.child != b.child ? a.child < b.child
                   : a.childField != b.childField ? a.childField < b.childField
                                                  : a.parent < b.parent;
        });
        r_.linksOf_.assign(d_.tables.size(), {});
        for (size_t i = 0; i < r_.links_.size(); ++i) {
            const Link &l = r_.links_[i];
            r_.linksOf_[size_t(l.child)].push_back(int(i));
            r_.linksOf_[size_t(l.parent)].push_back(int(i));
        }
        const auto &links = r_.links_;
        for (size_t t = 0; t < r_.linksOf_.size(); ++t) {
            const int table = int(t);
            std::stable_sort(r_.linksOf_[t].begin(), r_.linksOf_[t].end(), [&](int x, int y) {
                const Link &a = links[size_t(x)], &b = links[size_t(y)];
                if (a.confidence != b.confidence)
                    return a.confidence > b.confidence;
                const bool aRefers = a.child == table, bRefers = b.child == table;
                if (aRefers != bRefers)
                    return aRefers;
                const int aOwn = aRefers ? a.childField : a.parentField;
                const int bOwn = bRefers ? b.childField : b.parentField;
                if (aOwn != bOwn)
                    return aOwn < bOwn;
                return (aRefers ? a.parent : a.child) < (bRefers ? b.parent : b.child);
            });
        }
    }

    Relations &r_;
    const Dictionary &d_;
    const catalog::Catalog *catalog_;
    const std::atomic<bool> *cancel_;
    std::vector<int> nameId_, meaningId_, typeId_;
    std::vector<int> tablesWithName_, tablesWithMeaning_;
    std::vector<QString> meaningText_;
    std::vector<rules::TypeFacts> typeFacts_;
    std::vector<QString> tableNameKey_, descriptionKey_;
    std::vector<Parents> keysByName_, keysByMeaning_;
    std::vector<std::vector<int>> keysOfTable_;
    QSet<quint64> masterDetail_;
    QHash<quint64, int> linkIndex_;
    int hubTables_ = kHubTables;
};

std::shared_ptr<const Relations> Relations::build(std::shared_ptr<const Dictionary> dictionary,
                                                  std::shared_ptr<const catalog::Catalog> catalog,
                                                  const std::atomic<bool> *cancel)
{
    auto relations = std::make_shared<Relations>();
    relations->dictionary_ = dictionary ? std::move(dictionary) : std::make_shared<const Dictionary>();
    Builder builder(*relations, catalog.get(), cancel);
    if (!builder.run())
        return nullptr;
    return relations;
}

const std::vector<int> &Relations::linksOf(int table) const
{
    static const std::vector<int> none;
    return table >= 0 && size_t(table) < linksOf_.size() ? linksOf_[size_t(table)] : none;
}

int Relations::tableNamed(const QString &name) const
{
    const QString key = nameKey(name);
    const auto it = std::lower_bound(tableByName_.begin(), tableByName_.end(), key,
                                     [](const auto &entry, const QString &k) { return entry.first < k; });
    return it != tableByName_.end() && it->first == key ? it->second : -1;
}

bool Relations::holdsRows(int table) const
{
    return table < 0 || size_t(table) >= empty_.size() || !empty_[size_t(table)];
}

}  // namespace dd::relations
