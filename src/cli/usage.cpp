#include "usage.h"
#include "account_options.h"
#include "command.h"
#include <QSet>

namespace dd::cli {

namespace {

constexpr int kSummaryColumn = 35;   // where a synopsis line's explanation starts
constexpr int kHelpColumn = 20;      // where an option's explanation starts

QString padded(const QString &left, int column)
{
    if (left.size() + 1 > column)
        return left + QLatin1Char('\n') + QString(column, QLatin1Char(' '));
    return left.leftJustified(column, QLatin1Char(' '));
}

QString line(const QString &left, const QString &right, int column)
{
    return padded(left, column) + right + QLatin1Char('\n');
}

QString optionLines(const QList<Option> &options, const QSet<QString> &leaveOut = {})
{
    QString text;
    for (const Option &o : options) {
        if (leaveOut.contains(o.name))
            continue;
        QString left = QStringLiteral("  --") + o.name;
        if (!o.valueName.isEmpty())
            left += QLatin1Char(' ') + o.valueName;
        text += line(left, o.help, kHelpColumn);
    }
    return text;
}

}  // namespace

QString usageText()
{
    QString text = QStringLiteral("用法:\n");
    text += line(QStringLiteral("  datadict"), QStringLiteral("打开登录窗口"), kSummaryColumn);
    text += line(QStringLiteral("  datadict SERVER"), QStringLiteral("打开登录窗口，服务器框填入 SERVER"),
                 kSummaryColumn);
    for (const Command &c : commands()) {
        for (const QString &s : c.synopsis)
            text += QStringLiteral("  ") + s + QLatin1Char('\n');
        text += QString(kSummaryColumn, QLatin1Char(' ')) + c.summary + QLatin1Char('\n');
    }
    text += line(QStringLiteral("  datadict --help"), QStringLiteral("显示本说明"), kSummaryColumn);
    text += line(QStringLiteral("  datadict --version"), QStringLiteral("显示版本"), kSummaryColumn);

    QSet<QString> shared;
    for (const Option &o : accountOptions())
        shared.insert(o.name);
    text += QStringLiteral("\n连接选项（各命令共用）:\n") + optionLines(accountOptions());
    for (const Command &c : commands()) {
        const QString own = optionLines(c.options, shared);
        if (!own.isEmpty())
            text += QLatin1Char('\n') + c.optionsTitle + QStringLiteral(":\n") + own;
    }
    text += QStringLiteral(
        "\n"
        "sa 的密码取自环境变量 DATADICT_PASSWORD，没有时在终端上询问（不回显）。\n"
        "每个参数只能给一次；datadict 命令 --help 也显示本说明。\n"
        "成功时退出状态为 0；失败时为 1，命令行有误时为 2，按 Ctrl+C 中断时为 130，原因写到标准错误。\n");
    return text;
}

}  // namespace dd::cli
