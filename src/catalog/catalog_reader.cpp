#include "catalog_reader.h"
#include "data/background_work.h"
#include "data/data_source.h"
#include "data/error.h"
#include "data/sql_session.h"
#include "server_catalog.h"

namespace dd::catalog {

Catalog CatalogReader::read(const ConnectionString &target, const QString &user, const QString &password,
                            CancelToken &token, const Progress &progress)
{
    const CancelToken::Scope scope(&token);
    return read(target, user, password, progress, token.flag());
}

Catalog CatalogReader::read(const ConnectionString &target, const QString &user, const QString &password,
                            const Progress &progress, const std::atomic<bool> *cancel)
{
    const ReadControl control{progress, cancel};
    try {
        if (control.stopped())
            throw readStopped();
        const bool local = resolveDataSource(target.dataSource()).kind == DataTarget::SqliteFolder;
        const std::unique_ptr<SqlSession> session = SqlSession::open(target, user, password);
        if (control.stopped())
            throw readStopped();
        return local ? readSqliteCatalog(*session, control) : readServerCatalog(*session, control);
    } catch (const Error &) {
        // A statement cancelled from another thread ends in whatever error
        // its driver reports; the flag says what happened.
        if (control.stopped())
            throw readStopped();
        throw;
    }
}

}  // namespace dd::catalog
