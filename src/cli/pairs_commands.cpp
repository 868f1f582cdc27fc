#include "cli/pairs_commands.hpp"

#include "batch/exit_status.hpp"
#include "batch/output.hpp"
#include "batch/pairs_run.hpp"
#include "batch/whole_folder.hpp"
#include "cli/cli.hpp"
#include "cli/edit_session.hpp"
#include "cli/name_list.hpp"
#include "engine/unique_fd.hpp"
#include "files/run/file_order.hpp"
#include "files/run/run_messages.hpp"
#include "files/text/message_language.hpp"
#include "files/text/shown_name.hpp"

#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace quorvel::cli {

namespace {

// Nothing was renamed: said with why, and the status of a list that is not one.
int Refuse(std::string_view why) {
    Say(FormatText(Tr("quorvel-cli : %s ; rien n'a été renommé"), {why}));
    return kBadList;
}

} // namespace

int Pairs(const Invocation& inv) {
    if (inv.operands.empty() || inv.operands.size() > 2) {
        return UsageError(Tr("pairs attend DOSSIER [LISTE]"), "pairs");
    }
    UniqueFd listFd;
    const bool fromFile = inv.operands.size() == 2 && inv.operands[1] != "-";
    if (fromFile) {
        const std::string path(inv.operands[1]);
        listFd = UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!listFd.Valid()) {
            Say(FormatText(Tr("liste illisible : %s : %s"), {Quoted(path), RenameErrorText(errno)}));
            return kCannotOpen;
        }
    }
    const PairList list = ReadPairs(listFd.Valid() ? listFd.Get() : STDIN_FILENO, inv.null);
    if (list.readFailed) {
        Say(FormatText(Tr("liste illisible : %s : %s"),
                       {fromFile ? Quoted(inv.operands[1]) : std::string(Tr("entrée standard")),
                        RenameErrorText(list.readError)}));
        return kCannotOpen;
    }
    if (!list.error.empty()) {
        return Refuse(FormatText(Tr("liste incorrecte : %s"), {list.error}));
    }
    return RunPairsInFolder(FolderPath(std::string(inv.operands[0])), list.pairs,
                            PairsRunOptions{.dryRun = inv.dryRun, .null = inv.null});
}

int Edit(const Invocation& inv) {
    if (inv.operands.empty() || inv.operands.size() > 2) {
        return UsageError(Tr("edit attend DOSSIER [FILTRE]"), "edit");
    }
    TListFiles files;
    std::vector<std::size_t> selection;
    const WholeFolder listed =
        ListWholeFolder(FolderPath(std::string(inv.operands[0])),
                        inv.operands.size() == 2 ? inv.operands[1] : "", inv.scope, files, selection);
    if (listed.status) {
        return *listed.status;
    }
    FactsCache cache;
    ArrangeFiles(selection, files, inv.order, cache);
    if (selection.empty()) {
        Say(CountText(0, "fichier", "fichiers"));
        return listed.unreadable == 0 ? kOk : kFailures;
    }
    // One line per file, in the order of the run.
    std::vector<std::string> paths;
    paths.reserve(selection.size());
    std::string text;
    for (const std::size_t index : selection) {
        const TProjectFile& record = files.Items(index);
        paths.push_back(PathInScan(record, record.NameBytes()));
        text += EscapeName(paths.back());
        text += '\n';
    }
    const EditedText edited = EditInEditor(text);
    if (!edited.edited) {
        return Refuse(edited.error);
    }
    const std::vector<std::string_view> lines = LinesOf(edited.text);
    if (lines.size() != paths.size()) {
        return Refuse(FormatText(Tr("le nombre de lignes a changé : %s avant, %s après"),
                                 {std::to_string(paths.size()), std::to_string(lines.size())}));
    }
    std::vector<NamePair> pairs;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        std::optional<std::string> name = UnescapeName(lines[k]);
        if (!name) {
            return Refuse(
                FormatText(Tr("ligne %s : barre oblique inverse isolée ou inconnue (\\n, \\t ou \\\\)"),
                           {std::to_string(k + 1)}));
        }
        if (*name != paths[k]) {
            pairs.push_back({paths[k], std::move(*name)});
        }
    }
    if (pairs.empty()) {
        Say(Tr("aucun nom changé"));
        return listed.unreadable == 0 ? kOk : kFailures;
    }
    return RunPairsOnFiles(files, pairs, PairsRunOptions{}, listed.unreadable);
}

} // namespace quorvel::cli
