#include "dictionary_loader.h"
#include "dictionary_reader.h"
#include "error.h"
#include <QPointer>
#include <QThread>
#include <atomic>

namespace dd {

// What one load shares between the window thread and its worker.
struct DictionaryLoader::Run {
    std::atomic<bool> stop{false};
    QThread *thread = nullptr;
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
    run_ = run;
    QPointer<DictionaryLoader> self(this);
    // Results travel back queued onto the loader's thread, and count only
    // while this run is still the loader's own.
    auto deliver = [self, run](auto &&call) {
        QMetaObject::invokeMethod(self.data(), [self, run, call] {
            if (self && self->run_ == run && !run->stop.load())
                call(self.data());
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
    run_->thread->wait();
    delete run_->thread;
    run_.reset();
}

void DictionaryLoader::stop()
{
    if (!run_)
        return;
    run_->stop = true;
    finishRun();
}

}  // namespace dd
