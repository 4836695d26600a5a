#include "account_options.h"
#include "command.h"
#include "console.h"
#include "data/connection.h"
#include "data/public_ado.h"
#include "data/statements.h"
#include <QtGlobal>

namespace dd::cli {

QList<Option> accountOptions()
{
    return {
        {QStringLiteral("server"), QStringLiteral("SERVER"),
         QStringLiteral("SQL Server（host、host\\INSTANCE、host,port、(local)）或字典文件夹"), true},
        {QStringLiteral("account"), QStringLiteral("ID"), QStringLiteral("账套号，如 001"), true},
        {QStringLiteral("year"), QStringLiteral("YEAR"), QStringLiteral("会计年度，如 2011"), true},
    };
}

QString accountSynopsis() { return QStringLiteral("--server SERVER --account ID --year YEAR"); }

QString password()
{
    if (qEnvironmentVariableIsSet("DATADICT_PASSWORD"))
        return qEnvironmentVariable("DATADICT_PASSWORD");
    const PasswordAnswer typed = askPassword(QStringLiteral("sa 的密码："));
    switch (typed.outcome) {
    case PasswordAnswer::Typed:
        return typed.password;
    case PasswordAnswer::Interrupted:
        throw Exit{kInterrupted};
    case PasswordAnswer::EndOfInput:
        throw UsageError{QStringLiteral("没有输入密码：输入在密码之前结束了。")};
    default:
        throw UsageError{QStringLiteral("没有密码：请设置环境变量 DATADICT_PASSWORD，或在终端上运行。")};
    }
}

ConnectionString AccountTarget::database() const
{
    return sql::accountYearConnectionString(choice.database(), server);
}

AccountTarget checkAccount(const Arguments &args, const QString &password)
{
    AccountTarget target;
    target.server = args.value(QStringLiteral("server"));
    target.user = QStringLiteral("sa");
    target.password = password;
    Connection &system = PublicADO::cnSys();
    system.Open(sql::systemConnectionString(target.server), target.user, password,
                sql::adOptionUnspecified);
    try {
        target.choice = checkAccountAndYear(system, args.value(QStringLiteral("account")),
                                            args.value(QStringLiteral("year")));
    } catch (...) {
        system.Close();
        throw;
    }
    system.Close();
    return target;
}

}  // namespace dd::cli
