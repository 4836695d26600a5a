#pragma once
// Runs one export off the window thread (a BackgroundWork): the window
// stays responsive, and an export that takes longer than half a second
// shows a progress dialog with a cancel button. Cancel stops the read at
// once (its running statement too); the dialog says "正在取消…" until the
// export has stopped, and a cancelled export shows nothing more. A failure
// is shown in a "提示" box, and so is a finished export: "已导出：" with
// the file and what it holds.
#include "data/background_work.h"
#include "export/export_job.h"
#include <QObject>
#include <QPointer>
#include <atomic>
#include <memory>

class QProgressDialog;
class QTimer;
class QWidget;

namespace browser {

// Owned by the window (its Qt parent); deletes itself once the export has
// ended and what it says is shown.
class ExportRunner : public QObject {
public:
    ExportRunner(QWidget *window, dd::exporting::ExportRequest request);
    // Lets go of a running export without waiting: it stops on its own
    // thread and delivers nothing.
    ~ExportRunner() override;

    bool isRunning() const;
    // As the dialog's cancel button.
    void cancel();

    // How long to wait before the progress dialog shows.
    static constexpr int kDialogDelayMs = 500;
    // How long a cancelled export is waited for before the dialog goes
    // anyway: a driver waiting on a silent server gives up only at its
    // time-out; the export, cancelled, writes nothing after that.
    static constexpr int kCancelWaitMs = 2000;

private:
    struct Progress {
        std::atomic<int> stage{0}, done{0}, total{0};
        std::atomic<int> tables{0}, fields{0}, cutCells{0};
    };
    void showProgress();
    void ended(const dd::BackgroundWork::Outcome &outcome);
    void closeDialog();

    QPointer<QWidget> window_;
    QString output_;
    std::shared_ptr<Progress> progress_;
    std::shared_ptr<dd::BackgroundWork> work_;
    QTimer *timer_ = nullptr;
    QTimer *cancelWait_ = nullptr;
    QPointer<QProgressDialog> dialog_;
    QString failure_;
};

}  // namespace browser
