// The progress of a run or an undo in the window: a dialog with a button that stops
// it, shown only when the work lasts longer than half a second. The work runs in
// the window's own thread; the dialog is fed, and the window kept alive, from the
// work's loop.
#pragma once

#include "files/run/progress.hpp"
#include "shell/keys_back.hpp"

#include <QElapsedTimer>
#include <QString>
#include <memory>
#include <optional>

class QProgressDialog;
class QWidget;

namespace quorvel {

class RunProgress {
public:
    RunProgress(QWidget* parent, QString label);
    ~RunProgress();
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

    // `done` of `total` steps; false once the user asked to stop.
    bool Tell(std::size_t done, std::size_t total);
    // Whether the dialog was shown at all.
    bool Shown() const { return dialog_ != nullptr; }

    // A hook for the run that feeds a new RunProgress; the dialog goes when the
    // last copy of the hook does.
    static ProgressHook Start(QWidget* parent, const QString& label);

private:
    QWidget* parent_;
    QString label_;
    QElapsedTimer clock_;
    qint64 lastShown_ = 0;              // when the dialog was last brought up to date, in ms
    std::optional<KeysBackAfter> keys_; // once the dialog has gone (declared before it)
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace quorvel
