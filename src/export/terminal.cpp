#include "terminal.h"
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace dd::exporting {

std::optional<QString> askPassword(const QString &prompt)
{
    const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    const QByteArray p = prompt.toUtf8();
    (void)!::write(fd, p.constData(), size_t(p.size()));
    termios saved{};
    const bool echoOff = ::tcgetattr(fd, &saved) == 0;
    if (echoOff) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    QByteArray line;
    char c = 0;
    ssize_t n = 0;
    while ((n = ::read(fd, &c, 1)) == 1 || (n < 0 && errno == EINTR)) {
        if (n == 1 && (c == '\n' || c == '\r'))
            break;
        if (n == 1)
            line.append(c);
    }
    if (echoOff)
        ::tcsetattr(fd, TCSAFLUSH, &saved);
    ::close(fd);
    return QString::fromUtf8(line);
}

ProgressLine::ProgressLine() : terminal_(::isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine()
{
    end();
}

void ProgressLine::show(const QString &text)
{
    if (!terminal_ || (since_.isValid() && since_.elapsed() < 100))
        return;
    since_.start();
    const QByteArray line = "\r\033[K" + text.toUtf8();
    (void)!::write(STDERR_FILENO, line.constData(), size_t(line.size()));
    shown_ = true;
}

void ProgressLine::end()
{
    if (shown_)
        (void)!::write(STDERR_FILENO, "\r\033[K", 4);
    shown_ = false;
}

void printError(const QString &text)
{
    const QByteArray line = text.toUtf8() + '\n';
    (void)!::write(STDERR_FILENO, line.constData(), size_t(line.size()));
}

}  // namespace dd::exporting
