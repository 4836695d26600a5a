#include "dictionary_search.h"
#include "data/dictionary_reader.h"
#include "data/error.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThreadPool>
#include <atomic>
#include <functional>

namespace search {

// One read: its stop flag (any thread) and the search it reports to
// (window thread only; null once the search let go of it).
struct DictionarySearch::Run {
    std::atomic<bool> stop{false};
    DictionarySearch *owner = nullptr;
};

namespace {

// The reads' threads. The program's end gives a read that is still running
// a moment to end (it ends at its next step once told to stop), so that it
// is rarely left running while the program takes its data-access layer
// apart; one waiting on a server that went silent is not waited for.
constexpr int kExitWaitMs = 1000;

QThreadPool &readPool()
{
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(16);
        qAddPostRoutine([] { DictionarySearch::waitForReads(); });
        return p;
    }();
    return *pool;
}

}  // namespace

DictionarySearch::DictionarySearch(QObject *parent) : QObject(parent) {}

DictionarySearch::~DictionarySearch()
{
    stop();
}

bool DictionarySearch::waitForReads()
{
    return readPool().waitForDone(kExitWaitMs);
}

void DictionarySearch::load(const dd::ConnectionString &target, const QString &user, const QString &password)
{
    if (state_ == Loading || state_ == Ready)
        return;
    state_ = Loading;
    fieldsRead_ = 0;
    failure_.clear();
    auto run = std::make_shared<Run>();
    run->owner = this;
    run_ = run;

    readPool().start([run, target, user, password] {
        // Runs fn on the window thread, if the search still waits for this read.
        auto deliver = [run](std::function<void(DictionarySearch &)> fn) {
            QMetaObject::invokeMethod(QCoreApplication::instance(), [run, fn] {
                if (run->owner && !run->stop.load())
                    fn(*run->owner);
            }, Qt::QueuedConnection);
        };
        QElapsedTimer sinceProgress;
        sinceProgress.start();
        try {
            auto dictionary = std::make_shared<const dd::Dictionary>(dd::DictionaryReader::read(
                target, user, password,
                [&](int fields) {
                    // A few times a second is enough for the count shown.
                    if (sinceProgress.elapsed() >= 200) {
                        sinceProgress.restart();
                        deliver([fields](DictionarySearch &s) { s.progressed(fields); });
                    }
                    return !run->stop.load();
                },
                &run->stop));
            auto index = SearchIndex::build(dictionary, &run->stop);
            if (index)
                deliver([index](DictionarySearch &s) { s.built(index); });
        } catch (const dd::Error &e) {
            if (!dd::DictionaryReader::isCancelled(e)) {
                const QString text = e.Description();
                deliver([text](DictionarySearch &s) { s.failed(text); });
            }
        } catch (const std::exception &e) {
            const QString text = QString::fromUtf8(e.what());
            deliver([text](DictionarySearch &s) { s.failed(text); });
        }
    });
    emit changed();
}

void DictionarySearch::stop()
{
    if (run_) {
        run_->stop = true;
        run_->owner = nullptr;
        run_.reset();
    }
    if (state_ == Loading)
        state_ = Idle;
}

void DictionarySearch::progressed(int fields)
{
    fieldsRead_ = fields;
    emit changed();
}

void DictionarySearch::built(std::shared_ptr<const SearchIndex> index)
{
    run_.reset();
    index_ = std::move(index);
    fieldsRead_ = int(index_->dictionary().fields.size());
    searcher_ = std::make_unique<Searcher>(index_);
    state_ = Ready;
    emit changed();
}

void DictionarySearch::failed(const QString &description)
{
    run_.reset();
    state_ = Failed;
    failure_ = description;
    emit changed();
}

QString DictionarySearch::statusText() const
{
    switch (state_) {
    case Loading:
        return fieldsRead_ > 0 ? QStringLiteral("正在加载字段…已读取%1个").arg(fieldsRead_)
                               : QStringLiteral("正在加载字段…");
    case Failed:
        return QStringLiteral("字段加载失败：") + failure_;
    default:
        return QString();
    }
}

std::vector<Hit> DictionarySearch::find(const QString &query)
{
    if (state_ != Ready)
        return {};
    return searcher_->find(query);
}

}  // namespace search
