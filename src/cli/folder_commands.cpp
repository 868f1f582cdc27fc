#include "cli/folder_commands.hpp"

#include "batch/folder_run.hpp"
#include "cli/cli.hpp"
#include "cli/command_line.hpp"
#include "engine/codec.hpp"
#include "engine/errors.hpp"
#include "files/error_texts.hpp"
#include "files/rename_run.hpp"
#include "files/run_messages.hpp"
#include "files/scan.hpp"
#include "files/shown_name.hpp"

#include <numeric>
#include <string>
#include <unistd.h>

namespace quorvel::cli {

namespace {

std::optional<int> CheckOperands(const Invocation& inv, std::string_view command) {
    if (inv.operands.size() < 2 || inv.operands.size() > 3) {
        return UsageError(FormatText(Tr("%s attend SCRIPT DOSSIER [FILTRE]"), {command}), command);
    }
    return std::nullopt;
}

} // namespace

int Preview(const Invocation& inv) {
    if (const auto status = CheckOperands(inv, "preview")) {
        return *status;
    }
    ScriptLines script;
    if (const auto status = LoadScript(inv.operands[0], script)) {
        return *status;
    }
    const Text filter =
        inv.operands.size() == 3 && !inv.operands[2].empty() ? DecodeName(inv.operands[2]) : Text(U"*.*");
    TListFiles files;
    if (const int scan = ScanFolder(DecodeName(inv.operands[1]), &files, filter, ScanDetail::NamesOnly);
        scan != 0) {
        Say(FolderUnreadableText(inv.operands[1], scan));
        return kCannotOpen;
    }
    files.Sort();
    std::vector<std::size_t> selection(files.Count());
    std::iota(selection.begin(), selection.end(), std::size_t{0});
    std::vector<Text> names;
    NumberCounter counter = 0;
    try {
        names = PreviewNames(script, files, selection, counter);
    } catch (const EngineError& e) {
        Say(EngineErrorText(e));
        return kEngineError;
    }
    Output out(STDOUT_FILENO);
    const char field = inv.null ? '\0' : '\t';
    const char record = inv.null ? '\0' : '\n';
    for (std::size_t i = 0; i < names.size(); ++i) {
        out.Write(files.Items(i).NameBytes());
        out.Put(field);
        out.Write(EncodeName(names[i]));
        out.Put(record);
    }
    const bool written = out.Flush();
    Say(CountText(names.size(), "fichier", "fichiers"));
    return written ? kOk : kOutputError;
}

int RunFolder(const Invocation& inv) {
    if (const auto status = CheckOperands(inv, "run")) {
        return *status;
    }
    FolderRunRequest request;
    request.script = inv.operands[0];
    request.folder = inv.operands[1];
    request.filter = inv.operands.size() == 3 ? inv.operands[2] : std::string_view();
    request.dryRun = inv.dryRun;
    request.null = inv.null;
    return RunScriptOnFolder(request);
}

} // namespace quorvel::cli
