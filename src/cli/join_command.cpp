// `datadict join`: the SELECT that joins the tables named, along the best
// path between them, to standard output.
#include "account_options.h"
#include "command.h"
#include "console.h"
#include "interrupt.h"
#include "relations_source.h"
#include "relations/join_statement.h"

namespace dd::cli {

namespace {

using namespace dd::relations;

int writeJoin(const Arguments &args)
{
    QStringList names;
    for (const QString &name : args.value(QStringLiteral("tables")).split(QLatin1Char(',')))
        if (!name.trimmed().isEmpty())
            names << name.trimmed();
    if (names.size() < 2)
        throw UsageError{QStringLiteral("--tables 至少要列出两个表，以逗号分隔。")};
    const QString pw = password();

    return runInterruptible([&](BackgroundWork &work) {
        const AccountTarget target = checkAccount(args, pw);
        const auto relations = readRelations(target, work);
        std::vector<int> tables;
        QStringList missing;
        for (const QString &name : names) {
            const int t = relations->tableNamed(name);
            if (t < 0)
                missing << name;
            else
                tables.push_back(t);
        }
        if (!missing.isEmpty())
            throw Error(errc::BadArgument,
                        QStringLiteral("数据字典中没有表【%1】。").arg(missing.join(QStringLiteral("】【"))));
        printOut(joinStatement(*relations, planJoin(*relations, tables)));
        return kSucceeded;
    });
}

const CommandRegistration registered([] {
    Command c;
    c.name = QStringLiteral("join");
    c.order = 50;
    c.synopsis = {QStringLiteral("datadict join ") + accountSynopsis() + QStringLiteral(" --tables T1,T2[,...]")};
    c.summary = QStringLiteral("把连接这些表的查询语句写到标准输出（每两个表之间至多三次连接）");
    c.optionsTitle = QStringLiteral("关联查询选项");
    c.options = accountOptions();
    c.options << Option{QStringLiteral("tables"), QStringLiteral("T1,T2"), QStringLiteral("要连接的表，以逗号分隔"), true};
    c.run = writeJoin;
    return c;
}());

}  // namespace

}  // namespace dd::cli
