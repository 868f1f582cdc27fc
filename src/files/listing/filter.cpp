// Wildcard matching of file names against the patterns of a filter.
#include "files/listing/filter.hpp"

#include "engine/codec.hpp"
#include "engine/primitives.hpp"
#include "files/listing/project_file.hpp"

#include <algorithm>

namespace quorvel {

namespace {

// Upper case of the letters whose case is ignored by the filter; every other code
// point is its own case.
char32_t FoldLetter(char32_t c) {
    if (c < 0x80) {
        return FoldAZ(c);
    }
    if (c < 0x100) { // Latin-1: à..þ except ÷, and ÿ
        if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
            return c - 0x20;
        }
        return c == 0xFF ? 0x178 : c;
    }
    if (c < 0x180) { // Latin Extended-A: pairs upper/lower, with two runs shifted by one
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
            return (c % 2 == 0) ? c - 1 : c;
        }
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x178 || c == 0x17F) {
            return c;
        }
        return (c % 2 == 1) ? c - 1 : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9) { // Greek small letters, final sigma as sigma
        return c == 0x3C2 ? 0x3A3 : c - 0x20;
    }
    if (c >= 0x430 && c <= 0x44F) { // Cyrillic а..я
        return c - 0x20;
    }
    if (c >= 0x450 && c <= 0x45F) { // Cyrillic ѐ..џ
        return c - 0x50;
    }
    return c;
}

// "*" and "?" against the whole name. Linear backtracking to the last "*", so the
// time is bounded by the product of the two lengths whatever the pattern.
bool Wildcard(TextView name, TextView pattern) {
    std::size_t i = 0;
    std::size_t j = 0;
    std::size_t star = TextView::npos;
    std::size_t resume = 0;
    while (i < name.size()) {
        if (j < pattern.size() && pattern[j] == U'*') {
            star = j++;
            resume = i;
        } else if (j < pattern.size() &&
                   (pattern[j] == U'?' || FoldLetter(pattern[j]) == FoldLetter(name[i]))) {
            ++i;
            ++j;
        } else if (star != TextView::npos) {
            j = star + 1;
            i = ++resume;
        } else {
            return false;
        }
    }
    while (j < pattern.size() && pattern[j] == U'*') {
        ++j;
    }
    return j == pattern.size();
}

} // namespace

bool MatchesFilterPattern(TextView name, TextView pattern) {
    if (pattern.empty()) {
        return false;
    }
    if (Wildcard(name, pattern)) {
        return true;
    }
    // A final ".*" also matches the end of the name: "*.*" takes "README".
    return pattern.ends_with(U".*") && Wildcard(name, pattern.substr(0, pattern.size() - 2));
}

namespace {

bool MatchesEveryName(TextView pattern) {
    if (pattern.ends_with(U".*")) {
        pattern.remove_suffix(2);
    }
    return !pattern.empty() && pattern.find_first_not_of(U'*') == TextView::npos;
}

} // namespace

NameFilter::NameFilter(TextView filter) {
    const Pos count = CountOf(filter, U";") + 1;
    for (Pos k = count; k >= 1; --k) {
        const TextView pattern = NthField(filter, U";", k);
        if (MatchesEveryName(pattern)) {
            matchAll_ = true;
        } else if (!pattern.empty()) {
            patterns_.emplace_back(pattern);
        }
    }
}

bool NameFilter::Matches(std::string_view raw, Text& name) const {
    if (matchAll_) {
        return true;
    }
    if (patterns_.empty()) {
        return false;
    }
    name.clear();
    DecodeNameInto(raw, name);
    return std::any_of(patterns_.begin(), patterns_.end(),
                       [&](const Text& pattern) { return MatchesFilterPattern(name, pattern); });
}

} // namespace quorvel
