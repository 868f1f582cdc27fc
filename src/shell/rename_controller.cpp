#include "shell/rename_controller.hpp"

#include "bridge/qt_text.hpp"
#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"
#include "editor/script_document.hpp"
#include "engine/apply.hpp"
#include "engine/codec.hpp"
#include "engine/compiled_script.hpp"
#include "engine/errors.hpp"
#include "engine/script_file.hpp"
#include "files/history/recorded_runs.hpp"
#include "files/run/preview_renames.hpp"
#include "files/run/rename_run.hpp"
#include "files/run/run_messages.hpp"
#include "files/run/selection_facts.hpp"
#include "files/text/error_texts.hpp"
#include "files/text/message_language.hpp"
#include "files/text/shown_name.hpp"
#include "metadata/fact_fields.hpp"
#include "shell/messages.hpp"

#include <QFile>
#include <QTimer>
#include <algorithm>
#include <numeric>
#include <stop_token>
#include <unordered_map>
#include <unordered_set>

namespace quorvel {

namespace {

std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// "Expression invalide : MESSAGE à la position N", in the language shown.
QString PatternProblemMessage(const PatternProblem& problem) {
    return messages::InvalidPattern(QString::fromStdString(problem.message), problem.position);
}

// "Modèle invalide : MESSAGE à la position N", in the language of the messages,
// which is the language shown.
QString TemplateProblemMessage(const TemplateProblem& problem) {
    return QString::fromUtf8(TemplateProblemText(problem));
}

// Whether a file of a stopped run or undo was left as it was because the work
// stopped before it.
bool NotReached(const RunFile& file) {
    return file.outcome == RenameOutcome::Unchanged && file.reason.str() == std::string(kStoppedText);
}

// The counts of a run or an undo, and its failures in words.
RunSummary SummaryOf(RunSummary::Work work, std::size_t done, std::size_t unchanged, std::size_t failed,
                     const std::vector<RunFile>& files, bool stopped) {
    RunSummary summary;
    summary.work = work;
    summary.renamed = done;
    summary.failed = failed;
    summary.stopped = stopped;
    for (const RunFile& file : files) {
        if (file.outcome == RenameOutcome::Failed) {
            summary.failures.push_back(messages::FailureLine(QString::fromStdString(Quoted(file.oldName)),
                                                             QString::fromStdString(Quoted(file.newName)),
                                                             QString::fromUtf8(file.reason.str())));
        } else if (stopped && NotReached(file)) {
            ++summary.notDone;
        }
    }
    // The files a stopped run never reached are not done, not unchanged.
    summary.unchanged = unchanged - std::min(unchanged, work == RunSummary::Work::Run ? summary.notDone : 0);
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

// The entries a run of `records` moved: the path of each below the folder listed,
// and its new name.
std::vector<std::pair<std::string, std::string>> RenamedByRun(const std::vector<RunFile>& files,
                                                              const TListFiles& records) {
    std::vector<std::pair<std::string, std::string>> renamed;
    for (const RunFile& file : files) {
        if (file.outcome == RenameOutcome::Renamed && file.index < records.Count()) {
            renamed.emplace_back(records.Items(file.index).RelativeBytes(), file.newName);
        }
    }
    return renamed;
}

// The entries an undo moved back or a resume moved on: the path each had below the
// folder listed, and the name it has now (their reports name both by their paths).
std::vector<std::pair<std::string, std::string>> RenamedByPaths(const std::vector<RunFile>& files) {
    std::vector<std::pair<std::string, std::string>> renamed;
    for (const RunFile& file : files) {
        if (file.outcome == RenameOutcome::Renamed) {
            const std::size_t slash = file.newName.rfind('/');
            renamed.emplace_back(file.oldName,
                                 slash == std::string::npos ? file.newName : file.newName.substr(slash + 1));
        }
    }
    return renamed;
}

// The path `old` below the folder listed after the renames `renamed` (old path ->
// new name): each of its parts renamed where it was renamed.
std::string PathAfter(const std::string& old, const std::unordered_map<std::string, std::string>& renamed) {
    std::string path;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = old.find('/', start);
        const std::size_t end = slash == std::string::npos ? old.size() : slash;
        const auto found = renamed.find(old.substr(0, end));
        path += found != renamed.end() ? found->second : old.substr(start, end - start);
        if (slash == std::string::npos) {
            return path;
        }
        path += '/';
        start = slash + 1;
    }
}

// The paths below the folder listed that the entries a run of `records` moved
// have now: their new names, in their folders as the run renamed them too.
std::vector<std::string> MovedPaths(const std::vector<RunFile>& files, const TListFiles& records) {
    const auto pairs = RenamedByRun(files, records);
    const std::unordered_map<std::string, std::string> renamed(pairs.begin(), pairs.end());
    std::vector<std::string> paths;
    for (const auto& [old, name] : pairs) {
        paths.push_back(PathAfter(old, renamed));
    }
    return paths;
}

// `folder` (absolute) with "/" after it.
std::string FolderPrefix(const FolderPath& folder) {
    std::string prefix = folder.Bytes();
    if (prefix.empty() || prefix.back() != '/') {
        prefix += '/';
    }
    return prefix;
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

} // namespace

RenameController::RenameController(QObject* parent)
    : QObject(parent), files_(new FileListModel(this)), selection_(new FileSelection(this)),
      script_(new ScriptDocument(this)), previewTimer_(new QTimer(this)) {
    connect(script_, &ScriptDocument::changed, this, &RenameController::stateChanged);
    connect(files_, &FileListModel::modelReset, this, &RenameController::stateChanged);
    // The preview follows whatever changed, once per turn of the event loop.
    previewTimer_->setSingleShot(true);
    previewTimer_->setInterval(0);
    connect(previewTimer_, &QTimer::timeout, this, &RenameController::PreviewScheduled);
    connect(script_, &ScriptDocument::changed, this, &RenameController::SchedulePreview);
    connect(files_, &FileListModel::modelReset, this, &RenameController::SchedulePreview);
    connect(selection_, &FileSelection::changed, this, &RenameController::SchedulePreview);
}

bool RenameController::PreviewPending() const {
    return previewTimer_->isActive();
}

void RenameController::SchedulePreview() {
    if (!previewTimer_->isActive()) {
        previewTimer_->start();
    }
}

void RenameController::PreviewScheduled() {
    // A run or an undo keeps the window alive while it works; its end lists the
    // folder again, which asks for the preview of what is then selected.
    if (renaming_) {
        previewHeld_ = true;
    } else {
        preview(PreviewMode::Silent);
    }
}

void RenameController::languageChanged() {
    SchedulePreview();
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
    selection_->Apply(press, row);
}

void RenameController::selectAll() {
    selection_->SelectAll(static_cast<int>(files_->Count()) + 1);
}

void RenameController::listFolder(const QByteArray& folder, const QString& filter) {
    ListFolder(FolderPath(folder.toStdString()), filter);
}

void RenameController::listFiles(const std::vector<std::string>& paths) {
    if (listing_) {
        // Given while a listing shows its progress: that one stops, this one follows.
        listingAsked_ = AskedListing{{}, {}, paths};
        return;
    }
    given_ = paths;
    mode_ = ListingMode::GivenFiles;
    // Files handed over are shown in the order they come in, whatever order the
    // folder before was shown in; another order can be chosen afterwards.
    if (order_ != FileOrder{}) {
        order_ = {};
        emit stateChanged();
    }
    const GivenFilesReport report = ReadGiven();
    if (listingAsked_) {
        ListAsked(); // stopped for another listing
        return;
    }
    selectAll();
    if (!report.refused.empty()) {
        QStringList lines;
        for (const RefusedPath& refused : report.refused) {
            lines.push_back(
                messages::RefusedFileLine(QString::fromStdString(Quoted(refused.path)),
                                          QString::fromStdString(GivenPathErrorText(refused.error))));
        }
        emit message(messages::RefusedFiles() + QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
    }
}

void RenameController::relist() {
    std::vector<std::string> selected;
    for (const std::size_t index : selection_->Indexes(files_->Count())) {
        selected.push_back(files_->Files().Items(index).RelativeBytes());
    }
    Relist(selected);
}

GivenFilesReport RenameController::ReadGiven() {
    selection_->Clear();
    // A long list may be long to read: its progress past half a second, and
    // "Arrêter" keeps the files read so far.
    ProgressHook hook = Follow(messages::FilesProgress());
    listing_ = true;
    GivenFilesReport report = files_->ListGiven(given_, [&](std::size_t done, std::size_t total) {
        return !listingAsked_ && (!hook || hook(done, total));
    });
    listing_ = false;
    hook = {}; // the progress is over
    const bool another = report.folder != folder_;
    folder_ = report.folder;
    // From now on the set is known by the absolute paths of what was listed.
    given_.clear();
    const std::string prefix = FolderPrefix(folder_);
    for (std::size_t i = 0; i < files_->Count(); ++i) {
        given_.push_back(prefix + files_->Files().Items(i).RelativeBytes());
    }
    unreadable_.clear();
    Listed(another);
    return report;
}

void RenameController::Listed(bool another) {
    listedFacts_.clear();
    listedAsked_.clear();
    shownOrder_.resize(files_->Count());
    std::iota(shownOrder_.begin(), shownOrder_.end(), std::size_t{0});
    if (order_ != FileOrder{} && !Arrange()) {
        order_ = {}; // stopped: as listed
        emit stateChanged();
    }
    UpdateUndo();
    if (another) {
        emit folderChanged();
    }
    emit listed();
}

void RenameController::ListFolder(const FolderPath& folder, const QString& filter) {
    if (listing_) {
        // Asked while a listing shows its progress: that one stops, this one follows.
        listingAsked_ = AskedListing{folder, filter, std::nullopt};
        return;
    }
    mode_ = ListingMode::Folder;
    given_.clear();
    ReadListing(folder, filter);
    ListAsked();
}

void RenameController::ListAsked() {
    while (listingAsked_) {
        AskedListing next = std::move(*listingAsked_);
        listingAsked_.reset();
        if (next.files) {
            listFiles(*next.files);
        } else {
            mode_ = ListingMode::Folder;
            given_.clear();
            ReadListing(next.folder, next.filter);
        }
    }
}

void RenameController::ReadListing(const FolderPath& folder, const QString& filter) {
    const bool another = folder != folder_;
    folder_ = folder;
    filter_ = filter;
    selection_->Clear();
    TreeScan scan;
    scan.depth = scope_.subFolders ? 0 : 1;
    scan.entries = scope_.folders ? TreeEntries::FilesAndFolders : TreeEntries::Files;
    ProgressHook hook;
    if (scope_.subFolders) {
        // A tree may be long to read: its progress past half a second, and "Arrêter"
        // keeps what was read so far.
        hook = Follow(messages::FoldersProgress());
        scan.progress = [&](std::size_t, std::size_t entries) {
            return !listingAsked_ && (!hook || hook(entries, 0));
        };
    }
    listing_ = true;
    TreeScanReport report = files_->List(folder, FromQString(filter), scan);
    listing_ = false;
    hook = {}; // the progress is over
    unreadable_ = std::move(report.unreadable);
    Listed(another);
}

void RenameController::UpdateUndo() {
    const bool can = !folder_.Empty() && HasRunToUndo(folder_, JournalFolder());
    if (can != canUndo_) {
        canUndo_ = can;
        emit stateChanged();
    }
}

void RenameController::Relist(const std::vector<std::string>& selectNames,
                              const std::vector<std::pair<std::string, std::string>>& renamed) {
    const std::unordered_set<std::string> wanted(selectNames.begin(), selectNames.end());
    const int anchor = selection_->AnchorRow();
    if (mode_ == ListingMode::GivenFiles && listing_) {
        listingAsked_ = AskedListing{{}, {}, given_}; // after the listing under way
        return;
    }
    if (mode_ == ListingMode::GivenFiles) {
        // The same set, under the names the work gave it.
        const std::unordered_map<std::string, std::string> names(renamed.begin(), renamed.end());
        const std::string prefix = FolderPrefix(folder_);
        for (std::string& path : given_) {
            if (path.starts_with(prefix)) {
                path = prefix + PathAfter(path.substr(prefix.size()), names);
            }
        }
        ReadGiven();
        ListAsked();
    } else {
        ListFolder(folder_, filter_);
    }
    std::vector<int> rows;
    for (std::size_t i = 0; i < files_->Count() && !wanted.empty(); ++i) {
        if (wanted.count(files_->Files().Items(i).RelativeBytes()) != 0) {
            rows.push_back(static_cast<int>(i) + 1);
        }
    }
    selection_->Select(rows);
    selection_->SetAnchorRow(anchor);
}

bool RenameController::Arrange() {
    std::vector<std::size_t> order(files_->Count());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stop_source stop;
    const ProgressHook hook =
        order_.key == SortKey::Taken ? Follow(messages::FactsProgress()) : ProgressHook();
    const std::size_t total = order.size();
    if (!ArrangeFiles(
            order, files_->Files(), order_, factsCache_,
            [&](std::size_t done) {
                if (hook && !hook(done, total)) {
                    stop.request_stop();
                }
            },
            stop.get_token())) {
        return false;
    }
    Reorder(order);
    std::vector<std::size_t> shown(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        shown[i] = shownOrder_[order[i]];
    }
    shownOrder_ = std::move(shown);
    return true;
}

void RenameController::Reorder(std::span<const std::size_t> order) {
    const std::size_t count = files_->Count();
    // Where each record goes, for the facts read and the rows selected.
    std::vector<std::size_t> placeOf(count);
    for (std::size_t i = 0; i < order.size(); ++i) {
        placeOf[order[i]] = i;
    }
    const std::vector<std::size_t> selected = selection_->Indexes(count);
    const int anchor = selection_->AnchorRow();
    files_->Rearrange(order);
    if (!listedFacts_.empty()) {
        std::vector<FileFacts> facts(listedFacts_.size());
        std::vector<FactSet> asked(listedAsked_.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            facts[i] = std::move(listedFacts_[order[i]]);
            asked[i] = listedAsked_[order[i]];
        }
        listedFacts_ = std::move(facts);
        listedAsked_ = std::move(asked);
    }
    std::vector<int> rows;
    rows.reserve(selected.size());
    for (const std::size_t index : selected) {
        rows.push_back(static_cast<int>(placeOf[index]) + 1);
    }
    std::sort(rows.begin(), rows.end());
    selection_->Select(rows);
    if (anchor >= 1 && static_cast<std::size_t>(anchor) <= count) {
        selection_->SetAnchorRow(static_cast<int>(placeOf[static_cast<std::size_t>(anchor) - 1]) + 1);
    }
}

void RenameController::arrange(FileOrder order) {
    if (order == order_) {
        return;
    }
    if (!folder_.Empty()) {
        // Back to the order of the listing, then into the new one: the files, what
        // was read of them and the selection move along, nothing is read again.
        std::vector<std::size_t> back(shownOrder_.size());
        for (std::size_t i = 0; i < shownOrder_.size(); ++i) {
            back[shownOrder_[i]] = i;
        }
        Reorder(back);
        std::iota(shownOrder_.begin(), shownOrder_.end(), std::size_t{0});
        order_ = order;
        if (order_ != FileOrder{} && !Arrange()) {
            order_ = {}; // stopped: by name, as listed
        }
    } else {
        order_ = order;
    }
    emit stateChanged();
}

ProgressHook RenameController::Follow(const QString& label) const {
    return startProgress ? startProgress(label) : ProgressHook();
}

bool RenameController::ReadFacts(const std::vector<std::size_t>& selected) {
    const FactSet wanted = NeedsOf(script_->Lines()).facts;
    if (wanted.Empty()) {
        return true;
    }
    listedFacts_.resize(files_->Count());
    listedAsked_.resize(files_->Count());
    std::vector<std::size_t> missing;
    for (const std::size_t index : selected) {
        if (index < listedAsked_.size() && (listedAsked_[index] | wanted) != listedAsked_[index]) {
            missing.push_back(index);
        }
    }
    if (missing.empty()) {
        return true;
    }
    std::stop_source stop;
    const ProgressHook hook = Follow(messages::FactsProgress());
    FactsOfFiles read = ReadFactsOfSelection(
        wanted, files_->Files(), missing, factsCache_,
        [&](std::size_t done) {
            if (hook && !hook(done, missing.size())) {
                stop.request_stop();
            }
        },
        stop.get_token());
    if (read.stopped) {
        return false;
    }
    for (std::size_t k = 0; k < missing.size(); ++k) {
        metadata::CopyFacts(read.facts[k], wanted, listedFacts_[missing[k]]);
        listedAsked_[missing[k]] |= wanted;
    }
    return true;
}

namespace {} // namespace

// Holds the silent preview back while a run or an undo works (its progress keeps
// the event loop turning), and asks for it once the work is over if one was held
// back or the list was emptied for the work.
class RenameController::Renaming {
public:
    explicit Renaming(RenameController& controller) : controller_(controller) {
        controller_.renaming_ = true;
    }
    ~Renaming() {
        controller_.renaming_ = false;
        if (std::exchange(controller_.previewHeld_, false)) {
            controller_.SchedulePreview();
        }
    }
    Renaming(const Renaming&) = delete;
    Renaming& operator=(const Renaming&) = delete;

private:
    RenameController& controller_;
};

void RenameController::ClearPreviewForWork() {
    previewHeld_ = true;
    previewed_.clear();
    emit previewed(0);
}

void RenameController::undo() {
    const Renaming renaming(*this);
    ClearPreviewForWork();
    const TakeBackReport report = UndoLastRun(folder_, JournalFolder(), Follow(messages::UndoProgress()));
    if (report.status == TakeBackReport::Status::NothingToDo) {
        emit message(messages::NothingToUndo());
        UpdateUndo();
        return;
    }
    if (!report.error.empty()) {
        emit error(QString::fromUtf8(report.error));
    }
    if (!report.journalError.empty()) {
        emit error(QString::fromUtf8(report.journalError));
    }
    Relist(MovedNames(report.files), RenamedByPaths(report.files));
    emit ran(SummaryOf(RunSummary::Work::Undo, report.done, 0, report.failed, report.files, report.stopped));
}

void RenameController::settleRun(const std::string& journal, const FolderPath& folder, bool finish) {
    const Renaming renaming(*this);
    if (folder == folder_) {
        ClearPreviewForWork();
    }
    const TakeBackReport report =
        finish ? ResumeRun(journal, JournalFolder(), Follow(messages::RunProgress()))
               : UndoRun(journal, JournalFolder(), Follow(messages::PutBackProgress()));
    if (!report.error.empty()) {
        emit error(QString::fromUtf8(report.error));
    }
    if (!report.journalError.empty()) {
        emit error(QString::fromUtf8(report.journalError));
    }
    // Nothing of the run is under a new name: there is nothing to put back, and the
    // run is done with.
    if (!finish && report.status == TakeBackReport::Status::NothingToDo) {
        forgetRun(journal);
    }
    if (folder == folder_) {
        Relist(MovedNames(report.files), RenamedByPaths(report.files));
    }
    UpdateUndo();
    if (report.status == TakeBackReport::Status::Refused ||
        report.status == TakeBackReport::Status::JournalBusy ||
        report.status == TakeBackReport::Status::FolderUnreadable) {
        return; // said in the error above; nothing was renamed
    }
    // A finished run counts as a run, whose not-renamed files stayed unchanged.
    std::size_t unchanged = 0;
    if (finish) {
        unchanged = static_cast<std::size_t>(
            std::count_if(report.files.begin(), report.files.end(),
                          [](const RunFile& f) { return f.outcome == RenameOutcome::Unchanged; }));
    }
    emit ran(SummaryOf(finish ? RunSummary::Work::Run : RunSummary::Work::Undo, report.done, unchanged,
                       report.failed, report.files, report.stopped));
}

void RenameController::forgetRun(const std::string& journal) {
    std::string why;
    if (!ForgetRun(journal, JournalFolder(), why)) {
        emit error(QString::fromUtf8(why));
    }
}

void RenameController::PreviewError(PreviewMode mode, const QString& why) {
    previewed_.clear();
    preview_.clear();
    emit previewed(0);
    emit previewFailed(why);
    if (mode == PreviewMode::Interactive) {
        emit error(why);
    }
}

void RenameController::preview(PreviewMode mode) {
    previewTimer_->stop(); // whatever was waiting is seen now
    if (!script_->IsValid()) {
        previewed_.clear();
        emit previewed(0);
        if (mode == PreviewMode::Interactive) {
            emit message(messages::InvalidScript());
        }
        return;
    }
    if (const auto problem = PatternProblemOf(script_->Lines())) {
        previewed_.clear();
        emit previewed(0);
        if (mode == PreviewMode::Interactive) {
            emit message(PatternProblemMessage(*problem));
        }
        return;
    }
    if (const auto problem = TemplateProblemOf(script_->Lines())) {
        previewed_.clear();
        emit previewed(0);
        if (mode == PreviewMode::Interactive) {
            emit message(TemplateProblemMessage(*problem));
        }
        return;
    }
    try {
        std::vector<std::size_t> selected = selection_->Indexes(files_->Count());
        previewed_.clear();
        if (!ReadFacts(selected)) {
            emit previewed(0); // stopped while the files were read: no names
            return;
        }
        // The names and their checks at once, against the folder as it was listed.
        NumberCounter counter = 0;
        PreviewRenamesInto(script_->Lines(), files_->Files(), selected, counter, preview_, listedFacts_);
        const std::vector<RunFile>& files = preview_;
        const auto tooLong = std::find_if(
            files.begin(), files.end(), [](const RunFile& f) { return f.verdict == Verdict::EngineFailure; });
        if (tooLong != files.end()) {
            PreviewError(mode, QString::fromUtf8(tooLong->reason.str()));
            return;
        }
        previewed_ = std::move(selected);
        emit previewed(static_cast<int>(files.size()));
        emit previewMarked(MarksOf(files));
    } catch (const EngineError& e) {
        PreviewError(mode, QString::fromUtf8(EngineErrorText(e)));
    }
}

QString RenameController::PreviewedName(int line) const {
    if (line < 0 || static_cast<std::size_t>(line) >= preview_.size()) {
        return {};
    }
    const RunFile& file = preview_[static_cast<std::size_t>(line)];
    // A file without a value its template asks for keeps its name: shown as it is,
    // marked with the reason.
    return NameToQString(file.verdict == Verdict::ValueMissing ? file.oldName : file.newName);
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
        const TProjectFile& record = files_->Files().Items(previewed_[static_cast<std::size_t>(line)]);
        Text name = record.Name();
        trace.original = ToQString(name);
        // What the preview told the file: its place in the selection, and among the
        // files selected in its folder.
        const auto place = static_cast<std::size_t>(line);
        const std::size_t index = previewed_[place];
        const std::size_t placeInFolder = static_cast<std::size_t>(
            std::count_if(previewed_.begin(), previewed_.begin() + line, [&](std::size_t other) {
                return files_->Files().Items(other).SharedFolder() == record.SharedFolder();
            }));
        const FileContext context{.facts = index < listedFacts_.size() ? listedFacts_[index] : NoFacts(),
                                  .folder = FolderName(record.Folder()),
                                  .place = place,
                                  .placeInFolder = placeInFolder,
                                  .dateNames = DateNamesOfMessages()};
        for (std::size_t k = 0; k < script_->Count(); ++k) {
            const Text& script = script_->Lines()[k];
            Text next = ApplyScript({script}, name, line == 0, counter, context);
            TraceStep step = StepOf(name, next);
            for (const ValueSource& source : SourcesOfLine(script, name, context)) {
                step.sources.push_back(QString::fromUtf8(ShownName(SourceLine(source))));
            }
            trace.steps.push_back(std::move(step));
            name = std::move(next);
        }
    } catch (const EngineError& e) {
        return NameTrace{{}, {}, QString::fromUtf8(EngineErrorText(e))};
    }
    return trace;
}

void RenameController::run(RunMode mode) {
    if (!script_->IsValid()) {
        emit message(messages::InvalidScript());
        return;
    }
    if (const auto problem = PatternProblemOf(script_->Lines())) {
        emit message(PatternProblemMessage(*problem));
        return;
    }
    if (const auto problem = TemplateProblemOf(script_->Lines())) {
        emit message(TemplateProblemMessage(*problem));
        return;
    }
    const Renaming renaming(*this);
    const std::vector<std::size_t> selected = selection_->Indexes(files_->Count());
    if (!ReadFacts(selected)) {
        return; // stopped while the files were read: nothing renamed
    }
    try {
        RunOptions options;
        options.facts = listedFacts_;
        if (mode == RunMode::Confirm) {
            NumberCounter planCounter = 0;
            const RunReport plan =
                PlanRenames(script_->Lines(), files_->Files(), selected, planCounter, options);
            const QString question = messages::ConfirmRun() + QLatin1Char('\n') +
                                     messages::RunPlan(plan.renamed, plan.unchanged, plan.failed);
            if (!confirm || !confirm(messages::ConfirmTitle(), question)) {
                return;
            }
        }
        ClearPreviewForWork();
        NumberCounter counter = 0;
        options.progress = Follow(messages::RunProgress());
        const RunReport report = RunRenames(script_->Lines(), files_->Files(), selected, counter, options);
        options = {}; // the progress is over
        if (report.stop != RunReport::Stop::None) {
            emit error(QString::fromUtf8(report.error));
        }
        if (!report.journalError.empty()) {
            emit error(QString::fromUtf8(report.journalError));
        }
        // The folder as the run left it, the renamed files selected under their new names.
        Relist(MovedPaths(report.files, files_->Files()), RenamedByRun(report.files, files_->Files()));
        emit ran(SummaryOf(RunSummary::Work::Run, report.renamed, report.unchanged, report.failed,
                           report.files, report.stopped));
    } catch (const EngineError& e) {
        emit error(QString::fromUtf8(EngineErrorText(e)));
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

bool RenameController::open(const QString& path, ScriptSource source) {
    const std::string bytes = PathBytes(path);
    ScriptLines lines;
    try {
        // The window writes its script back to the file it came from: only a script
        // is read, never a picture that a later save would overwrite.
        lines = ReadScriptFile(bytes, ScriptReading::ScriptsOnly);
    } catch (const ScriptFileError& e) {
        if (source == ScriptSource::CommandLine) {
            // A plain message for what the command line named wrongly; the script
            // named but not there yet is where "Enregistrer" will write.
            if (const std::string plain = WindowScriptFileErrorText(e, bytes, PathForm::Bare);
                !plain.empty()) {
                if (e.kind() == ScriptFileError::Kind::Missing) {
                    scriptFileName_ = path;
                }
                emit message(QString::fromUtf8(plain));
                return false;
            }
        }
        emit error(QString::fromUtf8(FileErrorText(e)));
        return false;
    }
    scriptFileName_ = path;
    script_->Load(std::move(lines));
    return true;
}

void RenameController::save(const QString& path) {
    scriptFileName_ = path;
    try {
        WriteScriptFile(PathBytes(path), script_->Lines());
        script_->SetUnmodified();
    } catch (const FileError& e) {
        emit error(QString::fromUtf8(FileErrorText(e)));
    }
}

} // namespace quorvel
