// Errors raised by the engine and by script file input and output. Their messages
// are the program's own French texts, encoded in UTF-8.
#pragma once

#include "engine/file_facts.hpp"
#include "engine/text.hpp"

#include <optional>
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

// Why a "Composer" template cannot be read: `what` is one of the kTemplate...
// messages below (French, its "%s", if any, standing for `detail`), and `position`
// the 1-based position, in characters of the template, where it was found.
struct TemplateProblem {
    std::string_view what;
    std::string detail; // UTF-8: a token, a format...
    Pos position = 1;
    // The French text: `what` with « `detail` » in place of its "%s".
    std::string Message() const { return FormatMessage(what, "« " + detail + " »"); }
    bool operator==(const TemplateProblem&) const = default;
};

// A "Composer" line whose template cannot be read. The programs refuse such a
// script before its first name; the engine raises this when it meets the line.
class InvalidTemplateError : public EngineError {
public:
    explicit InvalidTemplateError(TemplateProblem problem);
    const TemplateProblem& problem() const { return problem_; }

private:
    TemplateProblem problem_;
};

// What a template's token stands for: the name, the folder, the place in the run,
// or one of the facts of the file.
enum class TemplateField : std::uint8_t {
    Name,
    Folder,
    Place,
    Taken,
    Modified,
    Make,
    Model,
    Lens,
    Width,
    Height,
    Artist,
    Album,
    Title,
    Genre,
    Year,
    Track,
    Disc,
};

// The fact a field reads; nothing for the name, the folder and the place.
std::optional<Fact> FactOf(TemplateField field);

// Why a file's value is missing, in French: "pas de date de prise de vue"...
// Empty for TemplateField::Place, which is never missing.
std::string_view MissingValueMessage(TemplateField field);

// A file that lacks a value its template asks for (and every value its chain falls
// back on): the error of that file alone. `field` is the first of the chain.
class MissingValueError : public EngineError {
public:
    explicit MissingValueError(TemplateField field);
    TemplateField field() const { return field_; }
    // The fact that was missing; nothing for the name or the folder.
    std::optional<Fact> fact() const { return FactOf(field_); }

private:
    TemplateField field_;
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
inline constexpr std::string_view kInvalidTemplateMessage = "Modèle invalide : %s à la position %s";
// What is wrong in a template (TemplateProblem::what).
inline constexpr std::string_view kTemplateUnclosedMessage = "accolade non fermée";
inline constexpr std::string_view kTemplateEmptyTokenMessage = "jeton vide";
inline constexpr std::string_view kTemplateUnknownTokenMessage = "jeton inconnu %s";
inline constexpr std::string_view kTemplateMixedChainMessage = "jetons de natures différentes dans %s";
inline constexpr std::string_view kTemplateNoParameterMessage = "%s ne prend pas de paramètre";
inline constexpr std::string_view kTemplateEmptyFormatMessage = "format vide";
inline constexpr std::string_view kTemplateUnknownFormatMessage = "format inconnu %s";
inline constexpr std::string_view kTemplateBadWidthMessage = "largeur invalide %s";
inline constexpr std::string_view kTemplateBadNumberMessage = "nombre invalide %s";
inline constexpr std::string_view kTemplateBadCountOptionMessage = "option de numérotation inconnue %s";
// Why a value is missing (MissingValueMessage).
inline constexpr std::string_view kMissingNameMessage = "pas de nom";
inline constexpr std::string_view kMissingFolderMessage = "pas de dossier";
inline constexpr std::string_view kMissingTakenMessage = "pas de date de prise de vue";
inline constexpr std::string_view kMissingModifiedMessage = "pas de date de modification";
inline constexpr std::string_view kMissingMakeMessage = "pas de marque d'appareil";
inline constexpr std::string_view kMissingModelMessage = "pas de modèle d'appareil";
inline constexpr std::string_view kMissingLensMessage = "pas d'objectif";
inline constexpr std::string_view kMissingWidthMessage = "pas de largeur";
inline constexpr std::string_view kMissingHeightMessage = "pas de hauteur";
inline constexpr std::string_view kMissingArtistMessage = "pas d'artiste";
inline constexpr std::string_view kMissingAlbumMessage = "pas d'album";
inline constexpr std::string_view kMissingTitleMessage = "pas de titre";
inline constexpr std::string_view kMissingGenreMessage = "pas de genre";
inline constexpr std::string_view kMissingYearMessage = "pas d'année";
inline constexpr std::string_view kMissingTrackMessage = "pas de numéro de piste";
inline constexpr std::string_view kMissingDiscMessage = "pas de numéro de disque";
inline constexpr std::string_view kCannotOpenMessage = "Impossible d'ouvrir le fichier %s";
inline constexpr std::string_view kCannotCreateMessage = "Impossible de créer le fichier %s";
inline constexpr std::string_view kCannotWriteMessage = "Impossible d'écrire dans %s";
inline constexpr std::string_view kNotAScriptMessage = "Le fichier %s n'est pas un script";

} // namespace quorvel
