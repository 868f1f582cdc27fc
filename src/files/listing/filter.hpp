// The wildcard filter of the scan.
#pragma once

#include "engine/text.hpp"

#include <string_view>
#include <vector>

namespace quorvel {

// The program's own wildcard matching of a file name against one pattern: "*" is
// any run of characters, "?" one character, letters match without regard to case
// (ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic), and a pattern ending in
// ".*" also matches where the name ends, so "*.*" matches every name, also one
// without a dot. "[" is an ordinary character. An empty pattern matches nothing.
bool MatchesFilterPattern(TextView name, TextView pattern);

// The patterns of a filter, cut at ";" without trimming; empty ones find nothing
// and are left out. A pattern that matches every name ("*", "*.*") makes the
// filter match every name, so that the usual filter costs no decoding of names.
class NameFilter {
public:
    explicit NameFilter(TextView filter);
    // No pattern: nothing matches.
    bool Empty() const { return patterns_.empty() && !matchAll_; }
    // Whether the name `raw` (bytes of an entry) matches at least one pattern;
    // `name` is a buffer for its text. The first pattern that matches ends the search.
    bool Matches(std::string_view raw, Text& name) const;

private:
    std::vector<Text> patterns_;
    bool matchAll_ = false;
};

} // namespace quorvel
