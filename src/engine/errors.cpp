#include "engine/errors.hpp"

#include "engine/codec.hpp"

namespace quorvel {

std::string FormatMessage(std::string_view pattern, std::string_view value) {
    std::string out(pattern);
    const std::size_t at = out.find("%s");
    if (at != std::string::npos) {
        out.replace(at, 2, value);
    }
    return out;
}

ConversionError::ConversionError(TextView value)
    : EngineError(FormatMessage(kConversionMessage, EncodeName(value))), value_(value) {}

FileError::FileError(std::string_view pattern, std::string_view path)
    : FileError(FormatMessage(pattern, path), pattern, path) {}

FileError::FileError(const std::string& message, std::string_view pattern, std::string_view path)
    : std::runtime_error(message), pattern_(pattern), path_(path) {}

namespace {

std::string InvalidPatternText(const PatternProblem& problem) {
    const std::string withMessage = FormatMessage(kInvalidPatternMessage, problem.message);
    const std::size_t at = withMessage.rfind("%s");
    return withMessage.substr(0, at) + std::to_string(problem.position) + withMessage.substr(at + 2);
}

} // namespace

InvalidPatternError::InvalidPatternError(PatternProblem problem)
    : EngineError(InvalidPatternText(problem)), problem_(std::move(problem)) {}

PatternTooCostlyError::PatternTooCostlyError(TextView name)
    : EngineError(FormatMessage(kPatternTooCostlyMessage, "« " + EncodeName(name) + " »")), name_(name) {}

namespace {

std::string InvalidTemplateText(const TemplateProblem& problem) {
    const std::string withMessage = FormatMessage(kInvalidTemplateMessage, problem.Message());
    const std::size_t at = withMessage.rfind("%s");
    return withMessage.substr(0, at) + std::to_string(problem.position) + withMessage.substr(at + 2);
}

} // namespace

InvalidTemplateError::InvalidTemplateError(TemplateProblem problem)
    : EngineError(InvalidTemplateText(problem)), problem_(std::move(problem)) {}

std::optional<Fact> FactOf(TemplateField field) {
    switch (field) {
    case TemplateField::Name:
    case TemplateField::Folder:
    case TemplateField::Place:
        return std::nullopt;
    case TemplateField::Taken:
        return Fact::Taken;
    case TemplateField::Modified:
        return Fact::Modified;
    case TemplateField::Make:
        return Fact::Make;
    case TemplateField::Model:
        return Fact::Model;
    case TemplateField::Lens:
        return Fact::Lens;
    case TemplateField::Width:
        return Fact::Width;
    case TemplateField::Height:
        return Fact::Height;
    case TemplateField::Artist:
        return Fact::Artist;
    case TemplateField::Album:
        return Fact::Album;
    case TemplateField::Title:
        return Fact::Title;
    case TemplateField::Genre:
        return Fact::Genre;
    case TemplateField::Year:
        return Fact::Year;
    case TemplateField::Track:
        return Fact::Track;
    case TemplateField::Disc:
        return Fact::Disc;
    }
    return std::nullopt;
}

std::string_view MissingValueMessage(TemplateField field) {
    switch (field) {
    case TemplateField::Name:
        return kMissingNameMessage;
    case TemplateField::Folder:
        return kMissingFolderMessage;
    case TemplateField::Place:
        return {};
    case TemplateField::Taken:
        return kMissingTakenMessage;
    case TemplateField::Modified:
        return kMissingModifiedMessage;
    case TemplateField::Make:
        return kMissingMakeMessage;
    case TemplateField::Model:
        return kMissingModelMessage;
    case TemplateField::Lens:
        return kMissingLensMessage;
    case TemplateField::Width:
        return kMissingWidthMessage;
    case TemplateField::Height:
        return kMissingHeightMessage;
    case TemplateField::Artist:
        return kMissingArtistMessage;
    case TemplateField::Album:
        return kMissingAlbumMessage;
    case TemplateField::Title:
        return kMissingTitleMessage;
    case TemplateField::Genre:
        return kMissingGenreMessage;
    case TemplateField::Year:
        return kMissingYearMessage;
    case TemplateField::Track:
        return kMissingTrackMessage;
    case TemplateField::Disc:
        return kMissingDiscMessage;
    }
    return {};
}

MissingValueError::MissingValueError(TemplateField field)
    : EngineError(std::string(MissingValueMessage(field))), field_(field) {}

NameTooLongError::NameTooLongError() : EngineError(std::string(kNameTooLongMessage)) {}

} // namespace quorvel
