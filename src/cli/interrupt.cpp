#include "interrupt.h"
#include "command.h"
#include "console.h"
#include <QtGlobal>
#include <atomic>
#include <csignal>
#include <cstdlib>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace dd::cli {

namespace {

std::atomic<int> interrupts{0};

// Only what is safe in a signal handler: a count, or the end at once.
void onInterrupt(int)
{
    if (interrupts.fetch_add(1) >= 1)
        std::_Exit(kInterrupted);
}

#ifdef Q_OS_WIN
BOOL WINAPI onConsoleInterrupt(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && type != CTRL_CLOSE_EVENT)
        return FALSE;
    onInterrupt(0);
    return TRUE;
}
#endif

void watchInterrupts()
{
    interrupts = 0;
#ifdef Q_OS_WIN
    ::SetConsoleCtrlHandler(onConsoleInterrupt, TRUE);
#else
    struct sigaction action{};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
#endif
}

}  // namespace

int runInterruptible(const std::function<int(BackgroundWork &work)> &body)
{
    watchInterrupts();
    auto status = std::make_shared<std::atomic<int>>(kFailed);
    const auto work = BackgroundWork::start(nullptr, [body, status](BackgroundWork &w) {
        try {
            *status = body(w);
        } catch (const UsageError &e) {
            printError(e.text);
            *status = kUsage;
        } catch (const Error &e) {
            if (w.isCancelled()) {
                *status = kInterrupted;
                return;
            }
            printError(e.Description());
            *status = kFailed;
        }
    });
    constexpr int kPollMs = 50;
    while (!work->wait(kPollMs)) {
        if (interrupts.load() == 0)
            continue;
        work->cancel();
        if (!work->wait(BackgroundWork::kShutdownWaitMs))
            BackgroundWork::endProcess(kInterrupted);
        return kInterrupted;
    }
    return interrupts.load() > 0 ? kInterrupted : status->load();
}

}  // namespace dd::cli
