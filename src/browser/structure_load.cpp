#include "structure_load.h"
#include "catalog/catalog_reader.h"
#include "data/background_work.h"
#include "data/error.h"
#include "search/dictionary_search.h"
#include <QProgressDialog>
#include <QTimer>

namespace browser {

StructureLoad::StructureLoad(QWidget *window, search::DictionarySearch &dictionary,
                             const dd::ConnectionString &target, const QString &user,
                             const QString &password)
    : QObject(window), window_(window), dictionary_(&dictionary),
      tablesRead_(std::make_shared<std::atomic<int>>(0))
{
    // The job runs on its own thread; what it delivers runs here, and only
    // while this load still wants it.
    auto tablesRead = tablesRead_;
    read_ = dd::BackgroundWork::start(
        this,
        [this, target, user, password, tablesRead](dd::BackgroundWork &work) {
            auto catalog = std::make_shared<dd::catalog::Catalog>(dd::catalog::CatalogReader::read(
                target, user, password, work.token(), [tablesRead](int tables) {
                    *tablesRead = tables;
                    return true;
                }));
            work.deliver([this, catalog] {
                catalog_ = std::move(*catalog);
                stepDone();
            });
        },
        {[this](const dd::Error &e) { fail(e.Description()); }, {}});
    connect(&dictionary, &search::DictionarySearch::changed, this, [this] { stepDone(); });

    timer_ = new QTimer(this);
    timer_->setInterval(kDialogDelayMs);
    connect(timer_, &QTimer::timeout, this, [this] { showProgress(); });
    timer_->start();
}

StructureLoad::~StructureLoad()
{
    end();
}

// The catalog arrived, or the dictionary moved on: compare once both are in.
void StructureLoad::stepDone()
{
    if (ended_ || comparison_)
        return;
    if (dictionary_ && dictionary_->state() == search::DictionarySearch::Failed) {
        fail(dictionary_->failure());
        return;
    }
    if (!catalog_ || !dictionary_ || dictionary_->state() != search::DictionarySearch::Ready)
        return;
    auto dictionary = dictionary_->dictionary();
    auto catalog = std::make_shared<dd::catalog::Catalog>(std::move(*catalog_));
    catalog_.reset();
    comparison_ = dd::BackgroundWork::start(
        this,
        [this, dictionary, catalog](dd::BackgroundWork &work) {
            auto structure = std::make_shared<const PhysicalStructure>(dictionary, std::move(*catalog));
            work.deliver([this, structure] {
                end();
                if (onReady)
                    onReady(structure);
            });
        },
        {[this](const dd::Error &e) { fail(e.Description()); }, {}});
}

void StructureLoad::fail(const QString &failure)
{
    if (ended_)
        return;
    end();
    if (onFailed)
        onFailed(failure);
}

void StructureLoad::showProgress()
{
    if (ended_)
        return;
    if (!dialog_) {
        dialog_ = new QProgressDialog(window_);
        dialog_->setObjectName(QStringLiteral("structureProgress"));
        dialog_->setWindowTitle(QStringLiteral("提示"));
        dialog_->setCancelButtonText(QStringLiteral("取消"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        connect(dialog_, &QProgressDialog::canceled, this, [this] { fail(QString()); });
        timer_->setInterval(100);
    }
    // The dictionary lists about as many tables as the database holds.
    const int expected = dictionary_ && dictionary_->state() == search::DictionarySearch::Ready
                             ? int(dictionary_->dictionary()->tables.size())
                             : 0;
    const int read = tablesRead_->load();
    const bool reading = !catalog_ && !comparison_;   // afterwards: the dictionary, the comparison
    if (expected > 0 && reading) {
        dialog_->setRange(0, expected);
        dialog_->setValue(std::min(read, expected));
    } else {
        dialog_->setRange(0, 0);
    }
    dialog_->setLabelText(read > 0 && reading
                              ? QStringLiteral("正在读取实际结构…已读取%1个表").arg(read)
                              : QStringLiteral("正在读取实际结构…"));
    dialog_->show();
}

// No more progress, no more deliveries; the works end on their own threads
// (a cancelled read stops its statement).
void StructureLoad::end()
{
    if (ended_)
        return;
    ended_ = true;
    for (const auto &work : {read_, comparison_})
        if (work) {
            work->cancel();
            work->release();
        }
    if (timer_)
        timer_->stop();
    if (dialog_) {
        dialog_->hide();
        dialog_->deleteLater();
        dialog_ = nullptr;
    }
    if (dictionary_)
        disconnect(dictionary_, nullptr, this, nullptr);
}

}  // namespace browser
