#include "export_runner.h"
#include "export/output_file.h"
#include "ui/runtime.h"
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

namespace browser {

using namespace dd::exporting;

ExportRunner::ExportRunner(QWidget *window, ExportRequest request)
    : QObject(window), window_(window)
{
    thread_ = QThread::create([this, request = std::move(request)] {
        try {
            runExport(request, [this](const ExportProgress &p) {
                stage_ = p.stage;
                done_ = p.done;
                total_ = p.total;
            }, &cancel_);
        } catch (const dd::Error &e) {
            failed_ = !isExportCancelled(e);
            errorNumber_ = e.Number();
            errorText_ = e.Description();
        }
    });
    connect(thread_, &QThread::finished, this, [this] { finished(); });

    // The dialog only for an export that is still running after the delay;
    // then the same timer refreshes it.
    timer_ = new QTimer(this);
    timer_->setSingleShot(false);
    timer_->setInterval(kDialogDelayMs);
    connect(timer_, &QTimer::timeout, this, [this] { showProgress(); });
    timer_->start();
    thread_->start();
}

ExportRunner::~ExportRunner()
{
    cancel_ = true;
    if (thread_) {
        thread_->disconnect(this);
        thread_->wait();
        delete thread_;
    }
    delete dialog_;
}

bool ExportRunner::isRunning() const
{
    return thread_ && !thread_->isFinished();
}

void ExportRunner::showProgress()
{
    if (!isRunning())
        return;
    if (!dialog_) {
        dialog_ = new QProgressDialog(window_);
        dialog_->setObjectName(QStringLiteral("exportProgress"));
        dialog_->setWindowTitle(QStringLiteral("导出"));
        dialog_->setCancelButtonText(QStringLiteral("取消"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        connect(dialog_, &QProgressDialog::canceled, this, [this] {
            cancel_ = true;
            dialog_->setLabelText(QStringLiteral("正在取消…"));
        });
        timer_->setInterval(100);
    }
    if (cancel_)
        return;
    if (stage_ == ExportProgress::Reading) {
        dialog_->setRange(0, 0);
        dialog_->setLabelText(QStringLiteral("正在读取字典：已读 %1 个字段").arg(done_.load()));
    } else if (stage_ == ExportProgress::ReadingStructure) {
        dialog_->setRange(0, 0);
        dialog_->setLabelText(QStringLiteral("正在读取实际结构…已读取%1个表").arg(done_.load()));
    } else {
        dialog_->setRange(0, std::max(1, total_.load()));
        dialog_->setValue(done_);
        dialog_->setLabelText(QStringLiteral("正在写入文件：%1 / %2 个字段").arg(done_.load()).arg(total_.load()));
    }
    dialog_->show();
}

void ExportRunner::finished()
{
    timer_->stop();
    if (dialog_) {
        dialog_->hide();
        dialog_->deleteLater();
        dialog_ = nullptr;
    }
    if (failed_)
        ui::MsgBox(errorText_, ui::vbOKOnly, QStringLiteral("提示"));
    deleteLater();
}

}  // namespace browser
