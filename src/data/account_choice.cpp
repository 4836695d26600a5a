#include "account_choice.h"
#include "connection.h"
#include "error.h"
#include "statements.h"

namespace dd {

QString typedChoice(const QString &text) { return text.trimmed(); }

QString AccountYear::database() const { return sql::accountYearDatabase(id, year); }

AccountYear checkAccountAndYear(Connection &system, const QString &account, const QString &year)
{
    AccountYear chosen;
    chosen.id = typedChoice(account);
    chosen.year = typedChoice(year);
    {
        Recordset rs = system.Execute(sql::accountQuery(), sql::adOptionUnspecified);
        for (; !rs.EOF_(); rs.MoveNext()) {
            const QString id = rs.Fields(0).Value().toString();
            if (typedChoice(id).compare(chosen.id, Qt::CaseInsensitive) == 0) {
                chosen.id = typedChoice(id);
                chosen.entry = sql::accountEntry(id, rs.Fields(1).Value().toString());
                break;
            }
        }
    }
    if (chosen.entry.isEmpty())
        throw Error(3265, QStringLiteral("服务器上没有账套【%1】。").arg(chosen.id));
    bool found = false;
    {
        Recordset rs = system.Execute(sql::yearQuery(chosen.id), sql::adOptionUnspecified);
        for (; !rs.EOF_() && !found; rs.MoveNext())
            found = typedChoice(rs.Fields(0).Value().toString()) == chosen.year;
    }
    if (!found)
        throw Error(3265, QStringLiteral("账套【%1】没有会计年度【%2】。").arg(chosen.id, chosen.year));
    return chosen;
}

}  // namespace dd
