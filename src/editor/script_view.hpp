// The script view: shows the script of a ScriptDocument, one line per script line
// with every placeholder a link, again after each change of the script. It reports
// clicks on placeholder links and drops of commands from the command tree; its
// right clicks are the window's.
//
// On the keyboard, Tab and Shift+Tab move a focus, drawn as a frame, over the
// links in order (Tab after the last one leaves the view); Enter or Space on the
// focused link is a click on it, Delete asks for its line to go. Assistive
// technology sees each link as a child of role Link (editor/script_view_access.hpp).
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

// Black or white, whichever stands out more from `page`: the colour of the frame
// around the focused placeholder.
QColor FocusFrameColour(const QColor& page);

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

    // The placeholder (line, slot) whose link has the focus: the one Tab moved to or
    // that was selected last. None when the selection is not a whole link.
    std::optional<std::pair<int, int>> FocusedPlaceholder() const { return focused_; }
    // Takes the keyboard focus on the link of placeholder (line, slot), or on the
    // first link after it when it is gone (the last link when none follows).
    void FocusPlaceholder(int line, int slot);

    // The links in the order Tab visits them, for assistive technology.
    int LinkCount() const { return static_cast<int>(order_.size()); }
    // Line and slot of link `link` (0-based, in Tab order; 0 <= link < LinkCount()).
    std::pair<int, int> LinkPlaceholder(int link) const { return order_[static_cast<std::size_t>(link)]; }
    // Tab order of the link of placeholder (line, slot); -1 for none.
    int LinkIndex(int line, int slot) const;
    // What the link shows and which parameter it is: "3 (n)". These three say
    // nothing of a link the view does not have.
    QString LinkName(int link) const;
    // Its description: the text given for filled or empty placeholders, "%1" its line (1 and up).
    QString LinkDescription(int link) const;
    void SetLinkDescriptions(const QString& filled, const QString& empty);
    // Where the link stands, one rectangle per text line, in viewport coordinates.
    std::vector<QRect> LinkRects(int link) const;
    // A press of link `link`, as a click on it.
    void PressLink(int link);

signals:
    // A click (not the end of a dragged selection) on the link of placeholder `slot`
    // (0-based) of script line `line`.
    void placeholderClicked(int line, int slot);
    // Command node `number` of the command tree was dropped on the view.
    void commandDropped(int number);
    // Delete was pressed on a link of script line `line`: that line is to go.
    void lineRemovalRequested(int line);
    // The links were made again from the script.
    void linksChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Render, then the focus back on the link it was on, when the keyboard is here.
    void ShowScript();
    // The Tab order of the links made by Render.
    void IndexLinks();
    // Selects link `link` as the focused one and brings it into view.
    void SelectLink(int link);
    // The link at or after placeholder (line, slot) in Tab order, else the last; -1 when there are none.
    int LinkFrom(int line, int slot) const;
    // Follows the selection: the focused link is the one it covers whole.
    void FollowSelection();
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
    std::vector<std::pair<int, int>> order_;    // (line, slot) of every link, in Tab order
    std::vector<int> firstLink_;                // per script line, the Tab order of its first link
    std::optional<std::pair<int, int>> focused_;
    QString filledDescription_;
    QString emptyDescription_;
    bool rendering_ = false;
    int removing_ = -1; // the line Delete asked to remove, while it goes
    QPoint pressPos_;
    bool pressed_ = false;
    bool dragged_ = false;
};

} // namespace quorvel
