#pragma once
// Which tables join: links from a field of one table (the child) to the
// single-column key of another (the parent), inferred from the dictionary's
// names and meanings and, when it has been read, the physical catalog's keys
// and declared foreign keys. Built once per dictionary, on any thread; read
// only afterwards, so it may be shared between threads.
//
//   auto relations = Relations::build(dictionary, catalog);   // catalog may be null
//   for (int i : relations->linksOf(table)) relations->links()[i] ...
#include "data/dictionary.h"
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

namespace dd::catalog {
struct Catalog;
}

namespace dd::relations {

// What a link rests on; several may apply.
enum Evidence : unsigned {
    DeclaredKey = 1u << 0,   // 外键: a foreign key the database declares
    SameKeyName = 1u << 1,   // 同名键: the field has the parent key's name (letter case ignored)
    SameMeaning = 1u << 2,   // 含义相同: the meanings are equal (spaces and width ignored)
    MasterDetail = 1u << 3,  // 主子表: the child is the parent's lines table
};
// The evidence words joined by "+", in the order above.
QString evidenceText(unsigned evidence);

enum class Confidence { Low = 0, Medium = 1, High = 2 };
QString confidenceText(Confidence confidence);   // 低, 中, 高
// 高/中/低 (also H/M/L, high/medium/low); false for anything else.
bool confidenceFromText(const QString &text, Confidence *confidence);

struct Link {
    int child = -1;        // Dictionary::tables index
    int childField = -1;   // Dictionary::fields index
    int parent = -1;
    int parentField = -1;  // the parent's single-column key
    unsigned evidence = 0;
    Confidence confidence = Confidence::Low;
    // The two types' lengths when they differ ("20/30"); empty otherwise.
    QString lengthDifference;
};

class Relations {
public:
    // nullptr when *cancel turned true meanwhile.
    static std::shared_ptr<const Relations> build(std::shared_ptr<const Dictionary> dictionary,
                                                  std::shared_ptr<const catalog::Catalog> catalog = nullptr,
                                                  const std::atomic<bool> *cancel = nullptr);

    const Dictionary &dictionary() const { return *dictionary_; }
    bool hasCatalog() const { return hasCatalog_; }

    // Every link, by child table and field in dictionary order.
    const std::vector<Link> &links() const { return links_; }
    // The links a table takes part in (as child or parent), as indexes into
    // links(): strongest first, then by this table's field order.
    const std::vector<int> &linksOf(int table) const;
    // The table of that name (the server's rule for names); -1 when none.
    int tableNamed(const QString &name) const;
    // False only when the catalog says the table holds no rows.
    bool holdsRows(int table) const;
    // Whether the field is its table's single-column key.
    bool isKey(int field) const { return isKey_[size_t(field)] != 0; }

private:
    class Builder;
    std::shared_ptr<const Dictionary> dictionary_;
    bool hasCatalog_ = false;
    std::vector<Link> links_;
    std::vector<std::vector<int>> linksOf_;
    std::vector<char> isKey_;
    std::vector<char> empty_;
    std::vector<std::pair<QString, int>> tableByName_;   // sorted by name key
};

}  // namespace dd::relations
