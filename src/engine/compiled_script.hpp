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
#include "engine/file_context.hpp"
#include "engine/name_template.hpp"

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
    // ApplyScript(script, name, first, counter, context).
    Text Apply(TextView name, bool first, NumberCounter& counter, const FileContext& context) const;
    // The same into `out`, whose storage is reused from name to name.
    void ApplyInto(TextView name, bool first, NumberCounter& counter, Text& out) const;
    void ApplyInto(TextView name, bool first, NumberCounter& counter, const FileContext& context,
                   Text& out) const;
    // What Apply with `context` gives, and the facts its "Composer" lines wrote,
    // line after line, with where each came from: the sources used for one file.
    // Raises what Apply raises.
    std::vector<ValueSource> SourcesUsed(TextView name, bool first, NumberCounter& counter,
                                         const FileContext& context, Text& out) const;
    // AdvanceNumbering(script, first, counter).
    void AdvanceNumbering(bool first, NumberCounter& counter) const;
    // Why the pattern of the first "Rechercher" line that does not compile fails;
    // nothing when every one compiles. Apply raises InvalidPatternError at that line.
    std::optional<PatternProblem> Problem() const;
    // Why the template of the first "Composer" line that cannot be read fails;
    // nothing when every one can. Apply raises InvalidTemplateError at that line.
    std::optional<TemplateProblem> ProblemOfTemplates() const;
    // What the "Composer" lines ask of each file: the facts to read, whether the
    // folder and the places are needed. Nothing for a script without them.
    ScriptNeeds Needs() const;
    FactSet NeededFacts() const { return Needs().facts; }

    struct Step; // one line that names a command, decoded

private:
    void Run(TextView name, bool first, NumberCounter& counter, const FileContext& context, Text& out,
             std::vector<ValueSource>* sources) const;

    std::vector<Step> steps_;
};

// CompiledScript(script).Problem(), compiling the patterns alone: the programs
// refuse a script whose pattern does not compile, as they refuse an invalid one.
std::optional<PatternProblem> PatternProblemOf(const ScriptLines& script);

// CompiledScript(script).ProblemOfTemplates(), reading the templates alone: the
// programs refuse a script whose template cannot be read, as they refuse one whose
// pattern does not compile.
std::optional<TemplateProblem> TemplateProblemOf(const ScriptLines& script);

// CompiledScript(script).Needs().
ScriptNeeds NeedsOf(const ScriptLines& script);

} // namespace quorvel
