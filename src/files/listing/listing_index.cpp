#include "files/listing/listing_index.hpp"

namespace quorvel {

ListingIndex::ListingIndex(const FolderListing& listing)
    : listing_(&listing), table_(EntryName{&listing}, listing.Count()) {
    Pipelined(
        listing.Count(), [&](std::size_t e) { return Hash(listing.Name(e)); },
        [&](std::uint64_t hash) { table_.Prefetch(hash); },
        [&](std::size_t e, std::uint64_t hash) { table_.Insert(static_cast<std::uint32_t>(e), hash); });
}

} // namespace quorvel
