#include "structure_load.h"
#include "catalog/catalog_reader.h"
#include "data/error.h"
#include "search/dictionary_search.h"
#include <QCoreApplication>
#include <QProgressDialog>
#include <QThreadPool>
#include <QTimer>

namespace browser {

// What the threads and the window share: the stop flag and progress
// (any thread), the catalog once read and the outcome (window thread).
struct StructureLoad::Run {
    std::atomic<bool> stop{false};
    std::atomic<int> tablesRead{0};
    StructureLoad *owner = nullptr;   // null once the load let go
    std::optional<dd::catalog::Catalog> catalog;
    QString failure;
};

namespace {

// Runs work off the window thread, then done on it if the run is still wanted.
template <typename Work, typename Done>
void inBackground(std::shared_ptr<StructureLoad::Run> run, Work work, Done done);

}  // namespace

StructureLoad::StructureLoad(QWidget *window, search::DictionarySearch &dictionary,
                             const dd::ConnectionString &target, const QString &user,
                             const QString &password)
    : QObject(window), window_(window), dictionary_(&dictionary), run_(std::make_shared<Run>())
{
    run_->owner = this;
    auto run = run_;
    inBackground(
        run,
        [run, target, user, password]() -> std::function<void()> {
            try {
                auto catalog = std::make_shared<dd::catalog::Catalog>(dd::catalog::CatalogReader::read(
                    target, user, password,
                    [run](int tables) {
                        run->tablesRead = tables;
                        return !run->stop.load();
                    },
                    &run->stop));
                return [run, catalog] { run->catalog = std::move(*catalog); };
            } catch (const dd::Error &e) {
                const QString text = e.Description();
                return [run, text] { run->failure = text; };
            }
        },
        [this] { stepDone(); });
    connect(&dictionary, &search::DictionarySearch::changed, this, [this] { stepDone(); });

    timer_ = new QTimer(this);
    timer_->setInterval(kDialogDelayMs);
    connect(timer_, &QTimer::timeout, this, [this] { showProgress(); });
    timer_->start();
}

StructureLoad::~StructureLoad()
{
    run_->stop = true;
    run_->owner = nullptr;
    delete dialog_;
}

// The catalog arrived, or the dictionary moved on: compare once both are in.
void StructureLoad::stepDone()
{
    if (comparing_)
        return;
    if (!run_->failure.isEmpty() || (dictionary_ && dictionary_->state() == search::DictionarySearch::Failed)) {
        const QString failure = run_->failure.isEmpty() ? dictionary_->failure() : run_->failure;
        end();
        if (onFailed)
            onFailed(failure);
        return;
    }
    if (!run_->catalog || !dictionary_ || dictionary_->state() != search::DictionarySearch::Ready)
        return;
    comparing_ = true;
    auto run = run_;
    auto dictionary = dictionary_->dictionary();
    auto catalog = std::make_shared<dd::catalog::Catalog>(std::move(*run_->catalog));
    auto made = std::make_shared<std::shared_ptr<const PhysicalStructure>>();
    inBackground(
        run,
        [dictionary, catalog, made]() -> std::function<void()> {
            *made = std::make_shared<const PhysicalStructure>(dictionary, std::move(*catalog));
            return [] {};
        },
        [this, made] {
            end();
            if (onReady)
                onReady(*made);
        });
}

void StructureLoad::showProgress()
{
    if (!dialog_) {
        dialog_ = new QProgressDialog(window_);
        dialog_->setObjectName(QStringLiteral("structureProgress"));
        dialog_->setWindowTitle(QStringLiteral("提示"));
        dialog_->setLabelText(QStringLiteral("正在读取实际结构…"));
        dialog_->setCancelButtonText(QStringLiteral("取消"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        connect(dialog_, &QProgressDialog::canceled, this, [this] {
            end();
            if (onFailed)
                onFailed(QString());
        });
        timer_->setInterval(100);
    }
    // The tables the dictionary lists are about as many as the database holds.
    const int expected = dictionary_ && dictionary_->state() == search::DictionarySearch::Ready
                             ? int(dictionary_->dictionary()->tables.size())
                             : 0;
    const int read = run_->tablesRead;
    if (expected > 0 && !comparing_) {
        dialog_->setRange(0, expected);
        dialog_->setValue(std::min(read, expected));
    } else {
        dialog_->setRange(0, 0);
    }
    dialog_->setLabelText(read > 0 && !comparing_
                              ? QStringLiteral("正在读取实际结构…已读取%1个表").arg(read)
                              : QStringLiteral("正在读取实际结构…"));
    dialog_->show();
}

// No more progress, no more deliveries.
void StructureLoad::end()
{
    run_->stop = true;
    run_->owner = nullptr;
    timer_->stop();
    if (dialog_) {
        dialog_->hide();
        dialog_->deleteLater();
        dialog_ = nullptr;
    }
    if (dictionary_)
        disconnect(dictionary_, nullptr, this, nullptr);
}

namespace {

template <typename Work, typename Done>
void inBackground(std::shared_ptr<StructureLoad::Run> run, Work work, Done done)
{
    QThreadPool::globalInstance()->start([run, work, done] {
        std::function<void()> keep = work();
        QMetaObject::invokeMethod(QCoreApplication::instance(), [run, keep, done] {
            if (!run->owner)
                return;
            keep();
            done();
        }, Qt::QueuedConnection);
    });
}

}  // namespace

}  // namespace browser
