#include "engine/value_code.hpp"

namespace quorvel {

namespace {

int HexDigit(char32_t c) {
    if (c >= U'0' && c <= U'9') {
        return static_cast<int>(c - U'0');
    }
    if (c >= U'A' && c <= U'F') {
        return static_cast<int>(c - U'A') + 10;
    }
    if (c >= U'a' && c <= U'f') {
        return static_cast<int>(c - U'a') + 10;
    }
    return -1;
}

// The character that the code starting at `at` (a "%") stands for, or 0 when the
// three characters there are not one of the five codes.
char32_t CodeAt(TextView s, std::size_t at) {
    if (at + 2 >= s.size()) {
        return 0;
    }
    const int high = HexDigit(s[at + 1]);
    const int low = HexDigit(s[at + 2]);
    if (high < 0 || low < 0) {
        return 0;
    }
    switch (high * 16 + low) {
    case 0x5B:
        return U'[';
    case 0x5D:
        return U']';
    case 0x3D:
        return U'=';
    case 0x7C:
        return U'|';
    case 0x25:
        return U'%';
    default:
        return 0;
    }
}

} // namespace

Text EncodeValue(TextView value) {
    Text out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        switch (const char32_t c = value[i]) {
        case U'[':
            out.append(U"%5B");
            break;
        case U']':
            out.append(U"%5D");
            break;
        case U'=':
            out.append(U"%3D");
            break;
        case U'|':
            out.append(U"%7C");
            break;
        case U'%':
            out.append(CodeAt(value, i) != 0 ? U"%25" : U"%");
            break;
        default:
            out.push_back(c);
            break;
        }
    }
    return out;
}

Text DecodeValue(TextView stored) {
    std::size_t at = stored.find(U'%');
    if (at == TextView::npos) {
        return Text(stored);
    }
    Text out(stored.substr(0, at));
    while (at < stored.size()) {
        const char32_t c = stored[at];
        const char32_t coded = c == U'%' ? CodeAt(stored, at) : 0;
        if (coded != 0) {
            out.push_back(coded);
            at += 3;
        } else {
            out.push_back(c);
            ++at;
        }
    }
    return out;
}

} // namespace quorvel
