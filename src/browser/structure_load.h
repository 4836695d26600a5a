#pragma once
// Reading the database's own structure for the browser: the catalog on a
// connection and a thread of its own, the dictionary the search reads (one
// read serves both), then the comparison, also off the window thread. A
// window-modal progress dialog "正在读取实际结构…" shows once the read has
// run a moment; its cancel stops the read.
//
//   load_ = std::make_unique<StructureLoad>(window, *search_, target, "sa", password);
//   load_->onReady = [this](auto structure) { ... };
//   load_->onFailed = [this](const QString &text) { ... };   // empty: cancelled
//
// Destroying the load lets go of a read under way; nothing more is delivered.
#include "data/connection_string.h"
#include "physical_structure.h"
#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QProgressDialog;
class QTimer;
class QWidget;

namespace search {
class DictionarySearch;
}

namespace browser {

class StructureLoad : public QObject {
public:
    // The dictionary search must already be loading (or loaded) the dictionary.
    StructureLoad(QWidget *window, search::DictionarySearch &dictionary,
                  const dd::ConnectionString &target, const QString &user, const QString &password);
    ~StructureLoad() override;

    std::function<void(std::shared_ptr<const PhysicalStructure>)> onReady;
    // The server's or driver's text; empty when the user cancelled.
    std::function<void(const QString &failure)> onFailed;

    // How long the read runs before the dialog shows.
    static constexpr int kDialogDelayMs = 300;

    struct Run;   // what the window and the threads share

private:
    void stepDone();
    void showProgress();
    void end();

    QPointer<QWidget> window_;
    QPointer<search::DictionarySearch> dictionary_;
    std::shared_ptr<Run> run_;
    QTimer *timer_ = nullptr;
    QPointer<QProgressDialog> dialog_;
    bool comparing_ = false;
};

}  // namespace browser
