// Errors raised by the engine and by script file input and output. Their messages
// are the program's own French texts, encoded in UTF-8.
#pragma once

#include "engine/text.hpp"

#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvel {

// Replaces the first "%s" of `pattern` with `value`.
std::string FormatMessage(std::string_view pattern, std::string_view value);

// Raised by the engine: stops the computation of the new names.
class EngineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A numbering start value that is not an integer.
class ConversionError : public EngineError {
public:
    explicit ConversionError(TextView value);
    const Text& value() const { return value_; }

private:
    Text value_;
};

// A name grew beyond what any file system holds; the engine stops there instead of
// exhausting memory.
class NameTooLongError : public EngineError {
public:
    NameTooLongError();
};

// Where and why a search pattern does not compile: PCRE2's message (in English)
// and the 1-based position, in characters of the pattern, where it was found.
struct PatternProblem {
    std::string message;
    Pos position = 1;
    bool operator==(const PatternProblem&) const = default;
};

// A "Rechercher" line whose pattern does not compile. The programs refuse such a
// script before its first name; the engine raises this when it meets the line.
class InvalidPatternError : public EngineError {
public:
    explicit InvalidPatternError(PatternProblem problem);
    const PatternProblem& problem() const { return problem_; }

private:
    PatternProblem problem_;
};

// A pattern that needs more than its match or depth limit on one name: the error
// of that file alone.
class PatternTooCostlyError : public EngineError {
public:
    explicit PatternTooCostlyError(TextView name);
    const Text& name() const { return name_; }

private:
    Text name_;
};

// A file that could not be opened, created or written.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // what() is `pattern` (one of the messages below, which outlive the error) with
    // its "%s" replaced by `path`; both are kept, so that the message can be given
    // again in another language.
    FileError(std::string_view pattern, std::string_view path);
    // The message without its path; empty when the error was made of a whole text.
    std::string_view pattern() const { return pattern_; }
    const std::string& path() const { return path_; }

protected:
    // `message` about `path`, made by a pattern or not.
    FileError(const std::string& message, std::string_view pattern, std::string_view path);

private:
    std::string_view pattern_;
    std::string path_;
};

inline constexpr std::string_view kConversionMessage = "'%s' n'est pas une valeur entière correcte";
inline constexpr std::string_view kNameTooLongMessage = "Le nouveau nom est trop long";
inline constexpr std::string_view kInvalidPatternMessage = "Expression invalide : %s à la position %s";
inline constexpr std::string_view kPatternTooCostlyMessage = "expression trop coûteuse pour %s";
inline constexpr std::string_view kCannotOpenMessage = "Impossible d'ouvrir le fichier %s";
inline constexpr std::string_view kCannotCreateMessage = "Impossible de créer le fichier %s";
inline constexpr std::string_view kCannotWriteMessage = "Impossible d'écrire dans %s";
inline constexpr std::string_view kNotAScriptMessage = "Le fichier %s n'est pas un script";

} // namespace quorvel
