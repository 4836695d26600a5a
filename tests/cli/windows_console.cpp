#include "windows_console.h"
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>
#include <windows.h>

namespace clitest {

namespace {

// This process shares the program's console: a Ctrl+C sent there is the
// program's, not this process's. A handler, unlike ignoring Ctrl+C, is not
// passed on to the programs started later.
BOOL WINAPI notOurs(DWORD) { return TRUE; }

HANDLE openConsole(const wchar_t *name)
{
    return ::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
}

}  // namespace

ConsoleProgram::ConsoleProgram() { ::SetConsoleCtrlHandler(notOurs, TRUE); }

ConsoleProgram::~ConsoleProgram()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
    if (attached_)
        ::FreeConsole();
}

bool ConsoleProgram::start(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    process_.setProcessEnvironment(env);
    process_.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *a) {
        a->flags |= CREATE_NEW_CONSOLE;
        a->startupInfo->dwFlags &= ~DWORD(STARTF_USESTDHANDLES);
        a->inheritHandles = FALSE;
    });
    process_.start(program, args);
    if (!process_.waitForStarted())
        return false;
    ::FreeConsole();
    QElapsedTimer waited;
    waited.start();
    while (!(attached_ = ::AttachConsole(DWORD(process_.processId()))) && waited.elapsed() < 5000)
        QThread::msleep(20);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const HANDLE out = openConsole(L"CONOUT$");
    const bool readable = attached_ && ::GetConsoleScreenBufferInfo(out, &info);
    ::CloseHandle(out);
    if (attached_ && !readable)
        qWarning("the console shows nothing to read back (wine's needs a display: DISPLAY)");
    return readable;
}

QString ConsoleProgram::screen()
{
    QString text;
    const HANDLE out = openConsole(L"CONOUT$");
    if (out == INVALID_HANDLE_VALUE)
        return text;
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (::GetConsoleScreenBufferInfo(out, &info)) {
        std::wstring row(size_t(info.dwSize.X), L' ');
        for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
            DWORD read = 0;
            ::ReadConsoleOutputCharacterW(out, row.data(), DWORD(row.size()), COORD{0, y}, &read);
            text += QString::fromWCharArray(row.data(), int(read)).trimmed() + QLatin1Char('\n');
        }
    }
    ::CloseHandle(out);
    return text;
}

bool ConsoleProgram::shows(const QString &text, int ms)
{
    QString pattern;
    for (const QChar c : text)
        pattern += QRegularExpression::escape(QString(c)) + (c.unicode() >= 0x1100 ? QStringLiteral("+") : QString());
    const QRegularExpression shown(pattern);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (screen().contains(shown))
            return true;
        if (waited.elapsed() >= ms)
            return false;
        QThread::msleep(50);
    }
}

void ConsoleProgram::type(const QString &keys)
{
    std::vector<INPUT_RECORD> records;
    for (const QChar c : keys) {
        INPUT_RECORD r{};
        r.EventType = KEY_EVENT;
        r.Event.KeyEvent.wRepeatCount = 1;
        r.Event.KeyEvent.uChar.UnicodeChar = wchar_t(c.unicode());
        const SHORT scan = ::VkKeyScanW(wchar_t(c.unicode()));  // Ctrl+letter too
        r.Event.KeyEvent.wVirtualKeyCode = c == QLatin1Char('\r') ? WORD(VK_RETURN) : WORD(scan & 0xff);
        if (scan != -1 && (scan & 0x200))
            r.Event.KeyEvent.dwControlKeyState = LEFT_CTRL_PRESSED;
        r.Event.KeyEvent.bKeyDown = TRUE;
        records.push_back(r);
        r.Event.KeyEvent.bKeyDown = FALSE;
        records.push_back(r);
    }
    const HANDLE in = openConsole(L"CONIN$");
    DWORD written = 0;
    ::WriteConsoleInputW(in, records.data(), DWORD(records.size()), &written);
    ::CloseHandle(in);
}

void ConsoleProgram::interrupt()
{
    ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
}

unsigned long ConsoleProgram::inputMode()
{
    DWORD mode = 0;
    const HANDLE in = openConsole(L"CONIN$");
    ::GetConsoleMode(in, &mode);
    ::CloseHandle(in);
    return mode;
}

}  // namespace clitest
