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
}  // namespace errc

}  // namespace dd
