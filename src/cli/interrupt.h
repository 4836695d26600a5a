#pragma once
// Ctrl+C in the command line. The work runs as a BackgroundWork while the
// main thread watches for the interrupt (SIGINT, SIGTERM; Ctrl+C or
// Ctrl+Break on Windows). The first interrupt cancels the work from the
// main thread (its running statement too, through the work's token) and
// the program ends with kInterrupted as soon as the work has stopped, at
// most a second later even when a silent server keeps the driver waiting;
// a second interrupt ends the program at once.
#include "data/background_work.h"
#include <functional>

namespace dd::cli {

// Runs body(work) on a thread of its own and returns its exit status, or
// kInterrupted once interrupted. The body stays interruptible while it
// runs: it checks work.token() between steps (readers do so themselves).
int runInterruptible(const std::function<int(BackgroundWork &work)> &body);

}  // namespace dd::cli
