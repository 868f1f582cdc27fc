// The files of a preview or a run, one folder after the other.
#pragma once

#include "files/project_file.hpp"
#include "files/run_file.hpp"

#include <memory>
#include <numeric>
#include <vector>

namespace quorvel {

// Calls `stage(run, folder, members)` once per folder, in the order of their first
// file: `run` holds the files of `all` that are in `folder`, taken out of it and put
// back after the stage; `members` their places in `all`.
template <typename Stage>
void ByFolder(std::vector<RunFile>& all, const TListFiles& files, const Stage& stage) {
    if (const std::shared_ptr<const Text>& only = files.OnlyFolder(); only && !all.empty()) {
        std::vector<std::size_t> members(all.size());
        std::iota(members.begin(), members.end(), std::size_t{0});
        stage(all, only, members);
        return;
    }
    std::vector<bool> done(all.size(), false);
    for (std::size_t first = 0; first < all.size(); ++first) {
        if (done[first]) {
            continue;
        }
        const std::shared_ptr<const Text>& folder = files.Items(all[first].index).SharedFolder();
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
        stage(run, folder, members);
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
