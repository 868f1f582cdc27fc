// Between the window and the renaming core: owns the files shown, the selection,
// the script being edited and its file name, and does the listing, the preview,
// the run and the script files. No widgets: what it finds out goes out as
// signals, and the one question it must ask (the confirmation of a run) goes to a
// function the window gives it.
//
// The preview is never stale: whenever the selection, the files listed or the
// script change, and when the language of the messages changes, a silent preview
// is made once control is back in the event loop, so that one action of the user
// (which may change all three) makes one preview.
#pragma once

#include "editor/preview_source.hpp"
#include "engine/catalogue.hpp"
#include "files/listing/folder_path.hpp"
#include "files/listing/given_files.hpp"
#include "files/listing/scan.hpp"
#include "files/run/file_order.hpp"
#include "files/run/progress.hpp"
#include "files/run/run_file.hpp"
#include "metadata/facts_cache.hpp"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QTimer;

namespace quorvel {

class FileListModel;
class FileSelection;
class ScriptDocument;
struct GridPress;

// Whether an incomplete script is worth a message: not for the preview that
// follows every click in the grid.
enum class PreviewMode { Silent, Interactive };
// Whether a run asks first.
enum class RunMode { Confirm, Unattended };

// Where a script file to open comes from: the "Ouvrir" dialog, or the command line
// (which is also how the desktop opens a script with the program).
enum class ScriptSource { Dialog, CommandLine };

// What a listing shows besides the files of the folder: the folders below it and
// their files ("Sous-dossiers"), and the folders themselves, to be renamed too
// ("Renommer aussi les dossiers").
struct ListingScope {
    bool subFolders = false;
    bool folders = false;
    bool operator==(const ListingScope&) const = default;
};

// What the window lists: the files of a folder (and below it, as the scope asks),
// or a set of files given one by one (by the command line or a drop from a file
// manager), which every listing after a run, an undo or a change lists again.
enum class ListingMode { Folder, GivenFiles };

// What a run or an undo did, in counts and in words.
struct RunSummary {
    enum class Work { Run, Undo } work = Work::Run;
    std::size_t renamed = 0; // an undo: put back under their old names
    std::size_t unchanged = 0;
    std::size_t failed = 0;
    std::size_t notDone = 0; // stopped before them
    QStringList failures;    // "« old » → « new » : reason", one per failed file
    bool stopped = false;    // stopped on request before the end
};

class RenameController final : public QObject, public PreviewSource {
    Q_OBJECT
public:
    explicit RenameController(QObject* parent = nullptr);

    FileListModel& Files() const { return *files_; }
    FileSelection& Selection() const { return *selection_; }
    ScriptDocument& Script() const { return *script_; }
    const QString& ScriptFileName() const { return scriptFileName_; }
    void SetScriptFileName(const QString& path) { scriptFileName_ = path; }
    // The folder listed last, as exact bytes.
    const FolderPath& Folder() const { return folder_; }

    // A valid script and files to apply it to.
    bool CanPreview() const;
    // The folder shown has a run that can be taken back.
    bool CanUndo() const { return canUndo_; }
    // A placeholder was clicked since the script was last shown.
    bool CanRemoveLine() const { return clickedLine_ >= 0; }
    // A silent preview is waiting for the event loop.
    bool PreviewPending() const;

    // Line `line` (0-based) of the last preview: the new name of that file, its
    // control characters shown as symbols. Empty when there is no such line.
    QString PreviewedName(int line) const override;
    // How the script made line `line` of the last preview: the file's name after
    // each script line, and what each line changed. Nothing when there is no such
    // line or the script is no longer valid.
    std::optional<NameTrace> Trace(int line) const override;

    // Asked before a run in RunMode::Confirm; true to go on.
    std::function<bool(const QString& title, const QString& question)> confirm;

    // Gives the hook that follows a run or an undo, labelled `label`; the hook is
    // dropped as soon as the renaming ends. None: the work is not followed.
    std::function<ProgressHook(const QString& label)> startProgress;

    // The line whose placeholder was clicked last; -1 before the first click.
    int ClickedLine() const { return clickedLine_; }
    // That placeholder's place in its line (0-based); -1 before the first click.
    int ClickedSlot() const { return clickedSlot_; }

    // The order the grid shows and the run takes the files in.
    const FileOrder& Order() const { return order_; }

    ListingMode Mode() const { return mode_; }
    // The files of the set listed, by their paths (bytes, absolute), in the order
    // given; empty when a folder is listed.
    const std::vector<std::string>& GivenPaths() const { return given_; }

    // What the listings show from now on; the folder is not read again here.
    void SetScope(ListingScope scope) { scope_ = scope; }
    const ListingScope& Scope() const { return scope_; }
    // The folders below the folder listed that the last listing could not read.
    const std::vector<UnreadableFolder>& Unreadable() const { return unreadable_; }

public slots:
    // Shows the files in `order`, and numbers them so; the selected files stay
    // selected. Reading the dates taken shows its progress and can be stopped: the
    // order stays as it was.
    void arrange(FileOrder order);
    // Lists the files of `folder` (exact bytes) that match `filter`; clears the selection.
    void listFolder(const QByteArray& folder, const QString& filter);
    // Lists the files of `paths` (bytes; relative ones from the working folder) in
    // the order given, below the folder that holds them all, which becomes the
    // folder listed, and selects them all. The paths that name no file are said
    // in one message. Listing a folder afterwards goes back to listing folders.
    void listFiles(const std::vector<std::string>& paths);
    // Lists again what is listed (the folder, or the set given), the files
    // selected staying selected.
    void relist();
    // A press on grid row `row`: the selection follows the press rules (and the
    // preview follows the selection).
    void pressRow(const quorvel::GridPress& press, int row);
    // Selects every file listed.
    void selectAll();
    // Previews now. An error of the engine goes to previewFailed, and in
    // PreviewMode::Interactive also to a message box.
    void preview(PreviewMode mode);
    // The messages are now in another language: the preview is made again.
    void languageChanged();
    void run(RunMode mode);
    // Placeholder `slot` (0-based) of script line `line` was clicked: when its kind
    // is known it becomes the placeholder a value is written to (placeholderChosen),
    // otherwise nothing changes but placeholderOfNoKind.
    void clickPlaceholder(int line, int slot);
    // Writes `value` into the placeholder clicked last. When that line is gone, says
    // so and writes nothing.
    void enterValue(const QString& value);
    // Removes the line whose placeholder was clicked last.
    void removeClickedLine();
    // Removes line `line` as "Effacer" removes the clicked one; the line clicked
    // last, when it came after, is still the one a value goes to.
    void removeLine(int line);
    // Takes back the last run of the folder shown that is not undone.
    void undo();
    // Finishes (`finish`) or takes back the run of `journal`, and no other, whose
    // folder is `folder` (exact bytes, as recorded). A run with nothing to put back
    // is left as it is for good, as if taken back.
    void settleRun(const std::string& journal, const FolderPath& folder, bool finish);
    // Leaves the run of `journal` as it is for good: it is not offered again.
    void forgetRun(const std::string& journal);
    // Reads a script file, which becomes the script and its file name. A file that
    // cannot be read or is not a script is refused, and the script and its file
    // name stay as they were; from the command line a script that does not exist
    // yet is said so plainly and keeps the name the script is saved to later.
    // True when the script was read.
    bool open(const QString& path, quorvel::ScriptSource source = quorvel::ScriptSource::Dialog);
    // Writes the script to `path`, which becomes its file name.
    void save(const QString& path);

signals:
    // The new names of the `count` selected files are there to be read, in selection
    // order, through PreviewedName.
    void previewed(int count);
    // After `previewed`: the lines the run would not rename as shown, or that look
    // like another name (`line` indexes the names).
    void previewMarked(const std::vector<quorvel::ExampleMark>& marks);
    // The script cannot make the new names (a numbering that does not start at a
    // whole number): why, in the language of the messages. No names are previewed.
    void previewFailed(const QString& why);
    // A value of `kind` is asked for placeholder `slot` of line `line`, which shows `shown`.
    void placeholderChosen(quorvel::PlaceholderKind kind, const QString& shown, int line, int slot);
    // The placeholder clicked takes no value the program knows of.
    void placeholderOfNoKind();
    // A value entered goes into its line, which is still there.
    void valueAccepted();
    void ran(const quorvel::RunSummary& summary);
    void message(const QString& text);
    void error(const QString& text);
    // CanPreview or CanRemoveLine may have changed.
    void stateChanged();
    // Another folder than the one before is listed.
    void folderChanged();
    // A listing is over (Unreadable tells which folders below it could not be read).
    void listed();

private:
    FileListModel* files_;
    FileSelection* selection_;
    ScriptDocument* script_;
    QString scriptFileName_;
    FolderPath folder_;
    QString filter_;
    // Lists again what is listed, the files under `selectNames` (paths below the
    // folder listed) selected; a set given is first told `renamed` (paths below
    // the folder listed before -> their new names).
    void Relist(const std::vector<std::string>& selectNames,
                const std::vector<std::pair<std::string, std::string>>& renamed = {});
    void ListFolder(const FolderPath& folder, const QString& filter);
    // Lists the set given_ into the model, which keeps the paths still found;
    // says which were not.
    GivenFilesReport ReadGiven();
    // What follows every listing: the order asked, undo, the signals.
    void Listed(bool another);
    // Reads the folder into the model, with the progress shown past half a second.
    void ReadListing(const FolderPath& folder, const QString& filter);
    void UpdateUndo();
    ProgressHook Follow(const QString& label) const;
    // Reads the facts the script's templates ask of the files `selected` that the
    // listing does not know yet (listedFacts_), with the progress shown past half a
    // second; false when the person stopped the reading.
    bool ReadFacts(const std::vector<std::size_t>& selected);
    // Asks for a silent preview once the event loop runs again.
    void SchedulePreview();
    void PreviewScheduled();
    // Says why the preview has no names: in the list, and in a box when asked for.
    void PreviewError(PreviewMode mode, const QString& why);

    // Empties the list while a run or an undo works; the preview comes back after.
    void ClearPreviewForWork();
    class Renaming;

    QTimer* previewTimer_;
    bool renaming_ = false;    // a run or an undo is under way: the preview waits for its end
    bool previewHeld_ = false; // and is to be made once it is over

    bool canUndo_ = false;
    std::vector<std::size_t> previewed_; // the files of the last preview, in its order
    // What the last preview found of each file; kept so that the next preview of as
    // many files allocates next to nothing.
    std::vector<RunFile> preview_;
    // The facts read of the files listed, by record, and which of them were asked
    // of each: a second preview of the same files reads nothing. Emptied when the
    // folder is listed again.
    std::vector<FileFacts> listedFacts_;
    std::vector<FactSet> listedAsked_;
    FactsCache factsCache_; // by file, across listings
    FileOrder order_;
    ListingScope scope_;
    ListingMode mode_ = ListingMode::Folder;
    std::vector<std::string> given_;
    std::vector<UnreadableFolder> unreadable_;
    // A listing is under way: one asked meanwhile stops it and is made after it.
    bool listing_ = false;
    // What was asked while a listing was under way: a folder and its filter, or
    // files given.
    struct AskedListing {
        FolderPath folder;
        QString filter;
        std::optional<std::vector<std::string>> files;
    };
    std::optional<AskedListing> listingAsked_;
    // Makes the listings asked meanwhile, the last one asked last.
    void ListAsked();
    // Puts the files just listed (in name order) in order_; false when stopped.
    bool Arrange();
    // Shows the record at `order[i]` at place i, with its facts and selection.
    void Reorder(std::span<const std::size_t> order);
    // The place in the listing (name order) of the record shown at each place.
    std::vector<std::size_t> shownOrder_;
    int clickedLine_ = -1;
    int clickedSlot_ = -1; // 0-based
    QString clickedPlaceholder_;
};

} // namespace quorvel
