#include "arguments.h"

namespace dd::cli {

namespace {

const Option *find(const QList<Option> &options, const QString &name)
{
    for (const Option &o : options)
        if (o.name == name)
            return &o;
    return nullptr;
}

bool isHelp(const QString &arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

}  // namespace

Arguments Arguments::parse(const QStringList &args, const QList<Option> &options)
{
    Arguments parsed;
    for (const QString &arg : args)
        if (isHelp(arg)) {
            parsed.help_ = true;
            return parsed;
        }
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (!arg.startsWith(QLatin1String("--")) || arg.size() == 2)
            throw UsageError{QStringLiteral("多余的参数【%1】。").arg(arg)};
        QString name = arg.mid(2);
        QString value;
        bool valueGiven = false;
        const int eq = name.indexOf(QLatin1Char('='));
        if (eq >= 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            valueGiven = true;
        }
        if (name == QLatin1String("password"))
            throw UsageError{QStringLiteral("密码不能写在命令行上：请用环境变量 DATADICT_PASSWORD，或在终端上输入。")};
        const Option *option = find(options, name);
        if (!option)
            throw UsageError{QStringLiteral("不认识的参数【--%1】。").arg(name)};
        if (parsed.values_.contains(name))
            throw UsageError{QStringLiteral("参数 --%1 只能给一次。").arg(name)};
        if (option->valueName.isEmpty()) {
            if (valueGiven)
                throw UsageError{QStringLiteral("参数 --%1 不带值。").arg(name)};
        } else if (!valueGiven) {
            if (i + 1 >= args.size())
                throw UsageError{QStringLiteral("参数 --%1 缺少值。").arg(name)};
            value = args[++i];
        }
        parsed.values_.insert(name, value);
    }
    for (const Option &o : options)
        if (o.required && parsed.value(o.name).isEmpty())
            throw UsageError{QStringLiteral("缺少参数 --%1。").arg(o.name)};
    return parsed;
}

}  // namespace dd::cli
