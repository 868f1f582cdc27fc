// A folder's path as the system knows it: the bytes given on the command line or
// chosen in the window, handed as they are to open() and openat() from there down.
// It becomes text only to be shown.
#pragma once

#include "engine/text.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

class FolderPath {
public:
    FolderPath() = default; // the working folder
    explicit FolderPath(std::string bytes) : bytes_(std::move(bytes)) {}

    // The bytes as given; empty for the working folder.
    const std::string& Bytes() const { return bytes_; }
    // What the system is given: "." for the working folder.
    const char* ForSystem() const { return bytes_.empty() ? "." : bytes_.c_str(); }
    // No bytes: the working folder for the system, no folder at all for a person.
    bool Empty() const { return bytes_.empty(); }
    // The path as shown to a person.
    Text Shown() const;
    // The path of the entry `name` of the folder.
    std::string EntryPath(std::string_view name) const;

    // The same folder by an absolute path ending with "/", without empty or "."
    // parts. A path with ".." is resolved by the file system, which follows
    // symbolic links before going up, as opening the folder would; nothing when
    // that or the working folder cannot be read (errno says why).
    std::optional<FolderPath> Absolute() const;
    // Absolute(), without the "/" at its end (but for the root itself); the path
    // as given when it cannot be made absolute.
    FolderPath AbsoluteWithoutSlash() const;

    bool operator==(const FolderPath&) const = default;

private:
    std::string bytes_;
};

} // namespace quorvel
