#include "console.h"
#include <QtGlobal>
#include <atomic>
#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace dd::cli {

namespace {

void writeTo(std::FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
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

void printOut(const QString &text) { writeTo(stdout, text.toUtf8()); }

void printError(const QString &text) { writeTo(stderr, text.toUtf8() + '\n'); }

#ifdef Q_OS_WIN
namespace {
std::atomic<bool> promptInterrupted{false};
BOOL WINAPI onPromptInterrupt(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        return FALSE;
    promptInterrupted = true;
    return TRUE;
}
}  // namespace

PasswordAnswer askPassword(const QString &prompt)
{
    const HANDLE in = ::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return {};
    writeTo(stderr, prompt.toUtf8());
    DWORD saved = 0;
    const bool echoOff = ::GetConsoleMode(in, &saved);
    if (echoOff)
        ::SetConsoleMode(in, saved & ~DWORD(ENABLE_ECHO_INPUT));
    promptInterrupted = false;
    ::SetConsoleCtrlHandler(onPromptInterrupt, TRUE);
    PasswordAnswer answer{PasswordAnswer::EndOfInput, QString()};
    wchar_t c = 0;
    DWORD n = 0;
    while (::ReadConsoleW(in, &c, 1, &n, nullptr) && n == 1 && !promptInterrupted) {
        if (c == L'\r' || c == L'\n') {
            answer.outcome = PasswordAnswer::Typed;
            break;
        }
        if (c == 0x1A)   // Ctrl+Z: the end of the input
            break;
        answer.password.append(QChar(c));
    }
    if (promptInterrupted)
        answer = {PasswordAnswer::Interrupted, QString()};
    ::SetConsoleCtrlHandler(onPromptInterrupt, FALSE);
    if (echoOff)
        ::SetConsoleMode(in, saved);
    ::CloseHandle(in);
    writeTo(stderr, "\n");
    if (answer.outcome != PasswordAnswer::Typed)
        answer.password.clear();
    return answer;
}
#else
namespace {
volatile std::sig_atomic_t promptInterrupted = 0;
void onPromptInterrupt(int) { promptInterrupted = 1; }
}  // namespace

PasswordAnswer askPassword(const QString &prompt)
{
    const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {};
    // Ctrl+C and the like interrupt the read (no restart) so that the
    // terminal's echo is put back before the program ends.
    promptInterrupted = 0;
    struct sigaction interrupt{}, savedInt{}, savedTerm{}, savedHup{};
    interrupt.sa_handler = onPromptInterrupt;
    sigemptyset(&interrupt.sa_mask);
    ::sigaction(SIGINT, &interrupt, &savedInt);
    ::sigaction(SIGTERM, &interrupt, &savedTerm);
    ::sigaction(SIGHUP, &interrupt, &savedHup);

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
    PasswordAnswer answer{PasswordAnswer::EndOfInput, QString()};
    QByteArray line;
    char c = 0;
    for (;;) {
        const ssize_t n = ::read(fd, &c, 1);
        if (promptInterrupted) {
            answer.outcome = PasswordAnswer::Interrupted;
            break;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n != 1)
            break;   // end of input (Ctrl+D on an empty line) or a failed read
        if (c == '\n' || c == '\r') {
            answer.outcome = PasswordAnswer::Typed;
            break;
        }
        line.append(c);
    }
    if (echoOff)
        ::tcsetattr(fd, TCSAFLUSH, &saved);
    if (answer.outcome != PasswordAnswer::Typed)
        (void)!::write(fd, "\n", 1);
    ::close(fd);
    ::sigaction(SIGINT, &savedInt, nullptr);
    ::sigaction(SIGTERM, &savedTerm, nullptr);
    ::sigaction(SIGHUP, &savedHup, nullptr);
    if (answer.outcome == PasswordAnswer::Typed)
        answer.password = QString::fromUtf8(line);
    line.fill('\0');
    return answer;
}
#endif

ProgressLine::ProgressLine() : terminal_(stderrIsTerminal()) {}

ProgressLine::~ProgressLine() { end(); }

void ProgressLine::show(const QString &text)
{
    if (!terminal_ || (since_.isValid() && since_.elapsed() < 100))
        return;
    since_.start();
    writeTo(stderr, "\r\033[K" + text.toUtf8());
    shown_ = true;
}

void ProgressLine::end()
{
    if (shown_)
        writeTo(stderr, "\r\033[K");
    shown_ = false;
}

}  // namespace dd::cli
