// The wildcard filter of the scan.
#pragma once

#include "engine/text.hpp"

namespace quorvel {

// The program's own wildcard matching of a file name against one pattern: "*" is
// any run of characters, "?" one character, letters match without regard to case
// (ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic), and a pattern ending in
// ".*" also matches where the name ends, so "*.*" matches every name, also one
// without a dot. "[" is an ordinary character. An empty pattern matches nothing.
bool MatchesFilterPattern(TextView name, TextView pattern);

} // namespace quorvel
