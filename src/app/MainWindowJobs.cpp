// The window's jobs: a disassembly or a large conversion runs on a worker
// thread with nothing but its own snapshot, the process runner and the
// files; its end is handed back to the orchestrator on the window's thread.

#include "app/MainWindow.h"

#include "app/WindowText.h"
#include "core/Paths.h"

#include <QtCore/QThread>
#include <QtWidgets/QApplication>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStatusBar>

#include <utility>

namespace travonix {

namespace {

QString workingText(const Job& job) {
    if (const auto* disassembly = std::get_if<std::shared_ptr<DisassemblyJob>>(&job))
        return QStringLiteral("Disassembling ") +
               shown(fileNamePart((*disassembly)->options.elfPath)) + QStringLiteral(" ...");
    return QStringLiteral("Making CFunctions ...");
}

} // namespace

// While a job runs, the window stays responsive and shows that it works;
// every control that could start other work is disabled until its end is
// shown, and Cancel stops it.
void MainWindow::startWaitingJob() {
    if (jobRunning())
        return;
    std::optional<Job> job = orchestrator_.takeJob();
    if (!job)
        return;
    runner_.clearCancel();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    busy_->show();
    cancel_->show();
    enableWork(false);
    statusBar()->showMessage(workingText(*job));
    runningJob_ = *job;
    busy_->setRange(0, 0);
    // The worker tells how far it has come by posting the figures to this
    // thread; it never looks at the window.
    const JobProgress progress = [this](const JobProgressReport& report) {
        QMetaObject::invokeMethod(
            this, [this, report] { showProgress(report); }, Qt::QueuedConnection);
    };
    worker_ =
        QThread::create([job = std::move(*job), &runner = runner_, &environment = environment_,
                         progress] { runJob(job, runner, environment, progress); });
    connect(worker_, &QThread::finished, this, [this] { finishJob(); });
    worker_->start();
}

// The bytes of the listing against the guess from the ELF file and the
// functions read so far, or the files written; a busy indicator while
// there is no measure.
void MainWindow::showProgress(const JobProgressReport& report) {
    if (!runningJob_)
        return;
    if (report.permille >= 0) {
        busy_->setRange(0, 1000);
        busy_->setValue(report.permille);
    }
    statusBar()->showMessage(shown(report.text));
}

void MainWindow::finishJob() {
    endWorker();
    if (!runningJob_)
        return;
    const Job job = std::move(*runningJob_);
    runningJob_.reset();
    statusBar()->clearMessage();
    act([this, &job] { orchestrator_.jobDone(job); }, false);
    if (!jobRunning() && whenIdle_)
        std::exchange(whenIdle_, nullptr)();
}

void MainWindow::whenIdle(std::function<void()> then) {
    if (jobRunning()) {
        whenIdle_ = std::move(then);
        return;
    }
    then();
}

void MainWindow::endWorker() {
    if (worker_ == nullptr)
        return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    QApplication::restoreOverrideCursor();
    busy_->hide();
    cancel_->hide();
}

void MainWindow::cancelJob() {
    if (!runningJob_)
        return;
    if (const auto* conversion = std::get_if<std::shared_ptr<ConversionJob>>(&*runningJob_))
        (*conversion)->cancel->request();
    else
        runner_.requestCancel();
}

} // namespace travonix
