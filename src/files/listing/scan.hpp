// The folder scan: the files of a folder that match a filter, as records.
#pragma once

#include "engine/text.hpp"
#include "files/listing/folder_path.hpp"
#include "files/listing/project_file.hpp"

namespace quorvel {

// What a scan reads of each file besides its name.
enum class ScanDetail {
    SizeAndDate, // one fstatat per listed file
    NamesOnly    // Size() and Date() are -1; fstatat only where the entry type is unknown or a link
};

// Appends to `list` every entry of `folder` that is not a folder and matches the
// filter: patterns separated by ";", blanks kept. A file is added once, however
// many patterns it matches ("*.jpg;*.JPG" lists each photo once). Symbolic links
// count as what they point to; a link that points nowhere is listed. A folder that
// does not exist, cannot be read or is not a folder adds nothing, and so does an
// empty `folder`. A relative `folder` is taken from the working folder. The list keeps the descriptor the
// folder was read through, and every entry the folder had. Returns 0, or the errno value that tells why the
// folder could not be read (ENOENT for an empty `folder`).
int ScanFolder(const FolderPath& folder, TListFiles& list, TextView filter,
               ScanDetail detail = ScanDetail::SizeAndDate);

} // namespace quorvel
