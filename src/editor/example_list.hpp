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

// The lines and their marks.
class ExampleModel final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    void SetLines(QStringList lines);
    void SetMarks(const std::vector<ExampleMark>& marks);
    const QStringList& Lines() const { return lines_; }
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const ExampleMark* MarkOf(int line) const;
    QStringList lines_;
    std::vector<ExampleMark> marks_; // the marked lines only, by line
};

class TExampleList : public QListView {
    Q_OBJECT
public:
    explicit TExampleList(QWidget* parent = nullptr);

    void clear();
    void SetLines(QStringList lines);
    // Marks lines of the list shown; cleared by the next SetLines.
    void SetMarks(const std::vector<ExampleMark>& marks) { model_.SetMarks(marks); }
    int LineCount() const { return static_cast<int>(model_.rowCount()); }
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
