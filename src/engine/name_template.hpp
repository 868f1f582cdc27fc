// The template of a "Composer" line ([Modèle]): literal text and tokens in braces,
// read once, then written out for every file.
//
//   {name}             the base of the name at this line
//   {folder}           the name of the folder holding the file
//   {n}, {n:START}, {n:START:STEP}, {n:START:STEP:folder}
//                      the file's place in the run, counted from START (1) by STEP
//                      (1, may be negative), padded with zeros to the width of START
//                      as written ("001"); "folder" counts again from START in each
//                      folder. The i-th file gets START + i × STEP, whatever the
//                      files before it gave: no counter is kept.
//   {taken}, {modified}, with a date format after ":" (engine/date_format.hpp)
//   {make} {model} {lens} {artist} {album} {title} {genre}     texts
//   {width} {height} {year} {track} {disc}, with a width after ":" ({track:2})
//                      numbers, padded with zeros to that width
//   {{ and }}          a brace; a "}" alone is itself; anything else is literal.
//
// A token may name several fields of one kind, taken in turn until one has a value:
// {taken,modified:%Y}, {artist,album}, {title,name}, {track,disc:2}. The kinds are
// the dates, the texts ({name} and {folder} among them) and the numbers; {n}
// stands alone.
//
// A value is cleaned before it is written: spaces at either end go, control
// characters go, and "/" becomes "_". An empty value, a number below 1 and a
// moment that is no date count as missing. A file whose token has no value fails
// with MissingValueError naming the first field of the token. {name} is the base
// as it is, neither trimmed nor cleaned.
#pragma once

#include "engine/errors.hpp"
#include "engine/file_context.hpp"
#include "engine/text.hpp"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {

// Where a value a template wrote came from: the field, and the fact's own account
// of it ("DateTimeOriginal 2024:07:14 15:30:12.347 +02:00").
struct ValueSource {
    TemplateField field;
    std::string source;
    bool operator==(const ValueSource&) const = default;
};

// The token of a field, without braces: "taken".
TextView FieldToken(TemplateField field);
// "{taken} <- DateTimeOriginal 2024:07:14 15:30:12.347 +02:00", UTF-8.
std::string SourceLine(const ValueSource& source);

class NameTemplate {
public:
    explicit NameTemplate(TextView text);
    ~NameTemplate();
    NameTemplate(NameTemplate&&) noexcept;
    NameTemplate& operator=(NameTemplate&&) noexcept;

    // Why the template cannot be read; nothing when it can.
    const std::optional<TemplateProblem>& Problem() const { return problem_; }
    // What it asks of a file.
    ScriptNeeds Needs() const;

    // Appends the template written for a file whose base is `base` at this line.
    // Raises MissingValueError for a token without a value, InvalidTemplateError
    // when the template cannot be read.
    void AppendTo(TextView base, const FileContext& context, Text& out) const;
    // The facts AppendTo would write for that file, in the order of the tokens;
    // a token without a value is left out.
    std::vector<ValueSource> Sources(TextView base, const FileContext& context) const;

    struct Piece; // literal text, or a token

private:
    std::vector<Piece> pieces_;
    std::optional<TemplateProblem> problem_;
};

} // namespace quorvel
