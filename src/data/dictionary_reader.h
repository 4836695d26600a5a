#pragma once
// Reads the whole dictionary of an account-year database with two read-only
// statements on a connection of its own. Usable on any thread: the
// connection is made, used and closed on the thread that calls read().
#include "connection_string.h"
#include "dictionary.h"
#include "error.h"
#include <QString>
#include <atomic>
#include <functional>

namespace dd {

class CancelToken;

class DictionaryReader {
public:
    // Told the number of fields read so far, now and then (a block of rows
    // at a time). Returning false stops the read.
    using Progress = std::function<bool(int fieldsRead)>;

    // Throws Error: the server's or driver's failure, or readStopped() when
    // progress returned false or *cancel was set (whatever the driver said
    // about the statement it was running then).
    static Dictionary read(const ConnectionString &target, const QString &user,
                           const QString &password, const Progress &progress = {},
                           const std::atomic<bool> *cancel = nullptr);
    // The same under a cancel token (BackgroundWork::token()): its cancel()
    // also cancels the statement running.
    static Dictionary read(const ConnectionString &target, const QString &user,
                           const QString &password, CancelToken &token,
                           const Progress &progress = {});

    // The statements it sends (read-only, literal-free).
    static QString tablesStatement();
    static QString fieldsStatement();

    // The error a stopped read ends in.
    static bool isCancelled(const Error &e);
};

}  // namespace dd
