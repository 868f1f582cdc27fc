// The list of new names under "Exemple :": read-only lines, both scroll bars, no
// wrapping. Only the lines in view are laid out, so a preview of 100,000 files
// shows at once. Selected lines can be copied with Ctrl+C. A file that will not
// get the name shown is marked in red, the reason in its tooltip. When the script
// cannot make the names at all, the list shows why, as its one line.
#pragma once

#include "editor/preview_source.hpp"
#include "editor/trace_html.hpp"

#include <QAbstractListModel>
#include <QListView>
#include <functional>
#include <vector>

namespace quorvel {

// The colours of the marks and of the tooltips; the classic ones unless told otherwise.
struct ExampleColours {
    QColor conflict = Qt::red;
    QColor warning{0xB0, 0x5A, 0x00};
    QColor tipText; // the tooltip's text; none keeps the tooltip's own
    TraceColours trace;
};

// The lines and their marks. The lines are read from the preview as they are
// shown, so that a preview of a million names makes no million texts.
class ExampleModel final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    // The preview the lines are read from; none shows no lines.
    void SetSource(const PreviewSource* source);
    void SetLines(int count);
    void SetMarks(const std::vector<ExampleMark>& marks);
    // No names, and `why` as the one line, in the colour of conflicts.
    void SetProblem(const QString& why);
    const QString& Problem() const { return problem_; }
    void SetMarkColours(const QColor& conflict, const QColor& warning);
    int LineCount() const { return count_; }
    QString Line(int line) const;
    // How line `line` was made; nothing when the list has no such line.
    std::optional<NameTrace> Trace(int line) const;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const ExampleMark* MarkOf(int line) const;
    int count_ = 0;
    QString problem_; // shown instead of the names when not empty
    const PreviewSource* source_ = nullptr;
    std::vector<ExampleMark> marks_; // the marked lines only, by line
    QColor conflict_ = ExampleColours{}.conflict;
    QColor warning_ = ExampleColours{}.warning;
};

// Conflicts are shown in red, warnings in dark orange; the tooltip of a line gives
// its mark's reason and how the script made the name.
class TExampleList : public QListView {
    Q_OBJECT
public:
    explicit TExampleList(QWidget* parent = nullptr);

    // The preview whose names the list shows (it outlives the list, or is taken
    // away with SetSource(nullptr) before it goes).
    void SetSource(const PreviewSource* source);
    int LineCount() const { return model_.LineCount(); }
    // The lines joined by line feeds.
    QString toPlainText() const;
    // Why the script made no names; empty when it did.
    const QString& Problem() const { return model_.Problem(); }
    // Marks the lines (and says why there are no names) and draws the tooltips in
    // `colours` from now on.
    void SetColours(const ExampleColours& colours);

public slots:
    void clear();
    // Shows the first `count` lines of the preview.
    void SetLines(int count);
    // Marks lines of the list shown; cleared by the next SetLines.
    void SetMarks(const std::vector<quorvel::ExampleMark>& marks) { model_.SetMarks(marks); }
    // Shows `why` instead of names, until the next SetLines.
    void SetProblem(const QString& why) { model_.SetProblem(why); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    ExampleModel model_;
    ExampleColours colours_;
};

} // namespace quorvel
