#include "export_runner.h"
#include "ui/runtime.h"
#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

namespace browser {

using namespace dd::exporting;

ExportRunner::ExportRunner(QWidget *window, ExportRequest request)
    : QObject(window), window_(window), output_(request.output),
      progress_(std::make_shared<Progress>())
{
    work_ = dd::BackgroundWork::start(
        this,
        [progress = progress_, request = std::move(request)](dd::BackgroundWork &work) {
            const ExportResult result = runExport(
                request,
                [progress](const ExportProgress &p) {
                    progress->stage = p.stage;
                    progress->done = p.done;
                    progress->total = p.total;
                },
                work.token().flag());
            progress->tables = result.tables;
            progress->fields = result.fields;
            progress->cutCells = result.cutCells;
        },
        {[this](const dd::Error &e) { failure_ = e.Description(); },
         [this](const dd::BackgroundWork::Outcome &o) { ended(o); }});

    // The dialog only for an export that is still running after the delay;
    // then the same timer refreshes it.
    timer_ = new QTimer(this);
    timer_->setSingleShot(false);
    timer_->setInterval(kDialogDelayMs);
    connect(timer_, &QTimer::timeout, this, [this] { showProgress(); });
    timer_->start();
}

ExportRunner::~ExportRunner()
{
    work_->release();
    delete dialog_;
}

bool ExportRunner::isRunning() const { return work_->isRunning(); }

void ExportRunner::cancel()
{
    if (work_->isCancelled() || !work_->isRunning())
        return;
    work_->cancel();
    if (dialog_) {
        dialog_->setLabelText(QStringLiteral("正在取消…"));
        dialog_->setRange(0, 0);
        if (auto *button = dialog_->findChild<QPushButton *>())
            button->setEnabled(false);
    }
    // A driver kept waiting by a silent server: the export is let go.
    cancelWait_ = new QTimer(this);
    cancelWait_->setSingleShot(true);
    connect(cancelWait_, &QTimer::timeout, this, [this] {
        work_->release();
        closeDialog();
        deleteLater();
    });
    cancelWait_->start(kCancelWaitMs);
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
        // The dialog's own reaction (hiding at once) is replaced: it stays
        // until the export has stopped.
        // (The toolkit makes that connection by name.)
        disconnect(dialog_, SIGNAL(canceled()), dialog_, SLOT(cancel()));
        connect(dialog_, &QProgressDialog::canceled, this, [this] { cancel(); });
        timer_->setInterval(100);
    }
    if (work_->isCancelled()) {
        dialog_->setLabelText(QStringLiteral("正在取消…"));
        dialog_->show();
        return;
    }
    const Progress &p = *progress_;
    if (p.stage == ExportProgress::Reading) {
        dialog_->setRange(0, 0);
        dialog_->setLabelText(QStringLiteral("正在读取字典：已读 %1 个字段").arg(p.done.load()));
    } else if (p.stage == ExportProgress::ReadingStructure) {
        dialog_->setRange(0, 0);
        dialog_->setLabelText(QStringLiteral("正在读取实际结构…已读取%1个表").arg(p.done.load()));
    } else {
        dialog_->setRange(0, std::max(1, p.total.load()));
        dialog_->setValue(p.done);
        dialog_->setLabelText(
            QStringLiteral("正在写入文件：%1 / %2 个字段").arg(p.done.load()).arg(p.total.load()));
    }
    dialog_->show();
}

void ExportRunner::closeDialog()
{
    timer_->stop();
    if (cancelWait_)
        cancelWait_->stop();
    if (dialog_) {
        dialog_->hide();
        dialog_->deleteLater();
        dialog_ = nullptr;
    }
}

void ExportRunner::ended(const dd::BackgroundWork::Outcome &outcome)
{
    closeDialog();
    const QString prompt = QStringLiteral("提示");
    // Deleted first: a box shown below runs events of its own.
    deleteLater();
    // A cancelled export says nothing; one that ended before the cancel
    // took hold wrote its file, and says so.
    if (outcome.failed) {
        if (!outcome.cancelled)
            ui::MsgBox(failure_, ui::vbOKOnly, prompt);
    } else {
        ExportResult result;
        result.tables = progress_->tables;
        result.fields = progress_->fields;
        result.cutCells = progress_->cutCells;
        QString text = QStringLiteral("已导出：%1\n共 %2 张表、%3 个字段。")
                           .arg(QDir::toNativeSeparators(output_))
                           .arg(result.tables)
                           .arg(result.fields);
        const QString cut = cutCellsNote(result);
        if (!cut.isEmpty())
            text += QLatin1Char('\n') + cut;
        ui::MsgBox(text, ui::vbInformation, prompt);
    }
}

}  // namespace browser
