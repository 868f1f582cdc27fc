#include "engine/name_template.hpp"

#include "engine/codec.hpp"
#include "engine/date_format.hpp"
#include "engine/primitives.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <unicode/uchar.h>

namespace quorvel {

namespace {

enum class FieldKind : std::uint8_t { Text, Number, Date, Count };

struct TokenName {
    TextView token;
    TemplateField field;
    FieldKind kind;
};

constexpr std::array<TokenName, 17> kTokens = {{
    {U"name", TemplateField::Name, FieldKind::Text},
    {U"folder", TemplateField::Folder, FieldKind::Text},
    {U"n", TemplateField::Place, FieldKind::Count},
    {U"taken", TemplateField::Taken, FieldKind::Date},
    {U"modified", TemplateField::Modified, FieldKind::Date},
    {U"make", TemplateField::Make, FieldKind::Text},
    {U"model", TemplateField::Model, FieldKind::Text},
    {U"lens", TemplateField::Lens, FieldKind::Text},
    {U"width", TemplateField::Width, FieldKind::Number},
    {U"height", TemplateField::Height, FieldKind::Number},
    {U"artist", TemplateField::Artist, FieldKind::Text},
    {U"album", TemplateField::Album, FieldKind::Text},
    {U"title", TemplateField::Title, FieldKind::Text},
    {U"genre", TemplateField::Genre, FieldKind::Text},
    {U"year", TemplateField::Year, FieldKind::Number},
    {U"track", TemplateField::Track, FieldKind::Number},
    {U"disc", TemplateField::Disc, FieldKind::Number},
}};

const TokenName* FindToken(TextView token) {
    for (const TokenName& each : kTokens) {
        if (each.token == token) {
            return &each;
        }
    }
    return nullptr;
}

const TokenName& TokenOf(TemplateField field) {
    for (const TokenName& each : kTokens) {
        if (each.field == field) {
            return each;
        }
    }
    return kTokens[0];
}

// Widest zero padding a number token may ask for.
constexpr Pos kMaxWidth = 255;

// A decimal integer of 32 bits: an optional "-" (and "+" when `plus`), then digits.
std::optional<std::int32_t> ReadInt32(TextView s, bool plus) {
    bool negative = false;
    if (!s.empty() && (s[0] == U'-' || (plus && s[0] == U'+'))) {
        negative = s[0] == U'-';
        s.remove_prefix(1);
    }
    if (s.empty()) {
        return std::nullopt;
    }
    std::int64_t v = 0;
    for (const char32_t c : s) {
        if (c < U'0' || c > U'9') {
            return std::nullopt;
        }
        v = std::min<std::int64_t>(v * 10 + (c - U'0'), std::int64_t{1} << 40);
    }
    v = negative ? -v : v;
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(v);
}

// The width of {track:2}: up to three digits, at most kMaxWidth.
std::optional<Pos> ReadWidth(TextView s) {
    if (s.empty() || s.size() > 3) {
        return std::nullopt;
    }
    Pos v = 0;
    for (const char32_t c : s) {
        if (c < U'0' || c > U'9') {
            return std::nullopt;
        }
        v = v * 10 + (c - U'0');
    }
    return v <= kMaxWidth ? std::optional<Pos>(v) : std::nullopt;
}

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

bool IsSpace(char32_t c) {
    return c <= 0x10FFFF && u_isUWhiteSpace(static_cast<UChar32>(c));
}

// Appends `value` cleaned (control characters dropped, "/" as "_", spaces at either
// end trimmed); false, and nothing appended, when nothing is left.
bool AppendCleaned(TextView value, Text& out) {
    const std::size_t start = out.size();
    for (const char32_t c : value) {
        if (!IsControl(c)) {
            out.push_back(c == U'/' ? U'_' : c);
        }
    }
    while (out.size() > start && IsSpace(out.back())) {
        out.pop_back();
    }
    std::size_t first = start;
    while (first < out.size() && IsSpace(out[first])) {
        ++first;
    }
    out.erase(start, first - start);
    return out.size() > start;
}

const std::optional<Sourced<std::string>>* TextFact(TemplateField field, const FileFacts& facts) {
    switch (field) {
    case TemplateField::Make:
        return &facts.make;
    case TemplateField::Model:
        return &facts.model;
    case TemplateField::Lens:
        return &facts.lens;
    case TemplateField::Artist:
        return &facts.artist;
    case TemplateField::Album:
        return &facts.album;
    case TemplateField::Title:
        return &facts.title;
    case TemplateField::Genre:
        return &facts.genre;
    default:
        return nullptr;
    }
}

const std::optional<Sourced<std::int64_t>>* NumberFact(TemplateField field, const FileFacts& facts) {
    switch (field) {
    case TemplateField::Width:
        return &facts.width;
    case TemplateField::Height:
        return &facts.height;
    case TemplateField::Year:
        return &facts.year;
    case TemplateField::Track:
        return &facts.track;
    case TemplateField::Disc:
        return &facts.disc;
    default:
        return nullptr;
    }
}

const std::optional<Sourced<LocalTime>>* DateFact(TemplateField field, const FileFacts& facts) {
    switch (field) {
    case TemplateField::Taken:
        return &facts.taken;
    case TemplateField::Modified:
        return &facts.modified;
    default:
        return nullptr;
    }
}

// The fact's account of where its value came from; nothing for a field that is
// no fact.
const std::string* SourceOf(TemplateField field, const FileFacts& facts) {
    if (const auto* text = TextFact(field, facts); text != nullptr && *text) {
        return &(*text)->source;
    }
    if (const auto* number = NumberFact(field, facts); number != nullptr && *number) {
        return &(*number)->source;
    }
    if (const auto* date = DateFact(field, facts); date != nullptr && *date) {
        return &(*date)->source;
    }
    return nullptr;
}

} // namespace

struct NameTemplate::Piece {
    Text literal;                     // a piece of literal text when `chain` is empty
    std::vector<TemplateField> chain; // the fields of a token, tried in turn
    FieldKind kind = FieldKind::Text;
    Pos width = 0;                    // numbers; for {n}, the width of START
    std::optional<DateFormat> format; // dates
    std::int32_t start = 1;           // {n}
    std::int32_t step = 1;
    bool perFolder = false;
};

namespace {

using Piece = NameTemplate::Piece;

// Reads the token `inside` its braces, whose "{" is at 0-based `open` of the
// template, into `piece`; the problem when it cannot be read.
std::optional<TemplateProblem> ReadToken(TextView inside, std::size_t open, Piece& piece) {
    const Pos at = static_cast<Pos>(open) + 2; // position of the token's first character
    if (inside.empty()) {
        return TemplateProblem{kTemplateEmptyTokenMessage, {}, at - 1};
    }
    const std::size_t colon = inside.find(U':');
    const TextView names = inside.substr(0, colon);
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = names.find(U',', from);
        const TextView member = names.substr(from, comma == TextView::npos ? TextView::npos : comma - from);
        const Pos memberAt = at + static_cast<Pos>(from);
        if (member.empty()) {
            return TemplateProblem{kTemplateEmptyTokenMessage, {}, memberAt};
        }
        const TokenName* token = FindToken(member);
        if (token == nullptr) {
            return TemplateProblem{kTemplateUnknownTokenMessage, EncodeName(member), memberAt};
        }
        if (!piece.chain.empty() && token->kind != piece.kind) {
            return TemplateProblem{kTemplateMixedChainMessage, EncodeName(names), memberAt};
        }
        piece.kind = token->kind;
        piece.chain.push_back(token->field);
        if (comma == TextView::npos) {
            break;
        }
        from = comma + 1;
    }
    if (colon == TextView::npos) {
        if (piece.kind == FieldKind::Date) {
            piece.format.emplace(kDefaultDateFormat, 1);
        }
        return std::nullopt;
    }
    const TextView parameter = inside.substr(colon + 1);
    const Pos parameterAt = at + static_cast<Pos>(colon) + 1;
    switch (piece.kind) {
    case FieldKind::Text:
        return TemplateProblem{kTemplateNoParameterMessage, EncodeName(FieldToken(piece.chain.front())),
                               parameterAt - 1};
    case FieldKind::Number:
        if (const auto width = ReadWidth(parameter)) {
            piece.width = *width;
            return std::nullopt;
        }
        return TemplateProblem{kTemplateBadWidthMessage, EncodeName(parameter), parameterAt};
    case FieldKind::Date:
        if (parameter.empty()) {
            return TemplateProblem{kTemplateEmptyFormatMessage, {}, parameterAt};
        }
        piece.format.emplace(parameter, parameterAt);
        return piece.format->Problem();
    case FieldKind::Count: {
        // START[:STEP[:folder]]
        const std::size_t second = parameter.find(U':');
        const TextView start = parameter.substr(0, second);
        const auto startValue = ReadInt32(start, false);
        if (!startValue) {
            return TemplateProblem{kTemplateBadNumberMessage, EncodeName(start), parameterAt};
        }
        piece.start = *startValue;
        piece.width = Length(start);
        if (second == TextView::npos) {
            return std::nullopt;
        }
        const std::size_t third = parameter.find(U':', second + 1);
        const TextView step =
            parameter.substr(second + 1, third == TextView::npos ? TextView::npos : third - second - 1);
        const auto stepValue = ReadInt32(step, true);
        if (!stepValue) {
            return TemplateProblem{kTemplateBadNumberMessage, EncodeName(step),
                                   parameterAt + static_cast<Pos>(second) + 1};
        }
        piece.step = *stepValue;
        if (third == TextView::npos) {
            return std::nullopt;
        }
        const TextView option = parameter.substr(third + 1);
        if (option != U"folder") {
            return TemplateProblem{kTemplateBadCountOptionMessage, EncodeName(option),
                                   parameterAt + static_cast<Pos>(third) + 1};
        }
        piece.perFolder = true;
        return std::nullopt;
    }
    }
    return std::nullopt;
}

// Appends the value of `field` for the file; false, and nothing appended, when it
// has none.
bool AppendValue(const Piece& piece, TemplateField field, TextView base, const FileContext& context,
                 Text& out) {
    switch (piece.kind) {
    case FieldKind::Text:
        if (field == TemplateField::Name) {
            out.append(base);
            return !base.empty();
        }
        if (field == TemplateField::Folder) {
            return AppendCleaned(context.folder, out);
        }
        if (const auto* fact = TextFact(field, context.facts); fact != nullptr && *fact) {
            return AppendCleaned(DecodeName((*fact)->value), out);
        }
        return false;
    case FieldKind::Number:
        if (const auto* fact = NumberFact(field, context.facts);
            fact != nullptr && *fact && (*fact)->value > 0) {
            AppendPadNumber((*fact)->value, piece.width, out);
            return true;
        }
        return false;
    case FieldKind::Date:
        if (const auto* fact = DateFact(field, context.facts);
            fact != nullptr && *fact && IsDate((*fact)->value)) {
            thread_local Text written;
            written.clear();
            piece.format->AppendTo((*fact)->value, context.dateNames, written);
            return AppendCleaned(written, out);
        }
        return false;
    case FieldKind::Count: {
        const std::size_t place = piece.perFolder ? context.placeInFolder : context.place;
        // No run holds 2^31 files; beyond, the numbers stop growing rather than wrap.
        const auto i = static_cast<std::int64_t>(
            std::min<std::size_t>(place, static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())));
        const std::int64_t v = std::int64_t{piece.start} + i * std::int64_t{piece.step};
        // The sign first, then the zeros: -5 in the width of "001" is "-05".
        if (v < 0) {
            out.push_back(U'-');
            AppendPadNumber(-v, piece.width - 1, out);
        } else {
            AppendPadNumber(v, piece.width, out);
        }
        return true;
    }
    }
    return false;
}

} // namespace

TextView FieldToken(TemplateField field) {
    return TokenOf(field).token;
}

std::string SourceLine(const ValueSource& source) {
    return "{" + EncodeName(FieldToken(source.field)) + "} <- " + source.source;
}

NameTemplate::NameTemplate(TextView text) {
    Text literal;
    auto flush = [&] {
        if (!literal.empty()) {
            Piece piece;
            piece.literal.swap(literal);
            pieces_.push_back(std::move(piece));
        }
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const char32_t c = text[i];
        const char32_t next = i + 1 < text.size() ? text[i + 1] : U'\0';
        if ((c == U'{' && next == U'{') || (c == U'}' && next == U'}')) {
            literal.push_back(c);
            i += 2;
            continue;
        }
        if (c != U'{') {
            literal.push_back(c);
            ++i;
            continue;
        }
        const std::size_t close = text.find(U'}', i + 1);
        if (close == TextView::npos) {
            problem_ = TemplateProblem{kTemplateUnclosedMessage, {}, static_cast<Pos>(i) + 1};
            return;
        }
        flush();
        Piece piece;
        if (auto problem = ReadToken(text.substr(i + 1, close - i - 1), i, piece)) {
            problem_ = std::move(problem);
            return;
        }
        pieces_.push_back(std::move(piece));
        i = close + 1;
    }
    flush();
}

NameTemplate::~NameTemplate() = default;
NameTemplate::NameTemplate(NameTemplate&&) noexcept = default;
NameTemplate& NameTemplate::operator=(NameTemplate&&) noexcept = default;

ScriptNeeds NameTemplate::Needs() const {
    ScriptNeeds needs;
    for (const Piece& piece : pieces_) {
        for (const TemplateField field : piece.chain) {
            if (const auto fact = FactOf(field)) {
                needs.facts |= *fact;
            } else if (field == TemplateField::Folder) {
                needs.folder = true;
            } else if (field == TemplateField::Place) {
                (piece.perFolder ? needs.placeInFolder : needs.place) = true;
            }
        }
    }
    return needs;
}

void NameTemplate::AppendTo(TextView base, const FileContext& context, Text& out) const {
    if (problem_) {
        throw InvalidTemplateError(*problem_);
    }
    for (const Piece& piece : pieces_) {
        if (piece.chain.empty()) {
            out.append(piece.literal);
            continue;
        }
        const bool found = std::any_of(piece.chain.begin(), piece.chain.end(), [&](TemplateField field) {
            return AppendValue(piece, field, base, context, out);
        });
        if (!found) {
            throw MissingValueError(piece.chain.front());
        }
    }
}

std::vector<ValueSource> NameTemplate::Sources(TextView base, const FileContext& context) const {
    std::vector<ValueSource> sources;
    if (problem_) {
        return sources;
    }
    Text scratch;
    for (const Piece& piece : pieces_) {
        for (const TemplateField field : piece.chain) {
            scratch.clear();
            if (AppendValue(piece, field, base, context, scratch)) {
                if (const std::string* source = SourceOf(field, context.facts)) {
                    sources.push_back({field, *source});
                }
                break;
            }
        }
    }
    return sources;
}

} // namespace quorvel
