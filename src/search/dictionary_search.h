#pragma once
// A dictionary-wide search over one account-year database: reads the whole
// dictionary once, in the background (DictionaryLoader on a connection of
// its own), builds the index on a worker thread, then answers queries on
// the calling thread. A load that failed is tried again by the next load().
// Destroying it stops the load and waits for its threads.
//
//   search.load(target, "sa", password);     // nothing when loaded or loading
//   connect(&search, &DictionarySearch::changed, ...);
//   if (search.state() == DictionarySearch::Ready) hits = search.find("chbm");
#include "data/connection_string.h"
#include "searcher.h"
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class QThread;

namespace dd {
class DictionaryLoader;
struct Dictionary;
}

namespace search {

class DictionarySearch : public QObject {
    Q_OBJECT
public:
    enum State { Idle, Loading, Ready, Failed };

    explicit DictionarySearch(QObject *parent = nullptr);
    ~DictionarySearch() override;

    // Starts reading unless the dictionary is loaded or being loaded.
    void load(const dd::ConnectionString &target, const QString &user, const QString &password);
    // Stops a load (nothing is reported for it); the state goes back to Idle.
    void stop();

    State state() const { return state_; }
    int fieldsRead() const { return fieldsRead_; }
    // The server's or driver's text of the last failure.
    const QString &failure() const { return failure_; }
    // What the results panel says while there are no results to show.
    QString statusText() const;

    // Ready only: the hits of a query, best first.
    std::vector<Hit> find(const QString &query);
    std::shared_ptr<const SearchIndex> index() const { return index_; }

signals:
    // The state or the progress changed.
    void changed();

private:
    void loaded(std::shared_ptr<const dd::Dictionary> dictionary);
    void failed(long number, const QString &description);
    void built(std::shared_ptr<const SearchIndex> index);
    void stopBuilder();

    State state_ = Idle;
    int fieldsRead_ = 0;
    QString failure_;
    std::unique_ptr<dd::DictionaryLoader> loader_;
    QThread *builder_ = nullptr;
    std::shared_ptr<std::atomic<bool>> cancelBuild_;
    std::shared_ptr<const SearchIndex> index_;
    std::unique_ptr<Searcher> searcher_;
};

}  // namespace search
