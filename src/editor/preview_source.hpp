// What a preview hands to the list under "Exemple :": the new names, the marks of
// the names the run would not give, and how the script made each name. The
// controller makes them; the list shows them, asking only for the lines in view.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace quorvel {

// A mark on one line of the list: the file will not get that name (a conflict) or
// may look like another name (a warning), and why.
struct ExampleMark {
    int line = 0; // 0-based
    bool conflict = true;
    QString reason;
};

// A name after one script line, and what that line changed: `changedLength`
// characters from `changedFrom` are new; when none are and `cut` is set,
// characters were taken out at `changedFrom`. Offsets count UTF-16 units of `name`.
// `sources` says where the facts a "Composer" line wrote came from, one line each
// ("{taken} <- DateTimeOriginal 2024:07:14 15:30:12.347 +02:00").
struct TraceStep {
    QString name;
    qsizetype changedFrom = 0;
    qsizetype changedLength = 0;
    bool cut = false;
    QStringList sources = {};
};

// How the script made one new name: the file's name, then its name after each
// script line in turn; or, when the engine could not make it, only why.
struct NameTrace {
    QString original;
    std::vector<TraceStep> steps;
    QString error;
};

// The last preview, line by line (0-based, in the order of the selection).
class PreviewSource {
public:
    virtual ~PreviewSource() = default;
    // The new name of line `line`, control characters shown as symbols; empty when
    // there is no such line.
    virtual QString PreviewedName(int line) const = 0;
    // How line `line` was made; nothing when there is no such line.
    virtual std::optional<NameTrace> Trace(int line) const = 0;
};

} // namespace quorvel
