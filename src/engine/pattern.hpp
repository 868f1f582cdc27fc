// The search pattern of a "Rechercher" line: a PCRE2 pattern in UTF mode, run on
// the bytes of a name. Bytes that are not UTF-8 are never matched and come back as
// they were (PCRE2_MATCH_INVALID_UTF); "\C" is refused, so that a match never
// splits a character. "\d", "\w" and "\b" follow Unicode (PCRE2_UCP), so that an
// accented letter of a name is a letter; "(?i)" ignores case by Unicode's rules.
//
// A pattern is compiled once, with the JIT, and may then be run by several threads
// at once: each thread has its own match block and JIT stack.
#pragma once

#include "engine/errors.hpp"
#include "engine/replacement.hpp"
#include "engine/text.hpp"

#include <memory>
#include <optional>

namespace quorvel {

// Steps PCRE2 may take for one match, and how deep it may go: far beyond what a
// sane pattern needs on a name, far below what would keep a run waiting.
inline constexpr std::uint32_t kPatternMatchLimit = 10'000'000;
inline constexpr std::uint32_t kPatternDepthLimit = 10'000;

class Pattern {
public:
    explicit Pattern(TextView pattern);
    ~Pattern();
    Pattern(Pattern&&) noexcept;
    Pattern& operator=(Pattern&&) noexcept;

    // Why the pattern does not compile; nothing when it does.
    const std::optional<PatternProblem>& Problem() const { return problem_; }
    // The number of the group `name`, -1 when there is none.
    int GroupNumber(TextView name) const;

    // Appends `subject` to `out` with its matches (every one, or the first) replaced.
    // After an empty match the next one is looked for from the same place but may
    // not be empty there, as Perl's s///g does. Raises PatternTooCostlyError(`file`)
    // when a match goes beyond the limits, NameTooLongError when `out` grows beyond
    // kMaxWorkingName, InvalidPatternError when the pattern does not compile.
    void Replace(TextView subject, const Replacement& replacement, bool all, TextView file, Text& out) const;

private:
    struct Code;
    std::unique_ptr<Code> code_;
    std::optional<PatternProblem> problem_;
};

// A pattern and what replaces its matches, as a line of commands 37 and 38 gives
// them.
struct SearchReplace {
    SearchReplace(TextView pattern, TextView replacement);
    Pattern pattern;
    Replacement replacement;
};

} // namespace quorvel
