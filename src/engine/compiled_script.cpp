#include "engine/compiled_script.hpp"

#include "engine/catalogue.hpp"
#include "engine/convert.hpp"
#include "engine/errors.hpp"
#include "engine/pattern.hpp"
#include "engine/primitives.hpp"
#include "engine/search.hpp"

#include <algorithm>
#include <memory>
#include <optional>

namespace quorvel {

struct CompiledScript::Step {
    Command command{};
    Pos n1 = 0; // integer parameters, widened so that N + 1 never wraps
    Pos n2 = 0;
    Pos n3 = 0;
    Text p1; // text parameters; for numbering p1 is the start value as written
    Text p2;
    Text insert;                    // what AddBefore and AddAfter put in place of P2; the new extension
    std::optional<Searcher> search; // P1 for the replacements, P2 for the insertions
    std::unique_ptr<SearchReplace> pattern; // "Rechercher": P1 compiled, P2 read
    std::unique_ptr<NameTemplate> composer; // "Composer": P1 read
};

namespace {

using Step = CompiledScript::Step;

// A working name and the two pieces the "base" commands see.
struct Parts {
    TextView base;
    TextView ext;
};

Parts Split(TextView w) {
    const TextView ext = ExtOf(w);
    return {w.substr(0, w.size() - ext.size()), ext};
}

// "base without its last n characters": the whole base for n = 0.
TextView WithoutLast(TextView base, Pos n) {
    return n == 0 ? base : StrLeft(base, -n);
}

// DeleteText(s, 1, count), which only ever cuts a head.
TextView WithoutFirst(TextView s, Pos count) {
    if (s.empty() || count <= 0) {
        return s;
    }
    return s.substr(static_cast<std::size_t>(std::min(count, Length(s))));
}

// InsertText(piece, s, index), appended to `out`.
void AppendInserted(TextView piece, TextView s, Pos index, Text& out) {
    const auto at = static_cast<std::size_t>(std::clamp<Pos>(index, 1, Length(s) + 1) - 1);
    out.append(s.substr(0, at));
    out.append(piece);
    out.append(s.substr(at));
}

// ReplaceAllLimited(s, needle, repl, limit) with the needle's searcher, appended to
// the empty `out`; NameTooLongError instead of nothing.
void AppendReplacedAll(TextView s, const Searcher& needle, TextView repl, Pos limit, Text& out) {
    std::size_t at = needle.FindFrom(s, 0);
    std::size_t done = 0;
    while (at != Searcher::npos) {
        out.append(s.substr(done, at - done));
        out.append(repl);
        done = at + needle.size();
        if (Length(out) > limit) {
            throw NameTooLongError();
        }
        at = needle.FindFrom(s, done);
    }
    out.append(s.substr(done));
    if (Length(out) > limit) {
        throw NameTooLongError();
    }
}

// ReplaceFirst with the needle's searcher: `s` up to the first occurrence of the
// needle, what `put` appends in its place, then `s` after it; `s` itself when the
// needle does not occur.
template <typename Put> void AppendReplacedFirst(TextView s, const Searcher& needle, Text& out, Put put) {
    const std::size_t at = needle.FindFrom(s, 0);
    if (at == Searcher::npos) {
        out.append(s);
        return;
    }
    out.append(s.substr(0, at));
    put();
    out.append(s.substr(at + needle.size()));
}

void Number(const Step& step, bool first, NumberCounter& counter) {
    if (first) {
        const auto v = StrictStrToInt(step.p1);
        if (!v) {
            throw ConversionError(step.p1);
        }
        counter = *v;
    } else {
        counter = static_cast<NumberCounter>(static_cast<std::uint32_t>(counter) + 1U);
    }
}

void AppendNumber(const Step& step, NumberCounter counter, Text& out) {
    AppendPadNumber(counter, Length(step.p1), out);
}

bool IsNumbering(Command command) {
    return command == Command::NumberAtStart || command == Command::NumberAtEnd ||
           command == Command::NumberBefore || command == Command::NumberAfter;
}

bool IsComposer(std::int32_t number) {
    return number == static_cast<int>(Command::ComposeName) ||
           number == static_cast<int>(Command::ComposeAtStart) ||
           number == static_cast<int>(Command::ComposeAtEnd);
}

// The new working name made from `w` by one step, into the empty `out`; `name` is
// the file's own name, for the errors.
void ApplyStep(const Step& step, TextView w, TextView name, bool first, NumberCounter& counter,
               const FileContext& context, Text& out) {
    switch (step.command) {
    case Command::DeleteFirst:
        out.append(StrFrom(w, step.n1 + 1));
        return;
    case Command::DeleteLast: {
        const auto [base, ext] = Split(w);
        out.append(WithoutLast(base, step.n1));
        out.append(ext);
        return;
    }
    case Command::DeleteRange:
        out.append(SubText(w, 1, step.n1 - 1));
        out.append(SubText(w, step.n2 + 1, Length(w)));
        return;
    case Command::DeleteBefore:
        out.append(NthField(w, step.p1, 2));
        return;
    case Command::DeleteAfter: {
        const auto [base, ext] = Split(w);
        out.append(NthField(base, step.p1, 1));
        out.append(ext);
        return;
    }
    case Command::DeleteOccurrences:
        AppendReplacedAll(w, *step.search, {}, kMaxWorkingName, out);
        return;
    case Command::DeleteSpaces:
        for (const char32_t c : w) {
            if (c != U' ') {
                out.push_back(c);
            }
        }
        return;
    case Command::DeleteAccents:
        for (const char32_t c : w) {
            out.push_back(WithoutAccent(c));
        }
        return;
    case Command::ReplaceText:
        AppendReplacedAll(w, *step.search, step.p2, kMaxWorkingName, out);
        return;
    case Command::ReplaceWhole:
        out.append(step.p1);
        return;
    case Command::ReplaceExtension:
        out.append(Split(w).base);
        out.append(step.insert);
        return;
    case Command::AddAtStart:
        out.append(step.p1);
        out.append(w);
        return;
    case Command::AddAtEnd: {
        const auto [base, ext] = Split(w);
        out.append(base);
        out.append(step.p1);
        out.append(ext);
        return;
    }
    case Command::AddAtPosition:
        AppendInserted(step.p1, w, step.n2, out);
        return;
    case Command::AddBefore:
    case Command::AddAfter:
        AppendReplacedFirst(w, *step.search, out, [&] { out.append(step.insert); });
        return;
    case Command::NumberAtStart:
        Number(step, first, counter);
        AppendNumber(step, counter, out);
        out.append(w);
        return;
    case Command::NumberAtEnd: {
        Number(step, first, counter);
        const auto [base, ext] = Split(w);
        out.append(base);
        AppendNumber(step, counter, out);
        out.append(ext);
        return;
    }
    case Command::NumberBefore:
        Number(step, first, counter);
        AppendReplacedFirst(w, *step.search, out, [&] {
            AppendNumber(step, counter, out);
            out.append(step.p2);
        });
        return;
    case Command::NumberAfter:
        Number(step, first, counter);
        AppendReplacedFirst(w, *step.search, out, [&] {
            out.append(step.p2);
            AppendNumber(step, counter, out);
        });
        return;
    case Command::MoveFirstToEnd: {
        const TextView rest = WithoutFirst(w, step.n1);
        const auto [base, ext] = Split(rest);
        out.append(base);
        out.append(StrLeft(w, step.n1));
        out.append(ext);
        return;
    }
    case Command::MoveFirstToPosition:
        AppendInserted(StrLeft(w, step.n1), WithoutFirst(w, step.n1), step.n2, out);
        return;
    case Command::MoveLastToStart: {
        const auto [base, ext] = Split(w);
        out.append(StrRight(base, step.n1));
        out.append(WithoutLast(base, step.n1));
        out.append(ext);
        return;
    }
    case Command::MoveLastToPosition: {
        const auto [base, ext] = Split(w);
        AppendInserted(StrRight(base, step.n1), WithoutLast(base, step.n1), step.n2, out);
        out.append(ext);
        return;
    }
    case Command::MoveRange: {
        const Pos count = step.n1;
        const Pos from = step.n2;
        const Pos to = step.n3 > from ? step.n3 - from + 1 : step.n3;
        const auto [base, ext] = Split(w);
        AppendInserted(StrMid(base, from, count), DeleteText(base, from, count), to, out);
        out.append(ext);
        return;
    }
    case Command::LowerAll: {
        // Base and extension are two texts for the context rules, so that a sigma
        // before the extension's dot is final.
        const auto [base, ext] = Split(w);
        AppendConverted(base, Conversion::Lower, out);
        AppendConverted(ext, Conversion::Lower, out);
        return;
    }
    case Command::UpperAll:
        AppendConverted(w, Conversion::Upper, out);
        return;
    case Command::TitleWords: {
        const auto [base, ext] = Split(w);
        AppendConverted(base, Conversion::TitleWords, out);
        out.append(ext);
        return;
    }
    case Command::LowerExtension:
    case Command::UpperExtension: {
        const auto [base, ext] = Split(w);
        out.append(base);
        AppendConverted(ext, step.command == Command::LowerExtension ? Conversion::Lower : Conversion::Upper,
                        out);
        return;
    }
    case Command::ComposeAccents:
        AppendConverted(w, Conversion::Compose, out);
        return;
    case Command::SearchReplaceAll:
    case Command::SearchReplaceFirst:
        step.pattern->pattern.Replace(w, step.pattern->replacement, step.command == Command::SearchReplaceAll,
                                      name, out);
        return;
    case Command::ComposeName:
    case Command::ComposeAtStart:
    case Command::ComposeAtEnd: {
        const auto [base, ext] = Split(w);
        if (step.command == Command::ComposeAtEnd) {
            out.append(base);
        }
        step.composer->AppendTo(base, context, out);
        out.append(step.command == Command::ComposeAtStart ? w : ext);
        return;
    }
    }
    out.append(w);
}

} // namespace

CompiledScript::CompiledScript(const ScriptLines& script) {
    for (const Text& line : script) {
        const std::int32_t number = CommandNumber(line);
        if (!IsCommandNumber(number)) {
            continue;
        }
        const TextView t = LineText(line);
        Step step;
        step.command = static_cast<Command>(number);
        step.n1 = ParamInt(t, 1);
        step.n2 = ParamInt(t, 2);
        step.n3 = ParamInt(t, 3);
        step.p1 = ParamText(t, 1);
        step.p2 = ParamText(t, 2);
        steps_.push_back(std::move(step));
    }
    // The searchers look into the steps' own texts, which stay where they are from
    // here on (the vector is never resized again, and moving it keeps its elements).
    for (Step& step : steps_) {
        switch (step.command) {
        case Command::DeleteOccurrences:
        case Command::ReplaceText:
            step.search.emplace(step.p1, CaseMode::FoldAZ);
            break;
        case Command::ReplaceExtension:
            step.insert = PosOf(U".", step.p1) == 0 ? U"." + step.p1 : step.p1;
            break;
        case Command::AddBefore:
            step.insert = step.p1 + step.p2;
            step.search.emplace(step.p2, CaseMode::Exact);
            break;
        case Command::AddAfter:
            step.insert = step.p2 + step.p1;
            step.search.emplace(step.p2, CaseMode::Exact);
            break;
        case Command::NumberBefore:
        case Command::NumberAfter:
            step.search.emplace(step.p2, CaseMode::Exact);
            break;
        case Command::SearchReplaceAll:
        case Command::SearchReplaceFirst:
            step.pattern = std::make_unique<SearchReplace>(step.p1, step.p2);
            break;
        case Command::ComposeName:
        case Command::ComposeAtStart:
        case Command::ComposeAtEnd:
            step.composer = std::make_unique<NameTemplate>(step.p1);
            break;
        default:
            break;
        }
    }
}

CompiledScript::~CompiledScript() = default;
CompiledScript::CompiledScript(CompiledScript&&) noexcept = default;
CompiledScript& CompiledScript::operator=(CompiledScript&&) noexcept = default;

Text CompiledScript::Apply(TextView name, bool first, NumberCounter& counter) const {
    Text out;
    ApplyInto(name, first, counter, FileContext{}, out);
    return out;
}

Text CompiledScript::Apply(TextView name, bool first, NumberCounter& counter,
                           const FileContext& context) const {
    Text out;
    ApplyInto(name, first, counter, context, out);
    return out;
}

void CompiledScript::ApplyInto(TextView name, bool first, NumberCounter& counter, Text& out) const {
    Run(name, first, counter, FileContext{}, out, nullptr);
}

void CompiledScript::ApplyInto(TextView name, bool first, NumberCounter& counter, const FileContext& context,
                               Text& out) const {
    Run(name, first, counter, context, out, nullptr);
}

std::vector<ValueSource> CompiledScript::SourcesUsed(TextView name, bool first, NumberCounter& counter,
                                                     const FileContext& context, Text& out) const {
    std::vector<ValueSource> sources;
    Run(name, first, counter, context, out, &sources);
    return sources;
}

void CompiledScript::Run(TextView name, bool first, NumberCounter& counter, const FileContext& context,
                         Text& out, std::vector<ValueSource>* sources) const {
    // The step before's name and the next one's, swapped after every step; both keep
    // their storage from name to name.
    thread_local Text next;
    out.assign(name);
    for (const Step& step : steps_) {
        if (sources != nullptr && step.composer) {
            std::vector<ValueSource> used = step.composer->Sources(Split(out).base, context);
            sources->insert(sources->end(), used.begin(), used.end());
        }
        next.clear();
        ApplyStep(step, out, name, first, counter, context, next);
        out.swap(next);
        if (Length(out) > kMaxWorkingName) {
            throw NameTooLongError();
        }
    }
}

std::optional<PatternProblem> CompiledScript::Problem() const {
    for (const Step& step : steps_) {
        if (step.pattern && step.pattern->pattern.Problem()) {
            return step.pattern->pattern.Problem();
        }
    }
    return std::nullopt;
}

std::optional<TemplateProblem> CompiledScript::ProblemOfTemplates() const {
    for (const Step& step : steps_) {
        if (step.composer && step.composer->Problem()) {
            return step.composer->Problem();
        }
    }
    return std::nullopt;
}

ScriptNeeds CompiledScript::Needs() const {
    ScriptNeeds needs;
    for (const Step& step : steps_) {
        if (step.composer) {
            needs |= step.composer->Needs();
        }
    }
    return needs;
}

std::optional<TemplateProblem> TemplateProblemOf(const ScriptLines& script) {
    for (const Text& line : script) {
        if (IsComposer(CommandNumber(line))) {
            if (auto problem = NameTemplate(ParamText(LineText(line), 1)).Problem()) {
                return problem;
            }
        }
    }
    return std::nullopt;
}

ScriptNeeds NeedsOf(const ScriptLines& script) {
    ScriptNeeds needs;
    for (const Text& line : script) {
        if (IsComposer(CommandNumber(line))) {
            needs |= NameTemplate(ParamText(LineText(line), 1)).Needs();
        }
    }
    return needs;
}

std::optional<PatternProblem> PatternProblemOf(const ScriptLines& script) {
    for (const Text& line : script) {
        const std::int32_t number = CommandNumber(line);
        if (number == static_cast<int>(Command::SearchReplaceAll) ||
            number == static_cast<int>(Command::SearchReplaceFirst)) {
            if (auto problem = Pattern(ParamText(LineText(line), 1)).Problem()) {
                return problem;
            }
        }
    }
    return std::nullopt;
}

void CompiledScript::AdvanceNumbering(bool first, NumberCounter& counter) const {
    for (const Step& step : steps_) {
        if (IsNumbering(step.command)) {
            Number(step, first, counter);
        }
    }
}

} // namespace quorvel
