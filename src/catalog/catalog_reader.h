#pragma once
// Reads the physical catalog of one account-year database: every user table
// and view with its columns, keys and approximate row count, in one pass of a
// fixed handful of read-only statements for the whole database, on a
// connection of its own. Usable on any thread: the connection is made, used
// and closed on the thread that calls read().
#include "catalog/catalog.h"
#include "data/connection_string.h"
#include <QString>
#include <atomic>
#include <functional>

namespace dd {
class CancelToken;
}

namespace dd::catalog {

class CatalogReader {
public:
    // Told the number of tables read so far, now and then. Returning false
    // stops the read.
    using Progress = std::function<bool(int tablesRead)>;

    // SQL Server 2005 and later are read from sys.*, SQL Server 2000 from
    // sysobjects and its kin (chosen by the server's version, and taken when
    // sys.* is refused as an unknown object); a SQLite file from
    // sqlite_master and its pragmas.
    // Throws dd::Error: the server's or driver's failure, or the cancelled
    // error of DictionaryReader when progress returned false or cancel was set.
    static Catalog read(const ConnectionString &target, const QString &user,
                        const QString &password, const Progress &progress = {},
                        const std::atomic<bool> *cancel = nullptr);
    // The same under a cancel token (BackgroundWork::token()): its cancel()
    // also cancels the statement running.
    static Catalog read(const ConnectionString &target, const QString &user,
                        const QString &password, CancelToken &token, const Progress &progress = {});
};

}  // namespace dd::catalog
