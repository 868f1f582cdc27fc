#include "cli/folder_commands.hpp"

#include "batch/folder_run.hpp"
#include "batch/load_script.hpp"
#include "batch/output.hpp"
#include "batch/script_facts.hpp"
#include "batch/whole_folder.hpp"
#include "cli/cli.hpp"
#include "cli/command_line.hpp"
#include "engine/codec.hpp"
#include "engine/errors.hpp"
#include "files/listing/scan.hpp"
#include "files/run/new_names.hpp"
#include "files/run/rename_run.hpp"
#include "files/run/run_messages.hpp"
#include "files/text/error_texts.hpp"
#include "files/text/shown_name.hpp"

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
    if (const auto status = LoadScript(inv.operands[0], ScriptVoice::Cli, script)) {
        return *status;
    }
    TListFiles files;
    std::vector<std::size_t> selection;
    const WholeFolder listed =
        ListWholeFolder(FolderPath(std::string(inv.operands[1])),
                        inv.operands.size() == 3 ? inv.operands[2] : "", inv.scope, files, selection);
    if (listed.status) {
        return *listed.status;
    }
    std::vector<RunFile> names;
    NumberCounter counter = 0;
    FactsCache cache;
    ArrangeFiles(selection, files, inv.order, cache);
    const std::vector<FileFacts> facts = ReadScriptFacts(script, files, selection, cache);
    try {
        names = NewNames(script, files, selection, counter, facts);
    } catch (const EngineError& e) {
        Say(EngineErrorText(e));
        return kEngineError;
    }
    // A file whose name the engine could not make is told on standard error, with
    // its reason, and left out of standard output. Each file is named by its path
    // below FOLDER.
    Output out(STDOUT_FILENO);
    Output err(STDERR_FILENO);
    const char field = inv.null ? '\0' : '\t';
    const char record = inv.null ? '\0' : '\n';
    std::size_t failed = 0;
    for (const RunFile& file : names) {
        const TProjectFile& entry = files.Items(file.index);
        if (file.verdict == Verdict::EngineFailure || file.verdict == Verdict::ValueMissing) {
            ++failed;
            err.Write(FormatText(Tr("échec : %s : %s"),
                                 {Quoted(PathInScan(entry, file.oldName)), file.reason.str()}));
            err.Put('\n');
            continue;
        }
        WritePathInScan(out, entry, file.oldName);
        out.Put(field);
        WritePathInScan(out, entry, file.newName);
        out.Put(record);
    }
    const bool written = out.Flush();
    (void)err.Flush();
    Say(CountText(names.size(), "fichier", "fichiers"));
    if (!written) {
        return kOutputError;
    }
    return failed == 0 && listed.unreadable == 0 ? kOk : kFailures;
}

int RunFolder(const Invocation& inv) {
    if (const auto status = CheckOperands(inv, "run")) {
        return *status;
    }
    FolderRunRequest request;
    request.script = inv.operands[0];
    request.folder = FolderPath(std::string(inv.operands[1]));
    request.filter = inv.operands.size() == 3 ? inv.operands[2] : std::string_view();
    request.dryRun = inv.dryRun;
    request.null = inv.null;
    request.order = inv.order;
    request.scope = inv.scope;
    return RunScriptOnFolder(request);
}

} // namespace quorvel::cli
