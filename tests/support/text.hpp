// Conversions that let tests write texts as ordinary UTF-8 literals and compare
// results as readable strings.
#pragma once

#include "engine/codec.hpp"

#include <string>
#include <string_view>

namespace quorvel::test {

inline Text T(std::string_view utf8) {
    return DecodeName(utf8);
}
inline std::string U8(TextView text) {
    return EncodeName(text);
}

} // namespace quorvel::test
