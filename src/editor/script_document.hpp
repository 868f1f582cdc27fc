// The script being edited: its lines as stored in script files, each also read
// once as a ScriptLine (what the script view shows and where a value is written),
// and the script's HTML lines, made from those. Every change goes through here and
// is announced by `changed`.
#pragma once

#include "engine/script.hpp"
#include "engine/script_line.hpp"

#include <QObject>
#include <QStringList>
#include <vector>

namespace quorvel {

class ScriptDocument : public QObject {
    Q_OBJECT
public:
    explicit ScriptDocument(QObject* parent = nullptr);

    // The script as it is written to a file.
    const ScriptLines& Lines() const { return lines_; }
    const ScriptLine& Line(std::size_t index) const { return read_[index]; }
    std::size_t Count() const { return lines_.size(); }
    bool IsEmpty() const { return lines_.empty(); }
    // At least one line, and every placeholder filled.
    bool IsValid() const { return valid_; }
    // One HTML line per script line (editor/script_html.hpp): derived, never edited.
    const QStringList& HtmlLines() const { return html_; }

    // Changed since it was opened, saved or cleared by SetUnmodified.
    bool IsModified() const { return modified_; }
    void SetUnmodified();

    void Append(Text line);
    // False when `index` names no line.
    bool Remove(std::size_t index);
    void Clear();
    // A script read from a file: not a change of the user's.
    void Load(ScriptLines lines);
    // Writes `value` into placeholder `slot` of line `index`, provided that
    // placeholder still stands there as `expected`; false otherwise.
    bool SetValue(std::size_t index, std::size_t slot, TextView expected, TextView value);

signals:
    void changed();

private:
    void Rebuild(bool modified);

    ScriptLines lines_;
    std::vector<ScriptLine> read_;
    QStringList html_;
    bool valid_ = false;
    bool modified_ = false;
};

} // namespace quorvel
