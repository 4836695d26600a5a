#include "relations_source.h"
#include "catalog/catalog_reader.h"
#include "console.h"
#include "data/dictionary_reader.h"

namespace dd::cli {

std::shared_ptr<const relations::Relations> readRelations(const AccountTarget &target, BackgroundWork &work)
{
    const ConnectionString database = target.database();
    ProgressLine line;
    std::shared_ptr<const Dictionary> dictionary;
    try {
        dictionary = std::make_shared<const Dictionary>(DictionaryReader::read(
            database, target.user, target.password,
            [&line](int fields) {
                line.show(QStringLiteral("正在读取字典：%1 个字段").arg(fields));
                return true;
            },
            work.token().flag()));
    } catch (const Error &) {
        line.end();
        throw;
    }
    line.show(QStringLiteral("正在读取实际结构…"));
    std::shared_ptr<const catalog::Catalog> catalog;
    try {
        catalog = std::make_shared<const catalog::Catalog>(catalog::CatalogReader::read(
            database, target.user, target.password, {}, work.token().flag()));
    } catch (const Error &e) {
        line.end();
        work.token().throwIfCancelled();
        printError(QStringLiteral("实际结构读取失败，只按数据字典推断：") + e.Description());
    }
    line.show(QStringLiteral("正在分析表间关联…"));
    auto built = relations::Relations::build(dictionary, catalog, work.token().flag());
    line.end();
    work.token().throwIfCancelled();
    return built;
}

}  // namespace dd::cli
