// What the run of one folder and the run of a tree of folders share: the counts
// of their files, stopping them all before anything moved, and the stamps that
// tell each moving file from another given its inode number later.
#pragma once

#include "files/run/file_identity.hpp"
#include "files/run/journal.hpp"
#include "files/run/run_file.hpp"

#include <span>
#include <string>
#include <vector>

namespace quorvel {

RunCounts CountsOf(std::span<const RunFile> files);

// Before anything moves: every file that would have moved fails for `reason`.
void StopAll(std::span<RunFile> run, const std::string& reason);

// The stamp of each file `steps` move, of the kind the folder `dirfd` gives, in
// `stamps` (one per file of `run`; left as they are for the others). The inode found now replaces the one
// of the listing when the name holds another file since: the rename moves what the
// name holds.
void StampsOfMovingFiles(std::span<RunFile> run, const std::vector<Step>& steps, int dirfd, StampKind kind,
                         std::span<FileStamp> stamps);

} // namespace quorvel
