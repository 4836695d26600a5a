#include "dictionary_search.h"
#include "data/dictionary_loader.h"
#include <QThread>

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
    loader_ = std::make_unique<dd::DictionaryLoader>();
    connect(loader_.get(), &dd::DictionaryLoader::progress, this, [this](int fields) {
        fieldsRead_ = fields;
        emit changed();
    });
    connect(loader_.get(), &dd::DictionaryLoader::loaded, this, &DictionarySearch::loaded);
    connect(loader_.get(), &dd::DictionaryLoader::failed, this, &DictionarySearch::failed);
    loader_->start(target, user, password);
    emit changed();
}

void DictionarySearch::stop()
{
    if (loader_) {
        loader_->disconnect(this);
        loader_.reset();  // stops the read and waits for its thread
    }
    stopBuilder();
    if (state_ == Loading)
        state_ = Idle;
}

void DictionarySearch::stopBuilder()
{
    if (!builder_)
        return;
    cancelBuild_->store(true);
    builder_->wait();
    delete builder_;
    builder_ = nullptr;
}

// The rows are in: the index is built on a thread of its own, so that the
// window never waits for it.
void DictionarySearch::loaded(std::shared_ptr<const dd::Dictionary> dictionary)
{
    if (state_ != Loading)
        return;
    fieldsRead_ = dictionary ? int(dictionary->fields.size()) : 0;
    stopBuilder();
    cancelBuild_ = std::make_shared<std::atomic<bool>>(false);
    auto cancel = cancelBuild_;
    builder_ = QThread::create([this, dictionary, cancel] {
        auto index = SearchIndex::build(dictionary ? dictionary : std::make_shared<dd::Dictionary>(),
                                        cancel.get());
        if (index)
            QMetaObject::invokeMethod(this, [this, index] { built(index); }, Qt::QueuedConnection);
    });
    builder_->start();
    emit changed();
}

void DictionarySearch::built(std::shared_ptr<const SearchIndex> index)
{
    if (state_ != Loading)
        return;
    if (builder_) {
        builder_->wait();
        delete builder_;
        builder_ = nullptr;
    }
    loader_.reset();
    index_ = std::move(index);
    searcher_ = std::make_unique<Searcher>(index_);
    state_ = Ready;
    emit changed();
}

void DictionarySearch::failed(long number, const QString &description)
{
    (void)number;
    if (state_ != Loading)
        return;
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
