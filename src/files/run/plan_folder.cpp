#include "files/run/plan_folder.hpp"

#include "files/listing/listing_index.hpp"
#include "files/run/order.hpp"
#include "files/run/validate.hpp"

namespace quorvel {

std::vector<Step> PlanFolder(std::span<RunFile> run, const FolderListing& listing, bool ignoresCase) {
    const ListingIndex entries(listing);
    Validate(run, entries, ignoresCase);
    return Order(run, [&](std::string_view name) { return entries.Find(name) != kNoIndex; });
}

} // namespace quorvel
