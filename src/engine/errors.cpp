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

NameTooLongError::NameTooLongError() : EngineError(std::string(kNameTooLongMessage)) {}

} // namespace quorvel
