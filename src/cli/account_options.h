#pragma once
// What every command over an account-year database shares: the options
// --server, --account and --year, the password, and the check of the
// account and year against the server's lists before anything is read.
#include "arguments.h"
#include "data/account_choice.h"
#include "data/connection_string.h"
#include <QList>
#include <QString>

namespace dd::cli {

QList<Option> accountOptions();
// "--server SERVER --account ID --year YEAR", for a synopsis.
QString accountSynopsis();

// DATADICT_PASSWORD, or asked on the terminal. Throws UsageError when there
// is none to be had; ends the program (echo restored) on Ctrl+C at the
// prompt.
QString password();

struct AccountTarget {
    QString server;
    QString user;      // "sa"
    QString password;
    AccountYear choice;
    // The account-year database, for the readers.
    ConnectionString database() const;
};

// Connects to the server's system database with the password, checks the
// account and year, and disconnects. Throws Error (run it inside
// runInterruptible: a silent server is then interruptible too).
AccountTarget checkAccount(const Arguments &args, const QString &password);

}  // namespace dd::cli
