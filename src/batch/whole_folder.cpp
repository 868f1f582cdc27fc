#include "batch/whole_folder.hpp"

#include "batch/exit_status.hpp"
#include "batch/output.hpp"
#include "engine/codec.hpp"
#include "files/listing/scan.hpp"
#include "files/run/run_messages.hpp"

#include <numeric>

namespace quorvel {

std::optional<int> ListWholeFolder(const FolderPath& folder, std::string_view filter, TListFiles& files,
                                   std::vector<std::size_t>& selection) {
    const Text pattern = filter.empty() ? Text(U"*.*") : DecodeName(filter);
    if (const int error = ScanFolder(folder, files, pattern, ScanDetail::NamesOnly); error != 0) {
        Say(FolderUnreadableText(folder.Bytes(), error));
        return kCannotOpen;
    }
    files.Sort();
    selection.resize(files.Count());
    std::iota(selection.begin(), selection.end(), std::size_t{0});
    return std::nullopt;
}

} // namespace quorvel
