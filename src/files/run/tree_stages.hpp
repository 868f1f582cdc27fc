// The stages of a run over a tree of folders: the files of one folder each, a range
// of the files of the run, in the order they are renamed in.
#pragma once

#include "files/listing/project_file.hpp"
#include "files/run/file_identity.hpp"
#include "files/run/run_file.hpp"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace quorvel {

// One stage: files [first, first + count) of the run, all in `folder`, and their
// steps, which number the files within the stage.
struct TreeStage {
    std::shared_ptr<const ScannedFolder> folder;
    std::size_t first = 0;
    std::size_t count = 0;
    std::vector<Step> steps;
    bool folders = false;      // it renames a folder (or a link to one)
    std::size_t firstStep = 0; // in the plan of the journal

    std::span<RunFile> Of(std::vector<RunFile>& files) const {
        return std::span(files).subspan(first, count);
    }
};

// Its path below the run's folder, as shown in messages ("." for that folder).
std::string RelativeOf(const ScannedFolder& folder);

// The stages of `files`, which come folder after folder (each folder's files one
// after the other), in the order of the files.
std::vector<TreeStage> StagesOf(const std::vector<RunFile>& files, const TListFiles& list);

// The stages in the order of the run: the files of every folder first, in the
// order of the tree, then the folders, the deepest first, so that nothing is
// renamed under a folder already renamed. A folder whose plan ties the rename of a
// file to that of a folder (a file takes the name a folder leaves, a cycle of both)
// renames both together, with the folders; in another folder that has both, its
// files are moved before its folders within its range, and `place` (where each
// file of the run came from) and `stamps` (one per file, or none) follow them. The
// stages that rename files alone come first, all of them.
std::vector<TreeStage> FilesThenFolders(std::vector<TreeStage> stages, std::vector<RunFile>& files,
                                        std::vector<std::size_t>& place, std::vector<FileStamp>& stamps);

} // namespace quorvel
