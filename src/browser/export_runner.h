#pragma once
// Runs one export off the window thread: the window stays responsive, and
// an export that takes longer than half a second shows a progress dialog
// with a cancel button. A failure is shown in a "提示" box.
#include "export/export_job.h"
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <atomic>

class QProgressDialog;
class QThread;
class QTimer;
class QWidget;

namespace browser {

// Owned by the window (its Qt parent); deletes itself once the export has
// ended and any failure has been shown.
class ExportRunner : public QObject {
public:
    ExportRunner(QWidget *window, dd::exporting::ExportRequest request);
    // Stops a running export and waits for it.
    ~ExportRunner() override;

    bool isRunning() const;
    void cancel() { cancel_ = true; }

    // How long to wait before the progress dialog shows.
    static constexpr int kDialogDelayMs = 500;

private:
    void showProgress();
    void finished();

    QPointer<QWidget> window_;
    QThread *thread_ = nullptr;
    QTimer *timer_ = nullptr;
    QPointer<QProgressDialog> dialog_;
    std::atomic<bool> cancel_{false};
    std::atomic<int> stage_{0}, done_{0}, total_{0};
    bool failed_ = false;
    long errorNumber_ = 0;
    QString errorText_;
};

}  // namespace browser
