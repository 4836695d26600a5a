#pragma once
// Helpers of the login-window tests: dictionary folders, the server's own
// answers to the account and year queries, and a shown login window.
#include "test_folder.h"
#include <QString>
#include <QStringList>

namespace logintest {

// Three accounts, listed by the server in this order: 002 (two years),
// 001 (three years) and 005 (no period rows).
void writeThreeAccounts(ddtest::DictionaryFolder &folder);

// svsystem.db holding ua_account but no UA_Period table, so that every year
// query fails on the server.
void writeAccountsWithoutPeriodTable(const QString &folder, const QStringList &ids);

// What the server answers, read through a connection of its own.
QStringList accountEntries(const QString &folder);
QStringList years(const QString &folder, const QString &accountId);

// Loads the login window with this server in its server box and waits
// until it is the active window.
void openLogin(const QString &server);

// Closes the shared connection and recordsets and discards every window.
void resetAll();

}  // namespace logintest
