// The listing of files given one by one, as a file manager hands over its
// selection: exactly those, in the order given, below the folder that holds them
// all.
#pragma once

#include "files/listing/folder_path.hpp"
#include "files/listing/project_file.hpp"

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace quorvel {

// A path given that names no file of a folder, and why (an errno value: ENOENT for
// nothing there, EINVAL for a path that names no entry of a folder, such as "/" or
// "..").
struct RefusedPath {
    std::string path;
    int error = 0;
};

struct GivenFilesReport {
    FolderPath folder;                // the folder that holds them all, absolute; empty when none is listed
    std::vector<RefusedPath> refused; // in the order given
    bool stopped = false;             // the progress said stop: the paths before are listed
};

// Told now and then how many paths of how many are done; false stops the listing.
using GivenProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Appends to `list` a record for each path of `paths` (bytes; relative ones are
// taken from the working folder; a "file:" URI where no file has its name is the
// path it names), in the order given, a path given twice once. A
// symbolic link is a file of its own, never followed; a folder is an entry like a
// file. Their folders become the folders of a tree whose top is the deepest folder
// that holds them all: each is opened from the one above it, never through a
// symbolic link, and its entries are kept, as a tree scan keeps them, so that new
// names are checked against them.
GivenFilesReport ListGivenFiles(std::span<const std::string> paths, TListFiles& list,
                                const GivenProgress& progress = {});

} // namespace quorvel
