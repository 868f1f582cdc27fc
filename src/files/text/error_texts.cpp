#include "files/text/error_texts.hpp"

#include "engine/codec.hpp"
#include "files/text/message_language.hpp"
#include "files/text/shown_name.hpp"

namespace quorvel {

namespace {

// The engine writes these texts itself; they are in the catalogue as they are.
static_assert(kConversionMessage == TrNoop("'%s' n'est pas une valeur entière correcte"));
static_assert(kNameTooLongMessage == TrNoop("Le nouveau nom est trop long"));
static_assert(kInvalidPatternMessage == TrNoop("Expression invalide : %s à la position %s"));
static_assert(kPatternTooCostlyMessage == TrNoop("expression trop coûteuse pour %s"));
static_assert(kCannotOpenMessage == TrNoop("Impossible d'ouvrir le fichier %s"));
static_assert(kNotAScriptMessage == TrNoop("Le fichier %s n'est pas un script"));
static_assert(kCannotCreateMessage == TrNoop("Impossible de créer le fichier %s"));
static_assert(kCannotWriteMessage == TrNoop("Impossible d'écrire dans %s"));
// " : il dépasse 64 Mio" names the limit.
static_assert(kMaxScriptFileBytes == std::size_t{64} << 20);

using Kind = ScriptFileError::Kind;

std::string PathText(std::string_view path, PathForm form) {
    return form == PathForm::Quoted ? Quoted(path) : ShownName(path);
}

} // namespace

std::string EngineErrorText(const EngineError& error) {
    if (const auto* conversion = dynamic_cast<const ConversionError*>(&error)) {
        return FormatText(Tr(kConversionMessage.data()), {ShownName(EncodeName(conversion->value()))});
    }
    if (dynamic_cast<const NameTooLongError*>(&error) != nullptr) {
        return std::string(Tr(kNameTooLongMessage.data()));
    }
    if (const auto* invalid = dynamic_cast<const InvalidPatternError*>(&error)) {
        return PatternProblemText(invalid->problem());
    }
    if (const auto* costly = dynamic_cast<const PatternTooCostlyError*>(&error)) {
        return FormatText(Tr(kPatternTooCostlyMessage.data()), {Quoted(EncodeName(costly->name()))});
    }
    return ShownName(error.what());
}

std::string PatternProblemText(const PatternProblem& problem) {
    return FormatText(Tr(kInvalidPatternMessage.data()),
                      {ShownName(problem.message), std::to_string(problem.position)});
}

std::string ScriptFileErrorText(const ScriptFileError& error, std::string_view path, PathForm form) {
    if (error.kind() == Kind::NotAScript) {
        return FormatText(Tr(kNotAScriptMessage.data()), {PathText(path, form)});
    }
    std::string text = FormatText(Tr(kCannotOpenMessage.data()), {PathText(path, form)});
    switch (error.kind()) {
    case Kind::Folder:
        return text.append(Tr(" : c'est un dossier"));
    case Kind::Fifo:
        return text.append(Tr(" : c'est un tube nommé"));
    case Kind::Device:
        return text.append(Tr(" : c'est un périphérique"));
    case Kind::Socket:
        return text.append(Tr(" : c'est une socket"));
    case Kind::TooLarge:
        return text.append(Tr(" : il dépasse 64 Mio"));
    case Kind::Missing:
    case Kind::Unreadable:
    case Kind::NotAScript:
        break;
    }
    return text;
}

std::string WindowScriptFileErrorText(const ScriptFileError& error, std::string_view path, PathForm form) {
    const std::string shown = PathText(path, form);
    switch (error.kind()) {
    case Kind::Missing:
        return FormatText(Tr("Le fichier %s n'existe pas"), {shown});
    case Kind::Folder:
        return FormatText(Tr("Le fichier %s est un dossier"), {shown});
    case Kind::Fifo:
        return FormatText(Tr("Le fichier %s est un tube nommé"), {shown});
    case Kind::Device:
        return FormatText(Tr("Le fichier %s est un périphérique"), {shown});
    case Kind::Socket:
        return FormatText(Tr("Le fichier %s est une socket"), {shown});
    case Kind::NotAScript:
        return FormatText(Tr(kNotAScriptMessage.data()), {shown});
    case Kind::TooLarge:
    case Kind::Unreadable:
        break;
    }
    return {};
}

std::string FileErrorText(const FileError& error) {
    if (const auto* script = dynamic_cast<const ScriptFileError*>(&error)) {
        return ScriptFileErrorText(*script, script->path(), PathForm::Bare);
    }
    if (error.pattern().empty()) {
        return ShownName(error.what());
    }
    const std::string pattern(error.pattern());
    return FormatText(Tr(pattern.c_str()), {ShownName(error.path())});
}

} // namespace quorvel
