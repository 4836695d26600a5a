#pragma once
// Reading the database's own structure for the browser: the catalog as a
// background work (data/background_work.h) on a connection of its own, the
// dictionary the search reads (one read serves both), then the comparison,
// also off the window thread. A window-modal progress dialog
// "正在读取实际结构…" shows once the read has run a moment; its cancel stops
// the read and the statement it is running.
//
//   load_ = new StructureLoad(window, *search_, target, "sa", password);
//   load_->onReady = [this](auto structure) { ... };
//   load_->onFailed = [this](const QString &text) { ... };   // empty: cancelled
//
// Destroying the load lets go of the work under way (never waits for it);
// nothing more is delivered.
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

namespace dd {
class BackgroundWork;
}

namespace search {
class DictionarySearch;
}

namespace browser {

class StructureLoad : public QObject {
public:
    // The dictionary search must already be loading (or have loaded) the dictionary.
    StructureLoad(QWidget *window, search::DictionarySearch &dictionary,
                  const dd::ConnectionString &target, const QString &user, const QString &password);
    ~StructureLoad() override;

    std::function<void(std::shared_ptr<const PhysicalStructure>)> onReady;
    // The server's or driver's text; empty when the user cancelled.
    std::function<void(const QString &failure)> onFailed;

    // How long the read runs before the dialog shows.
    static constexpr int kDialogDelayMs = 300;

private:
    void stepDone();
    void fail(const QString &failure);
    void showProgress();
    void end();

    QPointer<QWidget> window_;
    QPointer<search::DictionarySearch> dictionary_;
    std::shared_ptr<std::atomic<int>> tablesRead_;
    std::shared_ptr<dd::BackgroundWork> read_, comparison_;
    std::optional<dd::catalog::Catalog> catalog_;
    QTimer *timer_ = nullptr;
    QPointer<QProgressDialog> dialog_;
    bool ended_ = false;
};

}  // namespace browser
