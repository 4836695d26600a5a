#pragma once
// An account and a fiscal year named by text (the command line), checked
// against the lists the system database keeps, as the login window offers
// them.
#include <QString>

namespace dd {

class Connection;

// How a typed account id or year is read everywhere: blanks around it go.
QString typedChoice(const QString &text);

struct AccountYear {
    QString id;      // as the server lists it, less blanks around it
    QString year;    // as typed, less blanks around it
    QString entry;   // "[id]name" as the login window lists it
    QString database() const;  // the account-year database
};

// Over an open connection to the system database: the account query, then
// the account's years. Throws Error naming whichever the server does not
// list (letter case of the id ignored, like the server's comparison).
AccountYear checkAccountAndYear(Connection &system, const QString &account, const QString &year);

}  // namespace dd
