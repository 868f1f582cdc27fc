#include "shell/run_progress.hpp"

#include "shell/messages.hpp"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QWidget>
#include <algorithm>
#include <limits>

namespace quorvel {

namespace {

constexpr qint64 kShowAfterMs = 500;
constexpr qint64 kRefreshEveryMs = 40; // about 25 times a second

int Clamped(std::size_t n) {
    return static_cast<int>(std::min<std::size_t>(n, std::numeric_limits<int>::max()));
}

} // namespace

RunProgress::RunProgress(QWidget* parent, QString label) : parent_(parent), label_(std::move(label)) {
    clock_.start();
}

RunProgress::~RunProgress() = default;

bool RunProgress::Tell(std::size_t done, std::size_t total) {
    const qint64 now = clock_.elapsed();
    if (now < kShowAfterMs || now - lastShown_ < kRefreshEveryMs) {
        return dialog_ == nullptr || !dialog_->wasCanceled();
    }
    lastShown_ = now;
    if (!dialog_) {
        keys_.emplace(parent_);
        dialog_ =
            std::make_unique<QProgressDialog>(label_, messages::StopButton(), 0, Clamped(total), parent_);
        dialog_->setObjectName(QStringLiteral("RunProgress"));
        dialog_->setWindowTitle(parent_ != nullptr ? parent_->window()->windowTitle() : QString());
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->show();
    }
    dialog_->setMaximum(Clamped(total));
    dialog_->setValue(Clamped(done));
    // A modal dialog handles its events in setValue; this makes sure a click on its
    // button is seen even when the value did not change.
    QCoreApplication::processEvents();
    return !dialog_->wasCanceled();
}

ProgressHook RunProgress::Start(QWidget* parent, const QString& label) {
    auto progress = std::make_shared<RunProgress>(parent, label);
    return [progress](std::size_t done, std::size_t total) { return progress->Tell(done, total); };
}

} // namespace quorvel
