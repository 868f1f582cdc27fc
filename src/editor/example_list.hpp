// The list of new names under "Exemple :": read-only lines, both scroll bars, no
// wrapping. Only the lines in view are laid out, so a preview of 100,000 files
// shows at once. Selected lines can be copied with Ctrl+C. A file that will not
// get the name shown is marked in red, the reason in its tooltip.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <functional>
#include <vector>

namespace quorvel {

// A mark on one line of the list: the file will not get that name (a conflict,
// in red) or may look like another name (a warning, in dark orange), and why.
struct ExampleMark {
    int line = 0; // 0-based
    bool conflict = true;
    QString reason;
};

// Gives line `line` (0-based) of a list; asked only for the lines shown or copied.
using LineSource = std::function<QString(int line)>;

// The lines and their marks. The lines are read from their source as they are
// shown, so that a preview of a million names makes no million texts.
class ExampleModel final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    void SetLines(int count, LineSource lineAt);
    void SetMarks(const std::vector<ExampleMark>& marks);
    int LineCount() const { return count_; }
    QString Line(int line) const;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const ExampleMark* MarkOf(int line) const;
    int count_ = 0;
    LineSource lineAt_;
    std::vector<ExampleMark> marks_; // the marked lines only, by line
};

class TExampleList : public QListView {
    Q_OBJECT
public:
    explicit TExampleList(QWidget* parent = nullptr);

    void clear();
    // `count` lines, line k being `lineAt(k)` until the next SetLines.
    void SetLines(int count, LineSource lineAt);
    // Marks lines of the list shown; cleared by the next SetLines.
    void SetMarks(const std::vector<ExampleMark>& marks) { model_.SetMarks(marks); }
    int LineCount() const { return model_.LineCount(); }
    // The lines joined by line feeds.
    QString toPlainText() const;
    // What the tooltip of line `line` (0-based) adds under the line's mark, in HTML.
    std::function<QString(int line)> traceOf;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    ExampleModel model_;
};

} // namespace quorvel
