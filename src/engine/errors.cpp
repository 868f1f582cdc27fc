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

NameTooLongError::NameTooLongError() : EngineError(std::string(kNameTooLongMessage)) {}

} // namespace quorvel
