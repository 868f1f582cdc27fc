// The files of a preview or a run, one folder after the other.
#pragma once

#include "files/listing/project_file.hpp"
#include "files/run/run_file.hpp"

#include <memory>
#include <string>
#include <vector>

namespace quorvel {

// The places in the whole run of the files of one folder's run: file k of the
// folder's run is file `members[k]` of the whole run.
class FolderMembers {
public:
    FolderMembers() = default; // every file of the run: file k is file k
    explicit FolderMembers(std::vector<std::size_t> places) : places_(std::move(places)), some_(true) {}
    std::size_t operator[](std::size_t k) const { return some_ ? places_[k] : k; }

private:
    std::vector<std::size_t> places_;
    bool some_ = false;
};

// Calls `stage(run, folder, members)` once per folder, in the order of their first
// file: `run` holds the files of `all` that are in `folder`, taken out of it and put
// back after the stage; `members` (FolderMembers) their places in `all`.
template <typename Stage>
void ByFolder(std::vector<RunFile>& all, const TListFiles& files, const Stage& stage) {
    if (const std::shared_ptr<const ScannedFolder>& only = files.OnlyFolder(); only && !all.empty()) {
        stage(all, only, FolderMembers());
        return;
    }
    std::vector<bool> done(all.size(), false);
    for (std::size_t first = 0; first < all.size(); ++first) {
        if (done[first]) {
            continue;
        }
        const std::shared_ptr<const ScannedFolder>& folder = files.Items(all[first].index).SharedFolder();
        std::vector<std::size_t> members;
        for (std::size_t i = first; i < all.size(); ++i) {
            if (!done[i] && files.Items(all[i].index).SharedFolder() == folder) {
                done[i] = true;
                members.push_back(i);
            }
        }
        // All of them at once when the whole selection is in this folder.
        const bool whole = members.size() == all.size();
        std::vector<RunFile> run;
        if (whole) {
            run = std::move(all);
        } else {
            run.reserve(members.size());
            for (const std::size_t i : members) {
                run.push_back(std::move(all[i]));
            }
        }
        stage(run, folder, whole ? FolderMembers() : FolderMembers(members));
        if (whole) {
            all = std::move(run);
        } else {
            for (std::size_t k = 0; k < members.size(); ++k) {
                all[members[k]] = std::move(run[k]);
            }
        }
    }
}

} // namespace quorvel
