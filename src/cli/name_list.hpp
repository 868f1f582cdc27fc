// Lists of names read by pairs and edit: pairs "OLD<TAB>NEW" a line (or OLD NUL
// NEW NUL), and the names of edit, one a line with their line feeds, TABs and
// backslashes escaped. Bytes pass through untouched otherwise.
#pragma once

#include "batch/pairs_run.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::cli {

struct PairList {
    std::vector<NamePair> pairs;
    std::string error;       // why the list is not one, naming its line; empty when it is
    bool readFailed = false; // `fd` could not be read (errno in `readError`)
    int readError = 0;
};

// Reads `fd` to its end: one pair a line, split by its only TAB; with `null`, an
// old and a new name each ended by NUL. A line without a TAB or with more than one,
// an empty name, an old name left without its new one make the whole list wrong.
PairList ReadPairs(int fd, bool null);

// `name` as one line of edit: "\n", "\t" and "\\" for a line feed, a TAB and a
// backslash.
std::string EscapeName(std::string_view name);
// The name a line of edit stands for; nothing when a backslash is followed by
// anything but "n", "t" or another backslash, or by nothing.
std::optional<std::string> UnescapeName(std::string_view line);

// The lines of `text`, a line feed ending each; a last line without one still
// counts.
std::vector<std::string_view> LinesOf(std::string_view text);

} // namespace quorvel::cli
