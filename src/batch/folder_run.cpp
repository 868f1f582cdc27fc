#include "batch/folder_run.hpp"

#include "batch/exit_status.hpp"
#include "batch/load_script.hpp"
#include "batch/output.hpp"
#include "batch/run_output.hpp"
#include "batch/script_facts.hpp"
#include "batch/whole_folder.hpp"
#include "engine/codec.hpp"
#include "engine/compiled_script.hpp"
#include "engine/errors.hpp"
#include "engine/script_file.hpp"
#include "files/listing/scan.hpp"
#include "files/run/rename_run.hpp"
#include "files/run/run_messages.hpp"
#include "files/text/error_texts.hpp"
#include "files/text/shown_name.hpp"

#include <numeric>
#include <unistd.h>

namespace quorvel {

namespace {

void WriteReport(const RunReport& report, const TListFiles& files, bool dryRun) {
    Output err(STDERR_FILENO);
    for (const RunFile& f : report.files) {
        const std::string line = ReportLine(f, files);
        if (!line.empty()) {
            err.Write(line);
            err.Put('\n');
        }
    }
    err.Write(SummaryText(report.files.size(), report.renamed, report.unchanged, report.failed, dryRun) +
              "\n");
}

} // namespace

int RunScriptOnFolder(const FolderRunRequest& request) {
    ScriptLines script;
    if (const auto status = LoadScript(request.script, request.voice, script)) {
        return *status;
    }
    TListFiles files;
    std::vector<std::size_t> selection;
    const WholeFolder listed =
        ListWholeFolder(request.folder, request.filter, request.scope, files, selection);
    if (listed.status) {
        return *listed.status;
    }
    FactsCache cache;
    ArrangeFiles(selection, files, request.order, cache);
    const std::vector<FileFacts> facts = ReadScriptFacts(script, files, selection, cache);
    RunOptions options;
    options.facts = facts;
    NumberCounter counter = 0;
    RunReport report;
    try {
        report = request.dryRun ? PlanRenames(script, files, selection, counter, options)
                                : RunRenames(script, files, selection, counter, options);
    } catch (const EngineError& e) {
        if (request.voice == ScriptVoice::Window) {
            Say(Tr("Une erreur est survenue !"));
        }
        Say(EngineErrorText(e));
        return kEngineError;
    }
    if (const auto status = StatusOfStop(report)) {
        return *status;
    }
    const bool written = !request.dryRun || WritePlan(report, files, request.null);
    WriteReport(report, files, request.dryRun);
    if (!report.journalError.empty()) {
        Say(report.journalError);
    }
    if (!written || !report.journalError.empty()) {
        return kOutputError;
    }
    // A folder below that could not be read was said before the run: its files were
    // left alone, and the run is not a success.
    return report.failed == 0 && listed.unreadable == 0 ? kOk : kFailures;
}

} // namespace quorvel
