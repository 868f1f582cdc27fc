#include "batch/pairs_run.hpp"

#include "batch/exit_status.hpp"
#include "batch/output.hpp"
#include "batch/run_output.hpp"
#include "batch/whole_folder.hpp"
#include "files/run/rename_run.hpp"
#include "files/run/run_messages.hpp"
#include "files/text/message_language.hpp"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unistd.h>
#include <unordered_map>

namespace quorvel {

namespace {

constexpr RunText kOtherFolderText{TrNoop("le nouveau nom doit rester dans le dossier de l'ancien")};

// What became of one pair: its place in the run, or why it did not go in it.
struct PairFate {
    std::size_t inRun = 0;
    std::optional<std::string> refused;
};

// The folder part of a path below the folder of the run, "/" included ("sub/"; ""
// for a bare name).
std::string_view FolderPart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

// The new name of `pair` within the folder of its old name; nothing when it names
// another folder.
std::optional<std::string> NewNameIn(const NamePair& pair) {
    const std::string_view folder = FolderPart(pair.oldPath);
    std::string_view name = pair.newPath;
    if (name.find('/') == std::string_view::npos) {
        return std::string(name);
    }
    if (folder.empty() || !name.starts_with(folder)) {
        return std::nullopt;
    }
    name.remove_prefix(folder.size());
    if (name.find('/') != std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(name);
}

} // namespace

int RunPairsInFolder(const FolderPath& folder, std::span<const NamePair> pairs,
                     const PairsRunOptions& options) {
    const bool tree = std::any_of(pairs.begin(), pairs.end(),
                                  [](const NamePair& p) { return p.oldPath.find('/') != std::string::npos; });
    FolderScope scope;
    scope.depth = tree ? 0 : 1;
    scope.entries = TreeEntries::FilesAndFolders;
    TListFiles files;
    std::vector<std::size_t> all;
    const WholeFolder listed = ListWholeFolder(folder, "*", scope, files, all);
    if (listed.status) {
        return *listed.status;
    }
    return RunPairsOnFiles(files, pairs, options, listed.unreadable);
}

int RunPairsOnFiles(const TListFiles& files, std::span<const NamePair> pairs, const PairsRunOptions& options,
                    std::size_t unreadable) {
    std::unordered_map<std::string, std::size_t> byPath;
    byPath.reserve(files.Count());
    for (std::size_t i = 0; i < files.Count(); ++i) {
        const TProjectFile& record = files.Items(i);
        byPath.try_emplace(PathInScan(record, record.NameBytes()), i);
    }
    std::vector<PairFate> fates(pairs.size());
    std::vector<std::size_t> selection;
    std::vector<std::string> newNames;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const auto found = byPath.find(pairs[k].oldPath);
        std::optional<std::string> name = NewNameIn(pairs[k]);
        if (found == byPath.end()) {
            fates[k].refused = kNoSuchFileText;
        } else if (!name) {
            fates[k].refused = kOtherFolderText;
        } else {
            fates[k].inRun = selection.size();
            selection.push_back(found->second);
            newNames.push_back(std::move(*name));
        }
    }
    RunOptions run;
    run.dryRun = options.dryRun;
    const RunReport report = RunGivenNames(files, selection, newNames, run);
    if (const auto status = StatusOfStop(report)) {
        return *status;
    }
    const bool written = !options.dryRun || WritePlan(report, files, options.null);
    // Failures and warnings in the order of the pairs, refusals among them.
    Output err(STDERR_FILENO);
    std::size_t refused = 0;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        std::string line;
        if (fates[k].refused) {
            ++refused;
            line = FailureLine(pairs[k].oldPath, pairs[k].newPath, *fates[k].refused);
        } else {
            line = ReportLine(report.files[fates[k].inRun], files);
        }
        if (!line.empty()) {
            err.Write(line);
            err.Put('\n');
        }
    }
    err.Write(
        SummaryText(pairs.size(), report.renamed, report.unchanged, report.failed + refused, options.dryRun) +
        "\n");
    (void)err.Flush();
    if (!report.journalError.empty()) {
        Say(report.journalError);
    }
    if (!written || !report.journalError.empty()) {
        return kOutputError;
    }
    return report.failed == 0 && refused == 0 && unreadable == 0 ? kOk : kFailures;
}

} // namespace quorvel
