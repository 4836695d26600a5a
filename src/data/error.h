#pragma once
#include <QString>
#include <exception>

namespace dd {

// The one error type of the system: a number and the text a user should read.
class Error : public std::exception {
public:
    Error(long number, QString description)
        : number_(number), description_(std::move(description)),
          what_(description_.toUtf8()) {}

    long Number() const { return number_; }
    const QString &Description() const { return description_; }
    const char *what() const noexcept override { return what_.constData(); }

private:
    long number_;
    QString description_;
    QByteArray what_;
};

// Error numbers raised by the data-access layer itself (the server's own
// numbers pass through unchanged).
namespace errc {
constexpr long OperationNotAllowedWhenOpen = 3705;   // Open on an open object
constexpr long OperationNotAllowedWhenClosed = 3704; // use of a closed object
constexpr long NoCurrentRecord = 3021;               // BOF or EOF is true
constexpr long BadArgument = 3001;                   // malformed criterion, bad value
constexpr long ConnectFailed = 3709;                 // connection not usable
constexpr long DatabaseMissing = 4060;               // catalog does not exist
constexpr long ProviderError = -2147467259;          // generic driver failure
constexpr long OperationCancelled = 3712;            // a read stopped by its caller
}  // namespace errc

// The data-access layer's own failures, worded for the user.
inline Error objectIsOpen()
{
    return Error(errc::OperationNotAllowedWhenOpen, QStringLiteral("对象已打开，不允许此操作。"));
}
inline Error objectIsClosed()
{
    return Error(errc::OperationNotAllowedWhenClosed, QStringLiteral("对象已关闭，不允许此操作。"));
}
inline Error noCurrentRecord()
{
    return Error(errc::NoCurrentRecord, QStringLiteral("没有当前记录：已到记录集的开头或末尾。"));
}
inline Error badArguments()
{
    return Error(errc::BadArgument, QStringLiteral("参数类型不正确、超出可接受的范围或彼此冲突。"));
}
inline Error connectionNotUsable()
{
    return Error(errc::ConnectFailed, QStringLiteral("连接已关闭或无效，不能执行此操作。"));
}
inline Error readStopped()
{
    return Error(errc::OperationCancelled, QStringLiteral("操作已取消。"));
}
inline Error noSuchItem()
{
    return Error(3265, QStringLiteral("在集合中找不到与所需名称或序号对应的项目。"));
}

}  // namespace dd
