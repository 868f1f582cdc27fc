// What a run without a window writes: the plan of a dry run on standard output, and
// on standard error each failure and warning, then the counts.
#pragma once

#include "batch/output.hpp"
#include "files/listing/project_file.hpp"
#include "files/run/rename_run.hpp"

#include <cstddef>
#include <optional>
#include <string>

namespace quorvel {

// The steps of `report`, each entry named by its path below the folder of the run:
// old, TAB (NUL with `null`), new, line feed (NUL). False when standard output could
// not be written.
bool WritePlan(const RunReport& report, const TListFiles& files, bool null);

// The line of the report for `file`: its failure or its warning; empty when it has
// neither.
std::string ReportLine(const RunFile& file, const TListFiles& files);

// When the run could not start (a folder it could not read, no journal): says why
// and gives the exit status; nothing when it ran.
std::optional<int> StatusOfStop(const RunReport& report);

// "3 fichiers : 2 renommés, 0 inchangé, 1 échec", and the note of a dry run.
std::string SummaryText(std::size_t files, std::size_t renamed, std::size_t unchanged, std::size_t failed,
                        bool dryRun);

} // namespace quorvel
