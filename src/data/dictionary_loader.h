#pragma once
// Runs a DictionaryReader on a worker thread of its own, so that the window
// thread never waits for the dictionary. One load at a time; a load can be
// stopped, and destroying the loader stops it and waits for the thread
// (which ends within one block of rows, or the statement time-out when the
// server has stopped answering and cannot be cancelled).
#include "connection_string.h"
#include "dictionary.h"
#include <QObject>
#include <QString>
#include <memory>

namespace dd {

class DictionaryLoader : public QObject {
    Q_OBJECT
public:
    explicit DictionaryLoader(QObject *parent = nullptr);
    ~DictionaryLoader() override;

    // Starts a load unless one is running. Signals arrive on the thread that
    // owns the loader.
    void start(const ConnectionString &target, const QString &user, const QString &password);
    // Stops a running load: neither loaded nor failed is emitted for it.
    void stop();
    bool isRunning() const;

signals:
    void progress(int fieldsRead);
    void loaded(std::shared_ptr<const dd::Dictionary> dictionary);
    void failed(long number, const QString &description);

private:
    void finishRun();

    struct Run;
    std::shared_ptr<Run> run_;
};

}  // namespace dd
