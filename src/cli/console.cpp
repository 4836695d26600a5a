#include "console.h"
#include <QtGlobal>
#include <atomic>
#include <cstdio>
#ifdef Q_OS_WIN
#include <fcntl.h>
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

#ifdef Q_OS_WIN
// The console behind a standard stream, or null when the stream is
// redirected to a file, a pipe or the null device.
HANDLE consoleOf(std::FILE *stream)
{
    const HANDLE h = ::GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    return h && h != INVALID_HANDLE_VALUE && ::GetConsoleMode(h, &mode) ? h : nullptr;
}
#endif

// A console is given UTF-16 text, which it shows whatever its code page;
// anywhere else the text goes out as UTF-8 bytes, as they are (on Windows
// in binary mode: no CR added before each LF).
void writeText(std::FILE *stream, const QString &text)
{
#ifdef Q_OS_WIN
    if (const HANDLE console = consoleOf(stream)) {
        std::fflush(stream);
        constexpr qsizetype kChunk = 8192;  // what every console takes at once
        for (qsizetype at = 0; at < text.size(); at += kChunk) {
            const QStringView part = QStringView(text).mid(at, kChunk);
            DWORD written = 0;
            ::WriteConsoleW(console, part.utf16(), DWORD(part.size()), &written, nullptr);
        }
        return;
    }
    static const bool binary = [] {
        std::fflush(stdout);
        std::fflush(stderr);
        ::_setmode(::_fileno(stdout), _O_BINARY);
        ::_setmode(::_fileno(stderr), _O_BINARY);
        return true;
    }();
    Q_UNUSED(binary);
#endif
    writeTo(stream, text.toUtf8());
}

bool stderrIsTerminal()
{
#ifdef Q_OS_WIN
    return consoleOf(stderr) != nullptr;
#else
    return ::isatty(STDERR_FILENO) == 1;
#endif
}

// What takes a progress line back to its start, empty.
QString eraseLine()
{
#ifdef Q_OS_WIN
    // Consoles before Windows 10 know no escape sequences.
    return QLatin1Char('\r') + QString(79, QLatin1Char(' ')) + QLatin1Char('\r');
#else
    return QStringLiteral("\r\033[K");
#endif
}

}  // namespace

void printOut(const QString &text) { writeText(stdout, text); }

void printError(const QString &text) { writeText(stderr, text + QLatin1Char('\n')); }

#ifdef Q_OS_WIN
namespace {
std::atomic<bool> promptInterrupted{false};
HANDLE promptInput = nullptr;

// Ctrl+Break (and Ctrl+C where a console still sends it as a signal).
BOOL WINAPI onPromptInterrupt(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        return FALSE;
    promptInterrupted = true;
    // Windows' console ends the read that the signal interrupts; wine's goes
    // on reading, so a key of our own ends it.
    INPUT_RECORD enter{};
    enter.EventType = KEY_EVENT;
    enter.Event.KeyEvent.bKeyDown = TRUE;
    enter.Event.KeyEvent.wRepeatCount = 1;
    enter.Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
    enter.Event.KeyEvent.uChar.UnicodeChar = L'\r';
    DWORD written = 0;
    ::WriteConsoleInputW(promptInput, &enter, 1, &written);
    return TRUE;
}
}  // namespace

// The console reads key by key, without echo or line editing, and Ctrl+C
// arrives as a key in the order typed: a signal could come after the line.
PasswordAnswer askPassword(const QString &prompt)
{
    const HANDLE in = ::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return {};
    writeText(stderr, prompt);
    DWORD saved = 0;
    const bool modeSet = ::GetConsoleMode(in, &saved);
    if (modeSet)
        ::SetConsoleMode(in, saved & ~DWORD(ENABLE_ECHO_INPUT | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT));
    promptInterrupted = false;
    promptInput = in;
    ::SetConsoleCtrlHandler(onPromptInterrupt, TRUE);
    PasswordAnswer answer{PasswordAnswer::EndOfInput, QString()};
    wchar_t c = 0;
    DWORD n = 0;
    bool read = false;
    while ((read = ::ReadConsoleW(in, &c, 1, &n, nullptr)) && n == 1 && !promptInterrupted) {
        if (c == L'\r' || c == L'\n') {
            answer.outcome = PasswordAnswer::Typed;
            break;
        }
        if (c == 0x03) {  // Ctrl+C
            promptInterrupted = true;
            break;
        }
        if (c == 0x1A)  // Ctrl+Z: the end of the input
            break;
        if (c == L'\b') {
            const QString &typed = answer.password;
            answer.password.chop(typed.size() > 1 && typed.back().isLowSurrogate() ? 2 : 1);
            continue;
        }
        answer.password.append(QChar(c));
    }
    // A read that Ctrl+Break ended can return before its handler has run.
    if (!read && ::GetLastError() == ERROR_OPERATION_ABORTED) {
        for (int waited = 0; !promptInterrupted && waited < 1000; waited += 10)
            ::Sleep(10);
        promptInterrupted = true;
    }
    ::SetConsoleCtrlHandler(onPromptInterrupt, FALSE);
    if (promptInterrupted)
        answer = {PasswordAnswer::Interrupted, QString()};
    if (answer.outcome != PasswordAnswer::Typed)
        ::FlushConsoleInputBuffer(in);  // no key of ours, or typed after, is left to the shell
    if (modeSet)
        ::SetConsoleMode(in, saved);
    ::CloseHandle(in);
    writeText(stderr, QStringLiteral("\n"));
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
    writeText(stderr, eraseLine() + text);
    shown_ = true;
}

void ProgressLine::end()
{
    if (shown_)
        writeText(stderr, eraseLine());
    shown_ = false;
}

}  // namespace dd::cli
