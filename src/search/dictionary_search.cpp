#include "dictionary_search.h"
#include "data/dictionary_reader.h"
#include "data/error.h"
#include <QElapsedTimer>

namespace search {

DictionarySearch::DictionarySearch(QObject *parent) : QObject(parent) {}

DictionarySearch::~DictionarySearch()
{
    stop();
}

void DictionarySearch::load(const dd::ConnectionString &target, const QString &user, const QString &password)
{
    if (state_ == Loading || state_ == Ready)
        return;
    state_ = Loading;
    fieldsRead_ = 0;
    failure_.clear();

    work_ = dd::BackgroundWork::start(
        this,
        [this, target, user, password](dd::BackgroundWork &work) {
            // Runs only on the window thread, and only while this search
            // still waits for this read (deliver()), so `this` is alive.
            QElapsedTimer sinceProgress;
            sinceProgress.start();
            auto dictionary = std::make_shared<const dd::Dictionary>(dd::DictionaryReader::read(
                target, user, password, work.token(), [&](int fields) {
                    // A few times a second is enough for the count shown.
                    if (sinceProgress.elapsed() >= 200) {
                        sinceProgress.restart();
                        work.deliver([this, fields] { progressed(fields); });
                    }
                    return true;
                }));
            auto index = SearchIndex::build(dictionary, work.token().flag());
            if (index)
                work.deliver([this, index] { built(index); });
        },
        {[this](const dd::Error &e) { failed(e.Description()); }, {}});
    emit changed();
}

void DictionarySearch::stop()
{
    if (work_) {
        work_->release();
        work_.reset();
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
    work_.reset();
    index_ = std::move(index);
    fieldsRead_ = int(index_->dictionary().fields.size());
    searcher_ = std::make_unique<Searcher>(index_);
    state_ = Ready;
    emit changed();
}

void DictionarySearch::failed(const QString &description)
{
    work_.reset();
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
