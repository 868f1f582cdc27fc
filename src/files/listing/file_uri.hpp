// The local files that "file:" URIs name, as file managers hand them over: in a
// drop (text/uri-list), and on the command line of a bulk-rename tool.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// The path of a "file:" URI with no host or "localhost" ("file:///a%20b",
// "file://localhost/a", "file:/a"), percent-decoded byte for byte, so that a name
// that is not UTF-8 comes back as it is on the disk; a query or a fragment is no
// part of it. Nothing for another URI, another host, a path that is not absolute,
// or one that decodes to a NUL.
std::optional<std::string> LocalPathOfFileUri(std::string_view uri);

} // namespace quorvel
