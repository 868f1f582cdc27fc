#include "batch/whole_folder.hpp"

#include "batch/exit_status.hpp"
#include "batch/output.hpp"
#include "engine/codec.hpp"
#include "files/listing/scan.hpp"
#include "files/run/run_messages.hpp"

#include <numeric>

namespace quorvel {

WholeFolder ListWholeFolder(const FolderPath& folder, std::string_view filter, const FolderScope& scope,
                            TListFiles& files, std::vector<std::size_t>& selection) {
    const Text pattern = filter.empty() ? Text(U"*.*") : DecodeName(filter);
    TreeScan scan;
    scan.depth = scope.depth;
    scan.crossDevices = scope.crossDevices;
    scan.entries = scope.entries;
    scan.detail = ScanDetail::NamesOnly;
    const TreeScanReport report = ScanTree(folder, files, pattern, scan);
    WholeFolder listed;
    if (report.error != 0) {
        Say(FolderUnreadableText(folder.Bytes(), report.error));
        listed.status = kCannotOpen;
        return listed;
    }
    for (const UnreadableFolder& below : report.unreadable) {
        Say(FolderUnreadableText(below.relative, below.error));
    }
    listed.unreadable = report.unreadable.size();
    files.Sort();
    selection.resize(files.Count());
    std::iota(selection.begin(), selection.end(), std::size_t{0});
    return listed;
}

void WritePathInScan(Output& out, const TProjectFile& record, std::string_view name) {
    out.Write(record.SharedFolder()->relative);
    out.Write(name);
}

std::string PathInScan(const TProjectFile& record, std::string_view name) {
    std::string path = record.SharedFolder()->relative;
    path.append(name);
    return path;
}

} // namespace quorvel
