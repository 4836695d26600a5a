#include "dictionary_loader.h"
#include "dictionary_reader.h"
#include "error.h"
#include <QThread>
#include <atomic>
#include <mutex>

namespace dd {

namespace {
constexpr unsigned long kStopWaitMs = 800;
}

// What one load shares between the window thread and its worker.
struct DictionaryLoader::Run {
    std::atomic<bool> stop{false};
    QThread *thread = nullptr;
    // Whom results go to; cleared under the lock once the run is over, so a
    // worker left running never posts to a loader that is gone.
    std::mutex lock;
    DictionaryLoader *owner = nullptr;
};

DictionaryLoader::DictionaryLoader(QObject *parent) : QObject(parent) {}

DictionaryLoader::~DictionaryLoader()
{
    stop();
}

bool DictionaryLoader::isRunning() const { return run_ && run_->thread && run_->thread->isRunning(); }

void DictionaryLoader::start(const ConnectionString &target, const QString &user,
                             const QString &password)
{
    if (run_)
        return;
    auto run = std::make_shared<Run>();
    run->owner = this;
    run_ = run;
    // Results travel back queued onto the loader's thread, and count only
    // while this run is still the loader's own.
    auto deliver = [run](auto &&call) {
        const std::lock_guard<std::mutex> guard(run->lock);
        if (!run->owner)
            return;
        DictionaryLoader *owner = run->owner;
        QMetaObject::invokeMethod(owner, [owner, run, call] {
            if (owner->run_ == run && !run->stop.load())
                call(owner);
        }, Qt::QueuedConnection);
    };
    run->thread = QThread::create([target, user, password, run, deliver] {
        try {
            auto dictionary = std::make_shared<const Dictionary>(DictionaryReader::read(
                target, user, password,
                [&](int fields) {
                    deliver([fields](DictionaryLoader *l) { emit l->progress(fields); });
                    return true;
                },
                &run->stop));
            deliver([dictionary](DictionaryLoader *l) {
                l->finishRun();
                emit l->loaded(dictionary);
            });
        } catch (const Error &e) {
            const long number = e.Number();
            const QString description = e.Description();
            deliver([number, description](DictionaryLoader *l) {
                l->finishRun();
                emit l->failed(number, description);
            });
        } catch (const std::exception &e) {
            const QString description = QString::fromUtf8(e.what());
            deliver([description](DictionaryLoader *l) {
                l->finishRun();
                emit l->failed(errc::ProviderError, description);
            });
        }
    });
    run->thread->start();
}

void DictionaryLoader::finishRun()
{
    if (!run_)
        return;
    {
        const std::lock_guard<std::mutex> guard(run_->lock);
        run_->owner = nullptr;
    }
    if (run_->thread) {
        run_->thread->wait();
        delete run_->thread;
    }
    run_.reset();
}

void DictionaryLoader::stop()
{
    if (!run_)
        return;
    run_->stop = true;
    // The worker notices within a block of rows; one waiting on a server
    // that has stopped answering is left to end by itself (at the latest at
    // its statement time-out) and never destroyed while it runs, so neither
    // the window nor the program's end waits for it.
    QThread *thread = run_->thread;
    if (!thread->wait(kStopWaitMs)) {
        QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
        run_->thread = nullptr;
    }
    finishRun();
}

}  // namespace dd
