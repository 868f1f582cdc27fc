// Stage of a run: the check after the last rename.
//
// Contract: from one reading of the folder after the renames (`after`, no stat but
// for entries whose type the file system does not give), checks every file the run
// renamed: its new name is there, byte for byte, and its old name is gone unless
// another file of the run took it. A mismatch makes the file a failure
// ("vérification : ..."), so that a file system that changes names on its own is
// reported. A renamed entry that turns out to be a folder (a file replaced by a
// folder after the listing) fails too, and is returned to be put back under its old
// name. An entry whose inode changed with the rename (some file systems give a copy
// a new one) has the new inode noted in the journal, with its stamp.
#pragma once

#include "files/listing/folder_listing.hpp"
#include "files/run/journal.hpp"
#include "files/run/journal_writer.hpp"
#include "files/run/run_file.hpp"

#include <span>
#include <vector>

namespace quorvel {

std::vector<std::uint32_t> Verify(std::span<RunFile> files, const FolderListing& after, int dirfd,
                                  JournalWriter& journal);

} // namespace quorvel
