#pragma once
// A dictionary-wide search over one account-year database: reads the whole
// dictionary once, in the background (DictionaryReader on a connection and
// a thread of its own, the index built on that thread too), then answers
// queries on the calling thread. A read that failed is tried again by the
// next load().
//
// Stopping (or destroying the search) never waits: the read (a
// BackgroundWork) is cancelled, its running statement too, and ends on its
// own thread; nothing it finds is delivered any more.
//
//   search.load(target, "sa", password);     // nothing when loaded or loading
//   connect(&search, &DictionarySearch::changed, ...);
//   if (search.state() == DictionarySearch::Ready) hits = search.find("chbm");
#include "data/background_work.h"
#include "data/connection_string.h"
#include "searcher.h"
#include <QObject>
#include <QString>
#include <memory>

namespace search {

class DictionarySearch : public QObject {
    Q_OBJECT
public:
    enum State { Idle, Loading, Ready, Failed };

    explicit DictionarySearch(QObject *parent = nullptr);
    ~DictionarySearch() override;

    // Starts reading unless the dictionary is loaded or being loaded.
    void load(const dd::ConnectionString &target, const QString &user, const QString &password);
    // Lets go of a read under way; the state goes back to Idle.
    void stop();

    State state() const { return state_; }
    int fieldsRead() const { return fieldsRead_; }
    // The server's or driver's text of the last failure.
    const QString &failure() const { return failure_; }
    // What the results list says while there are no results to show.
    QString statusText() const;

    // Ready only: the hits of a query, best first.
    std::vector<Hit> find(const QString &query);
    std::shared_ptr<const SearchIndex> index() const { return index_; }
    // Ready only: the dictionary read, for whoever else needs it whole.
    std::shared_ptr<const dd::Dictionary> dictionary() const
    {
        return index_ ? index_->sharedDictionary() : nullptr;
    }

signals:
    // The state or the progress changed.
    void changed();

private:
    void progressed(int fields);
    void built(std::shared_ptr<const SearchIndex> index);
    void failed(const QString &description);

    State state_ = Idle;
    int fieldsRead_ = 0;
    QString failure_;
    std::shared_ptr<dd::BackgroundWork> work_;
    std::shared_ptr<const SearchIndex> index_;
    std::unique_ptr<Searcher> searcher_;
};

}  // namespace search
