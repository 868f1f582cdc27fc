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
static_assert(kInvalidTemplateMessage == TrNoop("Modèle invalide : %s à la position %s"));
static_assert(kTemplateUnclosedMessage == TrNoop("accolade non fermée"));
static_assert(kTemplateEmptyTokenMessage == TrNoop("jeton vide"));
static_assert(kTemplateUnknownTokenMessage == TrNoop("jeton inconnu %s"));
static_assert(kTemplateMixedChainMessage == TrNoop("jetons de natures différentes dans %s"));
static_assert(kTemplateNoParameterMessage == TrNoop("%s ne prend pas de paramètre"));
static_assert(kTemplateEmptyFormatMessage == TrNoop("format vide"));
static_assert(kTemplateUnknownFormatMessage == TrNoop("format inconnu %s"));
static_assert(kTemplateBadWidthMessage == TrNoop("largeur invalide %s"));
static_assert(kTemplateBadNumberMessage == TrNoop("nombre invalide %s"));
static_assert(kTemplateBadCountOptionMessage == TrNoop("option de numérotation inconnue %s"));
static_assert(kMissingNameMessage == TrNoop("pas de nom"));
static_assert(kMissingFolderMessage == TrNoop("pas de dossier"));
static_assert(kMissingTakenMessage == TrNoop("pas de date de prise de vue"));
static_assert(kMissingModifiedMessage == TrNoop("pas de date de modification"));
static_assert(kMissingMakeMessage == TrNoop("pas de marque d'appareil"));
static_assert(kMissingModelMessage == TrNoop("pas de modèle d'appareil"));
static_assert(kMissingLensMessage == TrNoop("pas d'objectif"));
static_assert(kMissingWidthMessage == TrNoop("pas de largeur"));
static_assert(kMissingHeightMessage == TrNoop("pas de hauteur"));
static_assert(kMissingArtistMessage == TrNoop("pas d'artiste"));
static_assert(kMissingAlbumMessage == TrNoop("pas d'album"));
static_assert(kMissingTitleMessage == TrNoop("pas de titre"));
static_assert(kMissingGenreMessage == TrNoop("pas de genre"));
static_assert(kMissingYearMessage == TrNoop("pas d'année"));
static_assert(kMissingTrackMessage == TrNoop("pas de numéro de piste"));
static_assert(kMissingDiscMessage == TrNoop("pas de numéro de disque"));
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
    if (const auto* invalid = dynamic_cast<const InvalidTemplateError*>(&error)) {
        return TemplateProblemText(invalid->problem());
    }
    if (const auto* missing = dynamic_cast<const MissingValueError*>(&error)) {
        return std::string(Tr(MissingValueMessage(missing->field()).data()));
    }
    return ShownName(error.what());
}

std::string TemplateProblemText(const TemplateProblem& problem) {
    const std::string what(problem.what);
    return FormatText(
        Tr(kInvalidTemplateMessage.data()),
        {FormatText(Tr(what.c_str()), {Quoted(problem.detail)}), std::to_string(problem.position)});
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
