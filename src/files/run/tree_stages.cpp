#include "files/run/tree_stages.hpp"

#include <algorithm>
#include <cstdint>
#include <type_traits>

namespace quorvel {

namespace {

// Splits `stage` in two: its files, then its folders, each with its own steps,
// the files moved before the folders within the range of the stage.
std::pair<TreeStage, TreeStage> SplitFilesAndFolders(const TreeStage& stage, std::vector<RunFile>& files,
                                                     std::vector<std::size_t>& place,
                                                     std::vector<FileStamp>& stamps) {
    const std::span<RunFile> run = stage.Of(files);
    std::vector<std::uint32_t> at(run.size()); // new place of each file within the stage
    std::vector<std::uint32_t> from;           // old place of each new place
    from.reserve(run.size());
    for (const bool folders : {false, true}) {
        for (std::size_t k = 0; k < run.size(); ++k) {
            if (run[k].folder == folders) {
                at[k] = static_cast<std::uint32_t>(from.size());
                from.push_back(static_cast<std::uint32_t>(k));
            }
        }
    }
    const auto follow = [&](auto& all) {
        using Item = typename std::remove_reference_t<decltype(all)>::value_type;
        std::vector<Item> moved;
        moved.reserve(from.size());
        for (const std::uint32_t k : from) {
            moved.push_back(std::move(all[stage.first + k]));
        }
        std::move(moved.begin(), moved.end(), all.begin() + static_cast<std::ptrdiff_t>(stage.first));
    };
    follow(files);
    follow(place);
    if (!stamps.empty()) {
        follow(stamps);
    }
    const auto fileCount = static_cast<std::size_t>(
        std::count_if(run.begin(), run.end(), [](const RunFile& f) { return !f.folder; }));
    TreeStage filePart{stage.folder, stage.first, fileCount, {}, false, 0};
    TreeStage folderPart{stage.folder, stage.first + fileCount, run.size() - fileCount, {}, true, 0};
    std::vector<std::int64_t> stepAt(stage.steps.size(), -1);
    for (std::size_t s = 0; s < stage.steps.size(); ++s) {
        Step step = stage.steps[s];
        const bool folder = at[step.file] >= fileCount;
        TreeStage& part = folder ? folderPart : filePart;
        step.file = at[step.file] - (folder ? static_cast<std::uint32_t>(fileCount) : 0);
        if (step.after >= 0) {
            step.after = stepAt[static_cast<std::size_t>(step.after)];
        }
        stepAt[s] = static_cast<std::int64_t>(part.steps.size());
        part.steps.push_back(step);
    }
    return {std::move(filePart), std::move(folderPart)};
}

} // namespace

std::string RelativeOf(const ScannedFolder& folder) {
    return folder.relative.empty() ? std::string(".") : folder.relative.substr(0, folder.relative.size() - 1);
}

std::vector<TreeStage> StagesOf(const std::vector<RunFile>& files, const TListFiles& list) {
    std::vector<TreeStage> stages;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& folder = list.Items(files[i].index).SharedFolder();
        if (stages.empty() || stages.back().folder != folder) {
            stages.push_back({folder, i, 0, {}, false, 0});
        }
        ++stages.back().count;
        stages.back().folders = stages.back().folders || files[i].folder;
    }
    return stages;
}

std::vector<TreeStage> FilesThenFolders(std::vector<TreeStage> stages, std::vector<RunFile>& files,
                                        std::vector<std::size_t>& place, std::vector<FileStamp>& stamps) {
    std::sort(stages.begin(), stages.end(),
              [](const TreeStage& a, const TreeStage& b) { return a.folder->sequence < b.folder->sequence; });
    std::vector<TreeStage> ordered;
    std::vector<TreeStage> folders;
    for (TreeStage& stage : stages) {
        const std::span<const RunFile> run = stage.Of(files);
        const bool tied = std::any_of(stage.steps.begin(), stage.steps.end(), [&](const Step& step) {
            return step.after >= 0 && run[step.file].folder !=
                                          run[stage.steps[static_cast<std::size_t>(step.after)].file].folder;
        });
        const bool mixed =
            stage.folders && std::any_of(run.begin(), run.end(), [](const RunFile& f) { return !f.folder; });
        if (tied || !mixed) {
            (stage.folders ? folders : ordered).push_back(std::move(stage));
            continue;
        }
        auto [filePart, folderPart] = SplitFilesAndFolders(stage, files, place, stamps);
        ordered.push_back(std::move(filePart));
        folders.push_back(std::move(folderPart));
    }
    std::stable_sort(folders.begin(), folders.end(), [](const TreeStage& a, const TreeStage& b) {
        return a.folder->depth > b.folder->depth;
    });
    for (TreeStage& stage : folders) {
        ordered.push_back(std::move(stage));
    }
    return ordered;
}

} // namespace quorvel
