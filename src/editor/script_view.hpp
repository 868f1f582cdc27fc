// The script view: shows the HTML lines of the script and reports clicks on
// placeholder links, drops of commands from the command tree, and right clicks.
#pragma once

#include "engine/script.hpp"

#include <QMimeData>
#include <QStringList>
#include <QTextBrowser>
#include <functional>

namespace quorvel {

// A click on a placeholder link.
struct HotSpot {
    QString href;    // the link target as written ("file://[n=3]")
    int line = -1;   // the anchor's name: the index of its script line
    int ordinal = 0; // 1 for the line's first placeholder link, 2 for the second...
    int start = 0;   // document positions of the link's shown text
    int end = 0;
};

class TScriptView : public QTextBrowser {
    Q_OBJECT
public:
    // Mime type of what the command tree drags; the only one a drop accepts.
    static const char* const kCommandMimeType;

    explicit TScriptView(QWidget* parent = nullptr);

    // Shows the script whose HTML lines are `htmlLines`, from the top, without
    // selection. The page shows each line's text with its placeholders as links,
    // exactly as the lines read; it is built directly rather than by parsing the
    // markup, which keeps long scripts quick to show.
    void Show(const ScriptLines& script, const QStringList& htmlLines);
    // The document text: the HTML lines, each followed by CR LF.
    const QString& DocumentText() const { return source_; }
    // Selects document positions [start, end).
    void SelectRange(int start, int end);

    // The placeholder link at a document position, if any.
    bool HotSpotAt(int position, HotSpot& spot) const;

    // Answers whether a drag may be dropped (set by the main window).
    std::function<bool(const QMimeData*)> acceptsDrop;

signals:
    void HotSpotClicked(const HotSpot& spot);
    void CommandDropped(const QMimeData* payload);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool Accepts(const QMimeData* payload) const;
    QString source_;
    QPoint pressPos_;
    bool pressed_ = false;
    bool dragged_ = false;
};

} // namespace quorvel
