#pragma once
// Reads of the database off the window thread: one way to run them, one way
// to stop them, one rule for the program's end.
//
// A BackgroundWork runs a job on a worker thread, on connections the
// job opens there. Its CancelToken stops it from any thread: the flag is
// set (checked between blocks of rows and by the local SQLite source) and
// the statement the job's ODBC session is running is cancelled at once
// (SQLCancel from the cancelling thread). What the job hands back goes to
// the receiver's thread, and only while the receiver still wants it: not
// after cancel() or release(), never after the receiver is gone.
//
// A driver waiting on a server that went silent may take a statement
// time-out to give up even after SQLCancel; so nobody waits for a work
// without a bound. An owner that goes calls release() and never waits;
// a dialog that waits for a cancelled work gives up after a moment; the
// program's end calls BackgroundWork::shutdown(status): every work still
// running is cancelled and given at most a second, and if one is still
// inside the driver the process ends there, without static destructors
// taking the data layer apart under it.
//
//   // in the window (the receiver lives on the window thread):
//   work_ = dd::BackgroundWork::start(this, [target, user, pw](dd::BackgroundWork &w) {
//       auto dictionary = dd::DictionaryReader::read(target, user, pw, w.token(),
//           [&w](int fields) { w.deliver([fields] { /* show progress */ }); return true; });
//       w.deliver([d = std::move(dictionary)] { /* use the result */ });
//   }, {
//       [this](const dd::Error &e) { /* failed (not called once cancelled) */ },
//       [this](const dd::BackgroundWork::Outcome &o) { /* ended: o.cancelled, o.failed */ },
//   });
//   work_->cancel();     // the user stops it: ended() still comes, when it stops
//   work_->release();    // the owner goes: nothing more comes (destructors)
//
//   // main(), after the event loop:
//   return dd::BackgroundWork::shutdown(status);
//
// A reader written against `const std::atomic<bool> *cancel` works as it is
// inside a job: pass w.token().flag(); its ODBC statements are cancelled
// through the token the job's thread runs under (CancelToken::current()).
#include "error.h"
#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace dd {

class CancelToken {
public:
    CancelToken() = default;
    CancelToken(const CancelToken &) = delete;
    CancelToken &operator=(const CancelToken &) = delete;

    // Any thread: sets the flag and cancels the statement running now.
    void cancel();
    bool isCancelled() const { return cancelled_.load(); }
    // The flag, for code that takes a `const std::atomic<bool> *`.
    const std::atomic<bool> *flag() const { return &cancelled_; }
    // Throws readStopped() once cancelled.
    void throwIfCancelled() const;

    // The token the calling thread works under; null when none.
    static CancelToken *current();
    // Makes a token the calling thread's for the scope's life.
    class Scope {
    public:
        explicit Scope(CancelToken *token);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        CancelToken *previous_;
    };

    // For the data layer's sessions: what cancels the statement running
    // now, called (under the token's lock) by cancel(). false, and nothing
    // kept, when the token is already cancelled: the statement is not to
    // start. clearCanceller() before the statement's handle goes.
    bool setCanceller(std::function<void()> cancelRunning);
    void clearCanceller();

private:
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::function<void()> canceller_;
};

class BackgroundWork : public std::enable_shared_from_this<BackgroundWork> {
public:
    using Job = std::function<void(BackgroundWork &work)>;
    struct Outcome {
        bool cancelled = false;  // cancel() was called before the job returned
        bool failed = false;     // the job threw
    };
    struct Handlers {
        // The job threw dd::Error (or another exception, as an Error) and
        // the work was not cancelled.
        std::function<void(const Error &)> failed;
        // The job returned or threw; after any failed().
        std::function<void(const Outcome &)> ended;
    };

    // Starts the job on a worker thread (one waiting, or a new one). The
    // receiver (on the window thread, or null for none) is what deliveries
    // and handlers run for.
    static std::shared_ptr<BackgroundWork> start(QObject *receiver, Job job, Handlers handlers = {});
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork &) = delete;
    BackgroundWork &operator=(const BackgroundWork &) = delete;

    // Any thread. Stops the job; nothing is delivered any more but ended().
    void cancel();
    // Any thread. Stops the job; nothing at all is delivered any more.
    void release();
    bool isCancelled() const { return token_.isCancelled(); }
    CancelToken &token() { return token_; }
    // Whether the job has not returned yet.
    bool isRunning() const;
    // Waits at most `ms` for the job to return; true when it has.
    bool wait(int ms);

    // On the job's thread: runs fn on the receiver's thread, unless the
    // work is cancelled or released or the receiver is gone by then.
    void deliver(std::function<void()> fn);

    // The program's end: releases every running work and waits at most a
    // second for them all. Returns `status` when none is left running;
    // otherwise flushes the standard streams and ends the process with
    // `status` at once.
    static int shutdown(int status);
    // Ends the process now with `status` after flushing the standard
    // streams, without running static destructors.
    [[noreturn]] static void endProcess(int status);
    // How many works are running now.
    static int running();
    // Waits at most `ms` for every work to end; true when none runs.
    static bool waitForAll(int ms);

    static constexpr int kShutdownWaitMs = 1000;

private:
    BackgroundWork() = default;
    enum class Kind { Delivery, Handler };
    void post(std::function<void()> fn, Kind kind);
    void run(Job job);

    CancelToken token_;
    QPointer<QObject> receiver_;   // read on the receiver's thread only
    bool hasReceiver_ = false;
    Handlers handlers_;
    std::atomic<bool> released_{false};
    std::atomic<bool> running_{true};
};

}  // namespace dd
