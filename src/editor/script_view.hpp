// The script view: shows the script of a ScriptDocument, one line per script line
// with every placeholder a link, again after each change of the script. It reports
// clicks on placeholder links and drops of commands from the command tree; its
// right clicks are the window's.
#pragma once

#include <QPointer>
#include <QTextBrowser>
#include <optional>
#include <utility>
#include <vector>

namespace quorvel {

class ScriptDocument;

// The colours of the links; the text and the page take the view's palette.
struct ScriptColours {
    QColor link{0, 0, 0xFF};
    QColor emptyValue{0x80, 0x80, 0x80}; // a placeholder whose value is empty
};

class TScriptView : public QTextBrowser {
    Q_OBJECT
public:
    explicit TScriptView(QWidget* parent = nullptr);

    // Shows `script` from now on (it may go first; the view then keeps what it shows).
    void SetScript(const ScriptDocument* script);
    // The document text: the script's HTML lines, each followed by CR LF.
    const QString& DocumentText() const { return source_; }
    // Selects the shown text of placeholder `slot` (0-based) of line `line`; nothing
    // when the line shows no such placeholder.
    void SelectPlaceholder(int line, int slot);
    // Draws the links in `colours` from now on, those shown now included.
    void SetColours(const ScriptColours& colours);

signals:
    // A click (not the end of a dragged selection) on the link of placeholder `slot`
    // (0-based) of script line `line`.
    void placeholderClicked(int line, int slot);
    // Command node `number` of the command tree was dropped on the view.
    void commandDropped(int number);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Shows the script from the top, without selection. The page is built from the
    // script's lines directly rather than by parsing markup, which keeps long
    // scripts quick to show.
    void Render();
    // Gives every link shown its colour, leaving the text, the selection and the scroll as they are.
    void RecolourLinks();
    // The line and placeholder (0-based) of the link at a document position, if any.
    std::optional<std::pair<int, int>> PlaceholderAt(int position) const;

    // The document positions [start, end) of one link's shown text.
    struct LinkRange {
        int start = 0;
        int end = 0;
    };

    QPointer<const ScriptDocument> script_;
    ScriptColours colours_;
    QString source_;
    std::vector<std::vector<LinkRange>> links_; // per script line, per placeholder
    QPoint pressPos_;
    bool pressed_ = false;
    bool dragged_ = false;
};

} // namespace quorvel
