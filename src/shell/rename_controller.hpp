// Between the window and the renaming core: owns the files shown, the selection,
// the script being edited and its file name, and does the listing, the preview,
// the run and the script files. No widgets: what it finds out goes out as
// signals, and the one question it must ask (the confirmation of a run) goes to a
// function the window gives it.
#pragma once

#include "editor/preview_source.hpp"
#include "engine/catalogue.hpp"
#include "files/progress.hpp"
#include "files/run_file.hpp"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

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

// What a run did, in counts and in words.
struct RunSummary {
    std::size_t renamed = 0;
    std::size_t unchanged = 0;
    std::size_t failed = 0;
    QStringList failures; // "old → new : reason", one per failed file
    bool stopped = false; // stopped on request before the end
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
    const QByteArray& Folder() const { return folder_; }

    // A valid script and files to apply it to.
    bool CanPreview() const;
    // The folder shown has a run that can be taken back.
    bool CanUndo() const { return canUndo_; }
    // A placeholder was clicked since the script was last shown.
    bool CanRemoveLine() const { return clickedLine_ >= 0; }

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

public slots:
    // Lists the files of `folder` (exact bytes) that match `filter`; clears the selection.
    void listFolder(const QByteArray& folder, const QString& filter);
    // A press on grid row `row`: the selection follows the press rules, and a press
    // on a data row previews silently when a preview can be made.
    void pressRow(const quorvel::GridPress& press, int row);
    // Selects every file listed.
    void selectAll();
    void preview(PreviewMode mode);
    void run(RunMode mode);
    // Placeholder `slot` (0-based) of script line `line` was clicked: when its kind
    // is known it becomes the placeholder a value is written to (placeholderChosen),
    // otherwise nothing changes but placeholderOfNoKind.
    void clickPlaceholder(int line, int slot);
    // Writes `value` into the placeholder clicked last, then previews silently.
    // When that line is gone, says so and writes nothing.
    void enterValue(const QString& value);
    // Removes the line whose placeholder was clicked last.
    void removeClickedLine();
    // Removes line `line` as "Effacer" removes the clicked one; the line clicked
    // last, when it came after, is still the one a value goes to.
    void removeLine(int line);
    // Takes back the last run of the folder shown that is not undone.
    void undo();
    // Finishes (`finish`) or takes back the interrupted run of `folder` (exact bytes).
    void settleInterrupted(const QByteArray& folder, bool finish);
    // Reads a script file; the script is emptied when it cannot be read.
    void open(const QString& path);
    // Writes the script to `path`, which becomes its file name.
    void save(const QString& path);

signals:
    // The new names of the `count` selected files are there to be read, in selection
    // order, through PreviewedName.
    void previewed(int count);
    // After `previewed`: the lines the run would not rename as shown, or that look
    // like another name (`line` indexes the names).
    void previewMarked(const std::vector<quorvel::ExampleMark>& marks);
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

private:
    FileListModel* files_;
    FileSelection* selection_;
    ScriptDocument* script_;
    QString scriptFileName_;
    QByteArray folder_;
    QString filter_;
    void Relist(const std::vector<std::string>& selectNames);
    void UpdateUndo();
    ProgressHook Follow(const QString& label) const;

    bool canUndo_ = false;
    std::vector<std::size_t> previewed_; // the files of the last preview, in its order
    // What the last preview found of each file; kept so that the next preview of as
    // many files allocates next to nothing.
    std::vector<RunFile> preview_;
    int clickedLine_ = -1;
    int clickedSlot_ = -1; // 0-based
    QString clickedPlaceholder_;
};

} // namespace quorvel
