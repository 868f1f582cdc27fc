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

NameTooLongError::NameTooLongError() : EngineError(std::string(kNameTooLongMessage)) {}

} // namespace quorvel
