#include "background_work.h"
#include <QCoreApplication>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <thread>
#include <vector>
#ifndef Q_OS_WIN
#include <csignal>
#include <pthread.h>
#endif

namespace dd {

namespace {

thread_local CancelToken *currentToken = nullptr;

// The works still running. Never destroyed: a worker may outlive main().
struct Registry {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::shared_ptr<BackgroundWork>> running;
};

Registry &registry()
{
    static Registry *r = new Registry;
    return *r;
}

// The threads works run on. A thread that ran a work waits for the next
// instead of ending: on Windows a thread that used Qt is taken apart by Qt
// when it ends, and in the mingw build that tear-down crashed the program,
// while a thread kept waiting costs nothing. A work that finds no thread
// waiting gets a new one (one stuck on a silent server keeps its own).
// Never destroyed: the threads outlive main().
struct Workers {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<void()>> jobs;   // not yet taken by a thread
    int waiting = 0;                          // threads waiting for a job
};

Workers &workers()
{
    static Workers *w = new Workers;
    return *w;
}

void workerLoop()
{
    Workers &w = workers();
    std::unique_lock<std::mutex> lock(w.mutex);
    for (;;) {
        ++w.waiting;
        w.wake.wait(lock, [&w] { return !w.jobs.empty(); });
        --w.waiting;
        std::function<void()> job = std::move(w.jobs.front());
        w.jobs.pop_front();
        lock.unlock();
        job();
        job = nullptr;   // what the job holds goes now, not at the next job
        lock.lock();
    }
}

void runOnWorker(std::function<void()> job)
{
    Workers &w = workers();
    bool newThread = false;
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        w.jobs.push_back(std::move(job));
        newThread = int(w.jobs.size()) > w.waiting;
    }
    if (!newThread) {
        w.wake.notify_one();
        return;
    }
#ifndef Q_OS_WIN
    // The program's signals (Ctrl+C and the like) go to its main thread,
    // never to a worker waiting inside the driver: a new thread starts with
    // them blocked.
    sigset_t blocked, previous;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &blocked, &previous);
#endif
    std::thread(workerLoop).detach();
#ifndef Q_OS_WIN
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
#endif
}

}  // namespace

void CancelToken::cancel()
{
    cancelled_ = true;
    std::lock_guard<std::mutex> lock(mutex_);
    if (canceller_)
        canceller_();
}

void CancelToken::throwIfCancelled() const
{
    if (isCancelled())
        throw readStopped();
}

CancelToken *CancelToken::current() { return currentToken; }

CancelToken::Scope::Scope(CancelToken *token) : previous_(currentToken) { currentToken = token; }

CancelToken::Scope::~Scope() { currentToken = previous_; }

bool CancelToken::setCanceller(std::function<void()> cancelRunning)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (cancelled_)
        return false;
    canceller_ = std::move(cancelRunning);
    return true;
}

void CancelToken::clearCanceller()
{
    std::lock_guard<std::mutex> lock(mutex_);
    canceller_ = nullptr;
}

std::shared_ptr<BackgroundWork> BackgroundWork::start(QObject *receiver, Job job, Handlers handlers)
{
    std::shared_ptr<BackgroundWork> work(new BackgroundWork);
    work->receiver_ = receiver;
    work->hasReceiver_ = receiver != nullptr;
    work->handlers_ = std::move(handlers);
    {
        Registry &r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        r.running.push_back(work);
    }
    runOnWorker([work, job = std::move(job)]() mutable { work->run(std::move(job)); });
    return work;
}

BackgroundWork::~BackgroundWork() = default;

void BackgroundWork::run(Job job)
{
    Outcome outcome;
    std::unique_ptr<Error> failure;
    {
        CancelToken::Scope scope(&token_);
        try {
            job(*this);
        } catch (const Error &e) {
            failure = std::make_unique<Error>(e);
        } catch (const std::exception &e) {
            failure = std::make_unique<Error>(errc::ProviderError, QString::fromLocal8Bit(e.what()));
        } catch (...) {
            failure = std::make_unique<Error>(errc::ProviderError, QStringLiteral("未知错误。"));
        }
    }
    outcome.failed = failure != nullptr;
    outcome.cancelled = token_.isCancelled();

    {
        Registry &r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        running_ = false;
        for (auto it = r.running.begin(); it != r.running.end(); ++it)
            if (it->get() == this) {
                r.running.erase(it);
                break;
            }
    }
    registry().changed.notify_all();

    if (failure && !outcome.cancelled && handlers_.failed) {
        const Error e = *failure;
        post([this, e] {
            if (!token_.isCancelled())
                handlers_.failed(e);
        }, Kind::Handler);
    }
    if (handlers_.ended)
        post([this, outcome]() mutable {
            outcome.cancelled = outcome.cancelled || token_.isCancelled();
            handlers_.ended(outcome);
        }, Kind::Handler);
}

void BackgroundWork::cancel() { token_.cancel(); }

void BackgroundWork::release()
{
    released_ = true;
    token_.cancel();
}

bool BackgroundWork::isRunning() const { return running_.load(); }

bool BackgroundWork::wait(int ms)
{
    Registry &r = registry();
    std::unique_lock<std::mutex> lock(r.mutex);
    return r.changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !running_.load(); });
}

void BackgroundWork::deliver(std::function<void()> fn)
{
    if (released_ || token_.isCancelled() || !hasReceiver_)
        return;
    post(std::move(fn), Kind::Delivery);
}

void BackgroundWork::post(std::function<void()> fn, Kind kind)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || !hasReceiver_ || released_)
        return;
    // Posted to the application object and checked again when it runs, on
    // the receiver's thread: the receiver may have gone meanwhile.
    std::shared_ptr<BackgroundWork> self = shared_from_this();
    QMetaObject::invokeMethod(app, [self, fn = std::move(fn), kind] {
        if (!self->receiver_ || self->released_)
            return;
        if (kind == Kind::Delivery && self->token_.isCancelled())
            return;
        fn();
    }, Qt::QueuedConnection);
}

int BackgroundWork::running()
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return int(r.running.size());
}

int BackgroundWork::shutdown(int status)
{
    Registry &r = registry();
    std::vector<std::shared_ptr<BackgroundWork>> works;
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        works = r.running;
    }
    for (const auto &w : works)
        w->release();
    works.clear();
    if (waitForAll(kShutdownWaitMs))
        return status;
    endProcess(status);
}

bool BackgroundWork::waitForAll(int ms)
{
    Registry &r = registry();
    std::unique_lock<std::mutex> lock(r.mutex);
    return r.changed.wait_for(lock, std::chrono::milliseconds(ms), [&r] { return r.running.empty(); });
}

void BackgroundWork::endProcess(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

}  // namespace dd
