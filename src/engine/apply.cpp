#include "engine/apply.hpp"

#include "engine/catalogue.hpp"
#include "engine/convert.hpp"
#include "engine/errors.hpp"
#include "engine/pattern.hpp"
#include "engine/primitives.hpp"

#include <limits>

namespace quorvel {

std::optional<std::int32_t> StrictStrToInt(TextView s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == U' ') {
        ++i;
    }
    s.remove_prefix(i);
    unsigned base = 10;
    bool negative = false;
    if (s.starts_with(U"0x") || s.starts_with(U"0X")) {
        base = 16;
        s.remove_prefix(2);
    } else if (!s.empty() && (s[0] == U'$' || s[0] == U'x' || s[0] == U'X')) {
        base = 16;
        s.remove_prefix(1);
    } else if (!s.empty() && (s[0] == U'+' || s[0] == U'-')) {
        negative = s[0] == U'-';
        s.remove_prefix(1);
    }
    if (s.empty()) {
        return std::nullopt;
    }
    // Accumulate the magnitude; anything beyond 2^31 is out of range anyway.
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 31;
    std::uint64_t v = 0;
    for (const char32_t c : s) {
        unsigned digit = 0;
        if (c >= U'0' && c <= U'9') {
            digit = c - U'0';
        } else if (base == 16 && c >= U'a' && c <= U'f') {
            digit = c - U'a' + 10;
        } else if (base == 16 && c >= U'A' && c <= U'F') {
            digit = c - U'A' + 10;
        } else {
            return std::nullopt;
        }
        v = v * base + digit;
        if (v > kLimit) {
            return std::nullopt;
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(v));
    }
    if (v == kLimit) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(v);
}

namespace {

// The pieces of a working name that the "base" commands set aside.
struct Split {
    Text base;
    TextView ext;
};

Split SplitName(TextView w) {
    return {ChangeExt(w, {}), ExtOf(w)};
}

Text Concat(TextView a, TextView b, TextView c = {}) {
    Text out;
    out.reserve(a.size() + b.size() + c.size());
    out.append(a);
    out.append(b);
    out.append(c);
    return out;
}

// "base without its last n characters": the whole base for n = 0.
TextView WithoutLast(TextView base, Pos n) {
    return n == 0 ? base : StrLeft(base, -n);
}

Text ReplaceAllChecked(TextView s, TextView sub, TextView repl) {
    auto out = ReplaceAllLimited(s, sub, repl, kMaxWorkingName);
    if (!out) {
        throw NameTooLongError();
    }
    return *std::move(out);
}

Text NumberText(TextView start, bool first, NumberCounter& counter) {
    if (first) {
        const auto v = StrictStrToInt(start);
        if (!v) {
            throw ConversionError(start);
        }
        counter = *v;
    } else {
        counter = static_cast<NumberCounter>(static_cast<std::uint32_t>(counter) + 1U);
    }
    return PadNumber(counter, Length(start));
}

Text Converted(TextView keep, TextView change, Conversion how, TextView after = {}) {
    Text out(keep);
    AppendConverted(change, how, out);
    out.append(after);
    return out;
}

// A "Composer" line: the template written for the base of `w`, put in place of the
// base (40), before the name (41) or after the base (42).
Text Composed(Command command, TextView templateText, TextView w, const FileContext& context) {
    const NameTemplate written(templateText);
    auto [base, ext] = SplitName(w);
    Text out;
    if (command == Command::ComposeAtEnd) {
        out.append(base);
    }
    written.AppendTo(base, context, out);
    out.append(command == Command::ComposeAtStart ? w : ext);
    return out;
}

Text ApplyLine(Command command, TextView t, Text w, TextView name, bool first, NumberCounter& counter,
               const FileContext& context) {
    // Parameters are widened to 64 bits so that N + 1 never wraps.
    auto n = [t](int k) { return static_cast<Pos>(ParamInt(t, k)); };
    auto p = [t](int k) { return ParamText(t, k); };
    switch (command) {
    case Command::DeleteFirst:
        return Text(StrFrom(w, n(1) + 1));
    case Command::DeleteLast: {
        auto [base, ext] = SplitName(w);
        return Concat(WithoutLast(base, n(1)), ext);
    }
    case Command::DeleteRange:
        return Concat(SubText(w, 1, n(1) - 1), SubText(w, n(2) + 1, Length(w)));
    case Command::DeleteBefore:
        return Text(NthField(w, p(1), 2));
    case Command::DeleteAfter: {
        auto [base, ext] = SplitName(w);
        return Concat(NthField(base, p(1), 1), ext);
    }
    case Command::DeleteOccurrences:
        return ReplaceAll(w, p(1), {});
    case Command::DeleteSpaces:
        return ReplaceAll(w, U" ", {});
    case Command::DeleteAccents:
        return RemoveAccents(w);
    case Command::ReplaceText:
        return ReplaceAllChecked(w, p(1), p(2));
    case Command::ReplaceWhole:
        return Text(p(1));
    case Command::ReplaceExtension: {
        const Text value = p(1);
        const Text e = PosOf(U".", value) == 0 ? Concat(U".", value) : Text(value);
        return ChangeExt(w, e);
    }
    case Command::AddAtStart:
        return Concat(p(1), w);
    case Command::AddAtEnd: {
        auto [base, ext] = SplitName(w);
        return Concat(base, p(1), ext);
    }
    case Command::AddAtPosition:
        return InsertText(p(1), w, n(2));
    case Command::AddBefore:
        return ReplaceFirst(w, p(2), Concat(p(1), p(2)));
    case Command::AddAfter:
        return ReplaceFirst(w, p(2), Concat(p(2), p(1)));
    case Command::NumberAtStart:
        return Concat(NumberText(p(1), first, counter), w);
    case Command::NumberAtEnd: {
        const Text number = NumberText(p(1), first, counter);
        auto [base, ext] = SplitName(w);
        return Concat(base, number, ext);
    }
    case Command::NumberBefore: {
        const Text number = NumberText(p(1), first, counter);
        return ReplaceFirst(w, p(2), Concat(number, p(2)));
    }
    case Command::NumberAfter: {
        const Text number = NumberText(p(1), first, counter);
        return ReplaceFirst(w, p(2), Concat(p(2), number));
    }
    case Command::MoveFirstToEnd: {
        const Pos count = n(1);
        const TextView head = StrLeft(w, count);
        const Text rest = DeleteText(w, 1, count);
        return Concat(ChangeExt(rest, {}), head, ExtOf(rest));
    }
    case Command::MoveFirstToPosition: {
        const Pos count = n(1);
        const TextView head = StrLeft(w, count);
        return InsertText(head, DeleteText(w, 1, count), n(2));
    }
    case Command::MoveLastToStart: {
        const Pos count = n(1);
        auto [base, ext] = SplitName(w);
        return Concat(StrRight(base, count), WithoutLast(base, count), ext);
    }
    case Command::MoveLastToPosition: {
        const Pos count = n(1);
        auto [base, ext] = SplitName(w);
        return Concat(InsertText(StrRight(base, count), WithoutLast(base, count), n(2)), ext);
    }
    case Command::MoveRange: {
        const Pos count = n(1);
        const Pos from = n(2);
        Pos to = n(3);
        auto [base, ext] = SplitName(w);
        const Text piece(StrMid(base, from, count));
        const Text shortened = DeleteText(base, from, count);
        if (to > from) {
            to = to - from + 1;
        }
        return Concat(InsertText(piece, shortened, to), ext);
    }
    case Command::LowerAll: {
        // Base and extension are two texts for the context rules, so that a sigma
        // before the extension's dot is final.
        auto [base, ext] = SplitName(w);
        Text out = Converted({}, base, Conversion::Lower);
        AppendConverted(ext, Conversion::Lower, out);
        return out;
    }
    case Command::UpperAll:
        return Converted({}, w, Conversion::Upper);
    case Command::TitleWords: {
        auto [base, ext] = SplitName(w);
        return Converted({}, base, Conversion::TitleWords, ext);
    }
    case Command::LowerExtension: {
        auto [base, ext] = SplitName(w);
        return Converted(base, ext, Conversion::Lower);
    }
    case Command::UpperExtension: {
        auto [base, ext] = SplitName(w);
        return Converted(base, ext, Conversion::Upper);
    }
    case Command::ComposeAccents:
        return Converted({}, w, Conversion::Compose);
    case Command::SearchReplaceAll:
    case Command::SearchReplaceFirst: {
        const SearchReplace search(p(1), p(2));
        Text out;
        search.pattern.Replace(w, search.replacement, command == Command::SearchReplaceAll, name, out);
        return out;
    }
    case Command::ComposeName:
    case Command::ComposeAtStart:
    case Command::ComposeAtEnd:
        return Composed(command, p(1), w, context);
    }
    return w;
}

} // namespace

Text ApplyScript(const ScriptLines& script, TextView name, bool first, NumberCounter& counter) {
    return ApplyScript(script, name, first, counter, FileContext{});
}

Text ApplyScript(const ScriptLines& script, TextView name, bool first, NumberCounter& counter,
                 const FileContext& context) {
    Text w(name);
    for (const Text& line : script) {
        const std::int32_t number = CommandNumber(line);
        if (!IsCommandNumber(number)) {
            continue;
        }
        w = ApplyLine(static_cast<Command>(number), LineText(line), std::move(w), name, first, counter,
                      context);
        if (Length(w) > kMaxWorkingName) {
            throw NameTooLongError();
        }
    }
    return w;
}

std::vector<ValueSource> SourcesOfLine(TextView line, TextView w, const FileContext& context) {
    switch (static_cast<Command>(CommandNumber(line))) {
    case Command::ComposeName:
    case Command::ComposeAtStart:
    case Command::ComposeAtEnd:
        return NameTemplate(ParamText(LineText(line), 1)).Sources(ChangeExt(w, {}), context);
    default:
        return {};
    }
}

void AdvanceNumbering(const ScriptLines& script, bool first, NumberCounter& counter) {
    for (const Text& line : script) {
        switch (static_cast<Command>(CommandNumber(line))) {
        case Command::NumberAtStart:
        case Command::NumberAtEnd:
        case Command::NumberBefore:
        case Command::NumberAfter:
            (void)NumberText(ParamText(LineText(line), 1), first, counter);
            break;
        default:
            break;
        }
    }
}

} // namespace quorvel
