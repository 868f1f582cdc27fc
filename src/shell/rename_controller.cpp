#include "shell/rename_controller.hpp"

#include "bridge/qt_text.hpp"
#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"
#include "editor/script_document.hpp"
#include "engine/apply.hpp"
#include "engine/codec.hpp"
#include "engine/errors.hpp"
#include "engine/script_file.hpp"
#include "files/preview_renames.hpp"
#include "files/recorded_runs.hpp"
#include "files/rename_run.hpp"
#include "shell/messages.hpp"

#include <QFile>
#include <algorithm>
#include <unordered_set>

namespace quorvel {

namespace {

std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The counts of a run or an undo, and its failures in words.
RunSummary SummaryOf(std::size_t done, std::size_t unchanged, std::size_t failed,
                     const std::vector<RunFile>& files, bool stopped) {
    RunSummary summary{done, unchanged, failed, {}, stopped};
    for (const RunFile& file : files) {
        if (file.outcome == RenameOutcome::Failed) {
            summary.failures.push_back(QStringLiteral("%1 → %2 : %3")
                                           .arg(ToQString(DecodeName(file.oldName)),
                                                ToQString(DecodeName(file.newName)),
                                                QString::fromUtf8(file.reason.str())));
        }
    }
    return summary;
}

// The names the files that moved have now.
std::vector<std::string> MovedNames(const std::vector<RunFile>& files) {
    std::vector<std::string> names;
    for (const RunFile& file : files) {
        if (file.outcome == RenameOutcome::Renamed) {
            names.push_back(file.newName);
        }
    }
    return names;
}

// The marks of the previewed names that the run would not give, or that look like
// another name.
std::vector<ExampleMark> MarksOf(const std::vector<RunFile>& files) {
    std::vector<ExampleMark> marks;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const RunFile& file = files[i];
        const bool conflict = file.verdict != Verdict::Ready && file.verdict != Verdict::Unchanged;
        if (conflict || !file.note.empty()) {
            marks.push_back({static_cast<int>(i), conflict,
                             QString::fromUtf8(conflict ? file.reason.str() : file.note.str())});
        }
    }
    return marks;
}

std::string Bytes(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

RenameController::RenameController(QObject* parent)
    : QObject(parent), files_(new FileListModel(this)), selection_(new FileSelection(this)),
      script_(new ScriptDocument(this)) {
    connect(script_, &ScriptDocument::changed, this, &RenameController::stateChanged);
    connect(files_, &FileListModel::modelReset, this, &RenameController::stateChanged);
}

bool RenameController::CanPreview() const {
    return script_->IsValid() && files_->Count() > 0;
}

void RenameController::clickPlaceholder(int line, int slot) {
    // The placeholder is read from the script line itself.
    if (line < 0 || static_cast<std::size_t>(line) >= script_->Count() || slot < 0) {
        return;
    }
    const ScriptLine& read = script_->Line(static_cast<std::size_t>(line));
    const auto index = static_cast<std::size_t>(slot);
    const TextView placeholder = read.Placeholder(index);
    if (placeholder.empty()) {
        return;
    }
    const std::optional<PlaceholderKind> kind = read.KindOf(index);
    if (!kind) {
        emit placeholderOfNoKind();
        return;
    }
    clickedLine_ = line;
    clickedSlot_ = slot;
    clickedPlaceholder_ = ToQString(placeholder);
    emit stateChanged();
    emit placeholderChosen(*kind, ToQString(read.Shown(index)), line, slot);
}

void RenameController::pressRow(const GridPress& press, int row) {
    if (selection_->Apply(press, row) && CanPreview()) {
        preview(PreviewMode::Silent);
    }
}

void RenameController::selectAll() {
    selection_->SelectAll(static_cast<int>(files_->Count()) + 1);
}

void RenameController::listFolder(const QByteArray& folder, const QString& filter) {
    folder_ = folder;
    filter_ = filter;
    selection_->Clear();
    files_->List(DecodeName(std::string_view(folder.constData(), static_cast<std::size_t>(folder.size()))),
                 FromQString(filter));
    UpdateUndo();
}

void RenameController::UpdateUndo() {
    const bool can = !folder_.isEmpty() && HasRunToUndo(Bytes(folder_), JournalFolder());
    if (can != canUndo_) {
        canUndo_ = can;
        emit stateChanged();
    }
}

void RenameController::Relist(const std::vector<std::string>& selectNames) {
    const std::unordered_set<std::string> wanted(selectNames.begin(), selectNames.end());
    const int anchor = selection_->AnchorRow();
    listFolder(folder_, filter_);
    std::vector<int> rows;
    for (std::size_t i = 0; i < files_->Count(); ++i) {
        if (wanted.count(files_->Files().Items(i).NameBytes()) != 0) {
            rows.push_back(static_cast<int>(i) + 1);
        }
    }
    selection_->Select(rows);
    selection_->SetAnchorRow(anchor);
}

ProgressHook RenameController::Follow(const QString& label) const {
    return startProgress ? startProgress(label) : ProgressHook();
}

void RenameController::undo() {
    const TakeBackReport report =
        UndoLastRun(Bytes(folder_), JournalFolder(), Follow(messages::UndoProgress()));
    if (report.status == TakeBackReport::Status::NothingToDo) {
        emit message(messages::NothingToUndo());
        UpdateUndo();
        return;
    }
    if (!report.error.empty()) {
        emit error(QString::fromUtf8(report.error));
    }
    emit previewed(0);
    Relist(MovedNames(report.files));
    emit ran(SummaryOf(report.done, 0, report.failed, report.files, report.stopped));
}

void RenameController::settleInterrupted(const QByteArray& folder, bool finish) {
    const TakeBackReport report =
        finish ? ResumeLastRun(Bytes(folder), JournalFolder(), Follow(messages::RunProgress()))
               : UndoLastRun(Bytes(folder), JournalFolder(), Follow(messages::UndoProgress()));
    if (!report.error.empty()) {
        emit error(QString::fromUtf8(report.error));
    }
    if (folder == folder_) {
        Relist({});
    }
    emit ran(SummaryOf(report.done, 0, report.failed, report.files, report.stopped));
}

void RenameController::preview(PreviewMode mode) {
    if (!script_->IsValid()) {
        emit previewed(0);
        if (mode == PreviewMode::Interactive) {
            emit message(messages::InvalidScript());
        }
        return;
    }
    try {
        std::vector<std::size_t> selected = selection_->Indexes(files_->Count());
        previewed_.clear();
        // The names and their checks at once, against the folder as it was listed.
        NumberCounter counter = 0;
        PreviewRenamesInto(script_->Lines(), files_->Files(), selected, counter, preview_);
        const std::vector<RunFile>& files = preview_;
        const auto tooLong = std::find_if(
            files.begin(), files.end(), [](const RunFile& f) { return f.verdict == Verdict::EngineFailure; });
        if (tooLong != files.end()) {
            emit previewed(0);
            emit error(QString::fromUtf8(tooLong->reason.str()));
            return;
        }
        previewed_ = std::move(selected);
        emit previewed(static_cast<int>(files.size()));
        emit previewMarked(MarksOf(files));
    } catch (const EngineError& e) {
        emit previewed(0);
        emit error(QString::fromUtf8(e.what()));
    }
}

QString RenameController::PreviewedName(int line) const {
    if (line < 0 || static_cast<std::size_t>(line) >= preview_.size()) {
        return {};
    }
    return NameToQString(preview_[static_cast<std::size_t>(line)].newName);
}

namespace {

// `after` with the part that differs from `before`: what a script line changed.
TraceStep StepOf(const Text& before, const Text& after) {
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    const std::size_t changed = after.size() - head - tail;
    TraceStep step;
    step.name = ToQString(after);
    step.changedFrom = ToQString(TextView(after).substr(0, head)).size();
    step.changedLength = ToQString(TextView(after).substr(head, changed)).size();
    step.cut = changed == 0 && before.size() - head - tail > 0; // something was taken out here
    return step;
}

} // namespace

std::optional<NameTrace> RenameController::Trace(int line) const {
    if (line < 0 || static_cast<std::size_t>(line) >= previewed_.size() || !script_->IsValid()) {
        return std::nullopt;
    }
    NameTrace trace;
    try {
        // The numbering as the preview had it when it came to this file.
        NumberCounter counter = 0;
        for (int i = 0; i < line; ++i) {
            AdvanceNumbering(script_->Lines(), i == 0, counter);
        }
        Text name = files_->Files().Items(previewed_[static_cast<std::size_t>(line)]).Name();
        trace.original = ToQString(name);
        for (std::size_t k = 0; k < script_->Count(); ++k) {
            Text next = ApplyScript({script_->Lines()[k]}, name, line == 0, counter);
            trace.steps.push_back(StepOf(name, next));
            name = std::move(next);
        }
    } catch (const EngineError& e) {
        return NameTrace{{}, {}, QString::fromUtf8(e.what())};
    }
    return trace;
}

void RenameController::run(RunMode mode) {
    if (!script_->IsValid()) {
        emit message(messages::InvalidScript());
        return;
    }
    const std::vector<std::size_t> selected = selection_->Indexes(files_->Count());
    try {
        if (mode == RunMode::Confirm) {
            NumberCounter planCounter = 0;
            const RunReport plan = PlanRenames(script_->Lines(), files_->Files(), selected, planCounter);
            const QString question = messages::ConfirmRun() + QLatin1Char('\n') +
                                     messages::RunPlan(plan.renamed, plan.unchanged, plan.failed);
            if (!confirm || !confirm(messages::ConfirmTitle(), question)) {
                return;
            }
        }
        emit previewed(0);
        NumberCounter counter = 0;
        RunOptions options;
        options.progress = Follow(messages::RunProgress());
        const RunReport report = RunRenames(script_->Lines(), files_->Files(), selected, counter, options);
        options = {}; // the progress is over
        if (report.stop != RunReport::Stop::None) {
            emit error(QString::fromUtf8(report.error));
        }
        // The folder as the run left it, the renamed files selected under their new names.
        Relist(MovedNames(report.files));
        emit ran(SummaryOf(report.renamed, report.unchanged, report.failed, report.files, report.stopped));
    } catch (const EngineError& e) {
        emit error(QString::fromUtf8(e.what()));
    }
}

void RenameController::enterValue(const QString& value) {
    if (clickedLine_ < 0 || static_cast<std::size_t>(clickedLine_) >= script_->Count()) {
        emit error(messages::RangeError(std::max(clickedLine_, 0)));
        return;
    }
    emit valueAccepted();
    // The value goes into the placeholder that was clicked, provided the line still
    // holds it there; otherwise the line is left as it is.
    script_->SetValue(static_cast<std::size_t>(clickedLine_), static_cast<std::size_t>(clickedSlot_),
                      FromQString(clickedPlaceholder_), FromQString(value));
    preview(PreviewMode::Silent);
}

void RenameController::removeClickedLine() {
    if (clickedLine_ < 0 || !script_->Remove(static_cast<std::size_t>(clickedLine_))) {
        emit error(messages::RangeError(std::max(clickedLine_, 0)));
    }
}

void RenameController::removeLine(int line) {
    if (line < 0 || !script_->Remove(static_cast<std::size_t>(line))) {
        emit error(messages::RangeError(std::max(line, 0)));
        return;
    }
    if (clickedLine_ > line) {
        --clickedLine_;
    }
}

void RenameController::open(const QString& path) {
    scriptFileName_ = path;
    try {
        script_->Load(ReadScriptFile(PathBytes(path)));
    } catch (const FileError& e) {
        script_->Load({});
        emit error(QString::fromUtf8(e.what()));
    }
}

void RenameController::save(const QString& path) {
    scriptFileName_ = path;
    try {
        WriteScriptFile(PathBytes(path), script_->Lines());
        script_->SetUnmodified();
    } catch (const FileError& e) {
        emit error(QString::fromUtf8(e.what()));
    }
}

} // namespace quorvel
