#include "terminal.h"
#include <QtGlobal>
#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace dd::exporting {

namespace {

void writeError(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

bool stderrIsTerminal()
{
#ifdef Q_OS_WIN
    return ::_isatty(::_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) == 1;
#endif
}

}  // namespace

#ifdef Q_OS_WIN
std::optional<QString> askPassword(const QString &prompt)
{
    const HANDLE in = ::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return std::nullopt;
    writeError(prompt.toUtf8());
    DWORD saved = 0;
    const bool echoOff = ::GetConsoleMode(in, &saved);
    if (echoOff)
        ::SetConsoleMode(in, saved & ~DWORD(ENABLE_ECHO_INPUT));
    QString line;
    wchar_t c = 0;
    DWORD n = 0;
    while (::ReadConsoleW(in, &c, 1, &n, nullptr) && n == 1 && c != L'\r' && c != L'\n')
        line.append(QChar(c));
    if (echoOff)
        ::SetConsoleMode(in, saved);
    ::CloseHandle(in);
    writeError("\n");
    return line;
}
#else
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
#endif

ProgressLine::ProgressLine() : terminal_(stderrIsTerminal()) {}

ProgressLine::~ProgressLine()
{
    end();
}

void ProgressLine::show(const QString &text)
{
    if (!terminal_ || (since_.isValid() && since_.elapsed() < 100))
        return;
    since_.start();
    writeError("\r\033[K" + text.toUtf8());
    shown_ = true;
}

void ProgressLine::end()
{
    if (shown_)
        writeError("\r\033[K");
    shown_ = false;
}

void printError(const QString &text)
{
    writeError(text.toUtf8() + '\n');
}

}  // namespace dd::exporting
