#include "command_line.h"
#include "data/connection.h"
#include "data/error.h"
#include "data/public_ado.h"
#include "data/statements.h"
#include "export_job.h"
#include "output_file.h"
#include "terminal.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QMap>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace dd::exporting {

namespace {

constexpr int kFailed = 1;     // the export could not be made
constexpr int kUsage = 2;      // the command line itself is wrong
constexpr int kInterrupted = 130;

const char kUsageText[] =
    "用法:\n"
    "  datadict                         打开登录窗口\n"
    "  datadict SERVER                  打开登录窗口，服务器框填入 SERVER\n"
    "  datadict export --server SERVER --account ID --year YEAR [--module NAME]\n"
    "                  --format xlsx|csv|md|html --output FILE\n"
    "                                   导出账套 ID 在 YEAR 年的数据字典（指定 --module 时只导出该模块）\n"
    "  datadict --help                  显示本说明\n"
    "  datadict --version               显示版本\n"
    "\n"
    "导出选项:\n"
    "  --server SERVER   SQL Server（host、host\\INSTANCE、host,port、(local)）或字典文件夹\n"
    "  --account ID      账套号，如 001\n"
    "  --year YEAR       会计年度，如 2011\n"
    "  --module NAME     只导出这个模块的表\n"
    "  --format FORMAT   xlsx（Excel 工作簿）、csv、md（Markdown）或 html（网页）\n"
    "  --output FILE     目标文件；- 表示标准输出（仅 csv 和 md）\n"
    "\n"
    "sa 的密码取自环境变量 DATADICT_PASSWORD，没有时在终端上询问（不回显）。\n"
    "成功时退出状态为 0；失败时为非 0，原因写到标准错误。\n";

std::atomic<bool> interrupted{false};

void onInterrupt(int)
{
    interrupted = true;
}

struct UsageError {
    QString text;
};

QMap<QString, QString> parseOptions(const QStringList &args)
{
    static const QStringList known = {QStringLiteral("server"), QStringLiteral("account"),
                                      QStringLiteral("year"), QStringLiteral("module"),
                                      QStringLiteral("format"), QStringLiteral("output")};
    QMap<QString, QString> options;
    for (int i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        if (!arg.startsWith(QStringLiteral("--")))
            throw UsageError{QStringLiteral("多余的参数【%1】。").arg(arg)};
        arg = arg.mid(2);
        QString value;
        const int eq = arg.indexOf(QLatin1Char('='));
        if (eq >= 0) {
            value = arg.mid(eq + 1);
            arg = arg.left(eq);
        } else {
            if (i + 1 >= args.size())
                throw UsageError{QStringLiteral("参数 --%1 缺少值。").arg(arg)};
            value = args[++i];
        }
        if (arg == QLatin1String("password"))
            throw UsageError{QStringLiteral("密码不能写在命令行上：请用环境变量 DATADICT_PASSWORD，或在终端上输入。")};
        if (!known.contains(arg))
            throw UsageError{QStringLiteral("不认识的参数【--%1】。").arg(arg)};
        options.insert(arg, value);
    }
    for (const char *required : {"server", "account", "year", "format", "output"})
        if (options.value(QString::fromLatin1(required)).isEmpty())
            throw UsageError{QStringLiteral("缺少参数 --%1。").arg(QString::fromLatin1(required))};
    return options;
}

QString password()
{
    if (const char *env = std::getenv("DATADICT_PASSWORD"))
        return QString::fromUtf8(env);
    if (auto typed = askPassword(QStringLiteral("sa 的密码：")))
        return *typed;
    throw UsageError{QStringLiteral("没有密码：请设置环境变量 DATADICT_PASSWORD，或在终端上运行。")};
}

// The account entry "[id]name" of an account the server lists, checked
// together with the year; Error naming whichever is unknown.
QString checkAccountAndYear(const QString &server, const QString &pw, const QString &account,
                            const QString &year)
{
    Connection &cnSys = PublicADO::cnSys();
    cnSys.Open(sql::systemConnectionString(server), QStringLiteral("sa"), pw, sql::adOptionUnspecified);
    QString entry;
    {
        Recordset rs;
        rs = cnSys.Execute(sql::accountQuery(), sql::adOptionUnspecified);
        for (; !rs.EOF_(); rs.MoveNext())
            if (rs.Fields(0).Value().toString().trimmed().compare(account.trimmed(), Qt::CaseInsensitive) == 0) {
                entry = sql::accountEntry(rs.Fields(0).Value().toString(), rs.Fields(1).Value().toString());
                break;
            }
    }
    if (entry.isEmpty())
        throw Error(3265, QStringLiteral("服务器上没有账套【%1】。").arg(account));
    bool found = false;
    {
        Recordset rs;
        rs = cnSys.Execute(sql::yearQuery(account), sql::adOptionUnspecified);
        for (; !rs.EOF_() && !found; rs.MoveNext())
            found = rs.Fields(0).Value().toString().trimmed() == year.trimmed();
    }
    cnSys.Close();
    if (!found)
        throw Error(3265, QStringLiteral("账套【%1】没有会计年度【%2】。").arg(account, year));
    return entry;
}

int exportCommand(const QStringList &args)
{
    ExportRequest request;
    QString server, account;
    try {
        const QMap<QString, QString> options = parseOptions(args);
        const auto format = formatFromName(options.value(QStringLiteral("format")));
        if (!format)
            throw UsageError{QStringLiteral("不认识的格式【%1】：可用 xlsx、csv、md、html。")
                                 .arg(options.value(QStringLiteral("format")))};
        request.format = *format;
        request.output = options.value(QStringLiteral("output"));
        if (request.output == QLatin1String("-") && !isText(request.format))
            throw UsageError{QStringLiteral("只有 CSV 和 Markdown 可以写到标准输出。")};
        server = options.value(QStringLiteral("server"));
        account = options.value(QStringLiteral("account"));
        request.heading.year = options.value(QStringLiteral("year"));
        request.module = options.value(QStringLiteral("module"));
        request.scope = request.module.isEmpty() ? Scope::Dictionary : Scope::List;
        request.user = QStringLiteral("sa");
        request.password = password();
    } catch (const UsageError &e) {
        printError(e.text);
        printError(QStringLiteral("用 datadict --help 查看用法。"));
        return kUsage;
    }

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    ProgressLine line;
    try {
        request.heading.account =
            checkAccountAndYear(server, request.password, account, request.heading.year);
        request.source = sql::accountYearConnectionString(
            sql::accountYearDatabase(account, request.heading.year), server);
        request.heading.time = QDateTime::currentDateTime();
        runExport(
            request,
            [&line](const ExportProgress &p) {
                if (p.stage == ExportProgress::Reading)
                    line.show(QStringLiteral("正在读取字典：%1 个字段").arg(p.done));
                else
                    line.show(QStringLiteral("正在写入：%1 / %2 个字段").arg(p.done).arg(p.total));
            },
            &interrupted);
        line.end();
        return 0;
    } catch (const Error &e) {
        line.end();
        printError(e.Description());
        return isExportCancelled(e) ? kInterrupted : kFailed;
    }
}

}  // namespace

bool isCommandLine(int argc, char **argv)
{
    if (argc < 2)
        return false;
    const char *first = argv[1];
    return std::strcmp(first, "export") == 0 || std::strcmp(first, "--help") == 0
           || std::strcmp(first, "-h") == 0 || std::strcmp(first, "--version") == 0;
}

int runCommandLine(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QString command = args.value(0);
    int status = 0;
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(kUsageText, stdout);
    } else if (command == QLatin1String("--version")) {
        std::fputs(QStringLiteral("数据字典工具 1.00.0001\n").toUtf8().constData(), stdout);
    } else {
        status = exportCommand(args.mid(1));
    }
    PublicADO::closeAll();
    return status;
}

}  // namespace dd::exporting
