#include "files/run/preview_renames.hpp"

#include "engine/codec.hpp"
#include "files/listing/folder_listing.hpp"
#include "files/run/by_folder.hpp"
#include "files/run/new_names.hpp"
#include "files/run/run_messages.hpp"
#include "files/run/validate.hpp"
#include "files/tables/name_fold.hpp"

#include <string>

namespace quorvel {

namespace {

// The checks of the files of one folder against its entries as the scan saw them,
// or as they are now when the list keeps none.
void ValidateAsListed(std::vector<RunFile>& run, const TListFiles& files,
                      const std::shared_ptr<const ScannedFolder>& folder) {
    const std::optional<int> kept = files.FolderDescriptor(folder);
    if (const auto entries = files.KeptListingIndex(folder); entries && kept) {
        Validate(run, entries->get(), FolderIgnoresCase(*kept));
        return;
    }
    const ListedFolder listed = OpenListedFolder(folder->path, kept);
    if (listed.error != 0) {
        const std::string reason = FolderUnreadableText(folder->path.ForSystem(), listed.error);
        for (RunFile& f : run) {
            if (f.verdict == Verdict::Ready) {
                f.outcome = RenameOutcome::Failed;
                f.reason = reason;
            }
        }
        return;
    }
    Validate(run, listed.listing, FolderIgnoresCase(listed.fd));
}

} // namespace

void PreviewRenamesInto(const ScriptLines& script, const TListFiles& files,
                        std::span<const std::size_t> selection, NumberCounter& counter,
                        std::vector<RunFile>& into, std::span<const FileFacts> facts) {
    counter = 0;
    if (!ScriptIsValid(script)) {
        into.clear();
        return;
    }
    NewNamesInto(script, files, selection, counter, into, facts);
    ByFolder(into, files,
             [&](std::vector<RunFile>& run, const std::shared_ptr<const ScannedFolder>& folder,
                 const FolderMembers&) { ValidateAsListed(run, files, folder); });
}

std::vector<RunFile> PreviewRenames(const ScriptLines& script, const TListFiles& files,
                                    std::span<const std::size_t> selection, NumberCounter& counter) {
    std::vector<RunFile> all;
    PreviewRenamesInto(script, files, selection, counter, all);
    return all;
}

} // namespace quorvel
