// A rename script read once for a whole preview or run: the command and the
// parameters of every line are decoded before the first name, then the script is
// applied to every name without reading its lines again.
//
// The names, the errors and the point where an error is raised are exactly those of
// ApplyScript, which reads every line again for every name: numbering start values
// are kept as text and converted for the first file when its numbering line is
// reached; a name that grows too long raises NameTooLongError after the same line.
#pragma once

#include "engine/apply.hpp"
#include "engine/errors.hpp"

#include <optional>
#include <vector>

namespace quorvel {

class CompiledScript {
public:
    explicit CompiledScript(const ScriptLines& script);
    ~CompiledScript();
    // The steps look into texts the script holds: it can be moved, not copied.
    CompiledScript(const CompiledScript&) = delete;
    CompiledScript& operator=(const CompiledScript&) = delete;
    CompiledScript(CompiledScript&&) noexcept;
    CompiledScript& operator=(CompiledScript&&) noexcept;

    // ApplyScript(script, name, first, counter).
    Text Apply(TextView name, bool first, NumberCounter& counter) const;
    // The same into `out`, whose storage is reused from name to name.
    void ApplyInto(TextView name, bool first, NumberCounter& counter, Text& out) const;
    // AdvanceNumbering(script, first, counter).
    void AdvanceNumbering(bool first, NumberCounter& counter) const;
    // Why the pattern of the first "Rechercher" line that does not compile fails;
    // nothing when every one compiles. Apply raises InvalidPatternError at that line.
    std::optional<PatternProblem> Problem() const;

    struct Step; // one line that names a command, decoded

private:
    std::vector<Step> steps_;
};

// CompiledScript(script).Problem(), compiling the patterns alone: the programs
// refuse a script whose pattern does not compile, as they refuse an invalid one.
std::optional<PatternProblem> PatternProblemOf(const ScriptLines& script);

} // namespace quorvel
