// Records (names) on standard input: one per line, or NUL-terminated with -0. Bytes
// pass through untouched.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quorvel::cli {

// Reads `fd` to its end and calls `visit` with every record. A record is ended by
// `separator`; a last record without one still counts, an empty tail does not.
// Returns false when reading failed.
bool ReadRecords(int fd, char separator, const std::function<void(std::string_view)>& visit);

} // namespace quorvel::cli
