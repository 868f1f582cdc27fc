#include "engine/text.hpp"

#include "engine/codec.hpp"

namespace quorvel {

TextView Trim(TextView s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && IsTrimmed(s[b])) {
        ++b;
    }
    while (e > b && IsTrimmed(s[e - 1])) {
        --e;
    }
    return s.substr(b, e - b);
}

Text FromUtf8Literal(std::string_view s) {
    return DecodeName(s);
}

} // namespace quorvel
