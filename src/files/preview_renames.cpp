#include "files/preview_renames.hpp"

#include "engine/codec.hpp"
#include "files/by_folder.hpp"
#include "files/folder_listing.hpp"
#include "files/name_fold.hpp"
#include "files/new_names.hpp"
#include "files/run_messages.hpp"
#include "files/validate.hpp"

#include <string>

namespace quorvel {

namespace {

// The checks of the files of one folder against its entries as the scan saw them,
// or as they are now when the list keeps none.
void ValidateAsListed(std::vector<RunFile>& run, const TListFiles& files,
                      const std::shared_ptr<const Text>& folder) {
    const int kept = files.FolderDescriptor(folder);
    if (const ListingIndex* entries = files.KeptListingIndex(folder); entries != nullptr && kept >= 0) {
        Validate(run, *entries, FolderIgnoresCase(kept));
        return;
    }
    const std::string path = folder->empty() ? std::string(".") : EncodeName(*folder);
    int error = 0;
    UniqueFd opened;
    if (kept < 0) {
        opened = OpenFolder(path, error);
    }
    const int dirfd = kept >= 0 ? kept : opened.Get();
    FolderListing listing;
    if (error == 0) {
        error = ListFolder(dirfd, listing);
    }
    if (error != 0) {
        const std::string reason = FolderUnreadableText(path, error);
        for (RunFile& f : run) {
            if (f.verdict == Verdict::Ready) {
                f.outcome = RenameOutcome::Failed;
                f.reason = reason;
            }
        }
        return;
    }
    Validate(run, listing, FolderIgnoresCase(dirfd));
}

} // namespace

void PreviewRenamesInto(const ScriptLines& script, const TListFiles& files,
                        std::span<const std::size_t> selection, NumberCounter& counter,
                        std::vector<RunFile>& into) {
    counter = 0;
    if (!ScriptIsValid(script)) {
        into.clear();
        return;
    }
    NewNamesInto(script, files, selection, counter, into);
    ByFolder(into, files,
             [&](std::vector<RunFile>& run, const std::shared_ptr<const Text>& folder, const FolderMembers&) {
                 ValidateAsListed(run, files, folder);
             });
}

std::vector<RunFile> PreviewRenames(const ScriptLines& script, const TListFiles& files,
                                    std::span<const std::size_t> selection, NumberCounter& counter) {
    std::vector<RunFile> all;
    PreviewRenamesInto(script, files, selection, counter, all);
    return all;
}

} // namespace quorvel
